#include "core/support/Numeric.h"

#include <gtest/gtest.h>

#include <limits>

namespace tandrel {
namespace {

TEST(Numeric, ParsesDecimalIntegers) {
    struct Case {
        const char *text;
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"+17", 17},
        {"-17", -17},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"--1", std::nullopt},
        {" 1", std::nullopt},
        {"1.0", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(parseDecimalInt64(c.text), c.expected) << c.text;
    }
}

TEST(Numeric, ConvertsOnlyRepresentableDoubles) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(truncateToInt64(-2.7), -2);
    EXPECT_EQ(roundToInt64(-2.5), -3);
    EXPECT_EQ(roundToInt64(2.5), 3);
    EXPECT_EQ(truncateToInt64(-9223372036854775808.0), INT64_MIN);
    EXPECT_EQ(truncateToInt64(9223372036854775808.0), std::nullopt);
    EXPECT_EQ(truncateToInt64(inf), std::nullopt);
    EXPECT_EQ(truncateToInt64(-inf), std::nullopt);
    EXPECT_EQ(truncateToInt64(std::nan("")), std::nullopt);
}

TEST(Numeric, ParsesOnlyFiniteFloatingPointLiterals) {
    struct Case {
        const char *text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"12.5", 12.5},
        {"-0.25", -0.25},
        {"+3", 3.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"1e-3", 0.001},
        {"0x1.8p1", 3.0},
        {"-0X10", -16.0},
        {"1e-400", 0.0}, // underflows to zero: still a number
        // Not finite: unusable downstream, so not a number here.
        {"nan", std::nullopt},
        {"-inf", std::nullopt},
        {"Infinity", std::nullopt},
        {"1e999", std::nullopt},
        // Not one complete literal.
        {"", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"1,5", std::nullopt},
        {"+-1", std::nullopt},
        {"0x", std::nullopt},
        {"1e", std::nullopt},
        {"12abc", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(parseFiniteDouble(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(parseFiniteDouble(std::string_view("1\0"
                                                 "2",
                                                 3)),
              std::nullopt);
}

} // namespace
} // namespace tandrel
