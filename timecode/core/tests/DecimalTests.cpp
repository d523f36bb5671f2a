#include "timecode/core/Decimal.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace timecode {
namespace {

Decimal dec(const std::string &text) {
    const auto value = Decimal::fromString(text);
    EXPECT_TRUE(value) << text;
    return value.value_or(Decimal::notANumber());
}

TEST(Decimal, DoublesEnterAsTheirShortestText) {
    EXPECT_EQ(Decimal::fromDouble(0.29).description(), "0.29");
    EXPECT_EQ(Decimal::fromDouble(1.999999999).description(), "1.999999999");
    EXPECT_EQ(Decimal::fromDouble(-1.5).description(), "-1.5");
    EXPECT_EQ(Decimal::fromDouble(1e20).description(), "100000000000000000000");
    EXPECT_EQ(Decimal::fromDouble(5e-324).exponent(), -324);
    EXPECT_EQ(Decimal::fromDouble(-0.0).description(), "0");
    EXPECT_TRUE(Decimal::fromDouble(std::numeric_limits<double>::infinity()).isNaN());
    EXPECT_DOUBLE_EQ(dec("0.0125").doubleValue(), 0.0125);
    EXPECT_EQ(dec("-2.50").description(), "-2.5");
    EXPECT_EQ(dec("0.000").description(), "0");
    EXPECT_FALSE(Decimal::fromString("1e5"));
    EXPECT_FALSE(Decimal::fromString("--1"));
}

TEST(Decimal, ArithmeticIsExactWithin38Digits) {
    EXPECT_EQ(dec("0.1") + dec("0.2"), dec("0.3"));
    EXPECT_EQ(dec("1") - dec("1.0000000001"), dec("-0.0000000001"));
    EXPECT_EQ(dec("123456789.123456789") * dec("1000"), dec("123456789123.456789"));
    EXPECT_EQ(dec("2589407.99999999") - dec("2589407"), dec("0.99999999"));
    EXPECT_EQ(dec("1") / dec("80"), dec("0.0125"));
    EXPECT_EQ((dec("2") / dec("3")).description(), "0.66666666666666666666666666666666666667");
    EXPECT_TRUE((dec("1") / Decimal()).isNaN());
    // 39 digits round to 38, halves away from zero.
    EXPECT_EQ(dec("100000000000000000000000000000000000005").description(),
              "100000000000000000000000000000000000010");
    // A far smaller addend vanishes in rounding instead of overflowing the alignment.
    const std::string huge = "1" + std::string(60, '0');
    EXPECT_EQ(dec(huge) + dec("3"), dec(huge));
    EXPECT_EQ(dec(huge) - dec("3"), dec(huge));
    EXPECT_EQ(Decimal::fromDouble(1e300) * Decimal::fromDouble(1e-300), Decimal(1));
}

TEST(Decimal, Compares) {
    EXPECT_LT(dec("-2"), dec("-1.5"));
    EXPECT_LT(dec("0.999"), dec("1"));
    EXPECT_GT(dec("10"), dec("9.99999999"));
    EXPECT_EQ(dec("1.50"), dec("1.5"));
    EXPECT_FALSE(Decimal::notANumber() == Decimal::notANumber());
}

TEST(Decimal, RoundsAtDecimalPlaces) {
    using Mode = Decimal::RoundingMode;
    struct Case {
        const char *value;
        int places;
        Mode mode;
        const char *expected;
    };
    const Case cases[] = {
        {"2.5", 0, Mode::plain, "3"},
        {"-2.5", 0, Mode::plain, "-3"},
        {"2.5", 0, Mode::bankers, "2"},
        {"3.5", 0, Mode::bankers, "4"},
        {"2.51", 0, Mode::bankers, "3"},
        {"-2.1", 0, Mode::down, "-3"},
        {"2.1", 0, Mode::down, "2"},
        {"2.1", 0, Mode::up, "3"},
        {"-2.1", 0, Mode::up, "-2"},
        {"23.976023976", 3, Mode::plain, "23.976"},
        {"1.23", 5, Mode::plain, "1.23"},
        {"1.25", -2, Mode::plain, "1"},
        {"0.00000000000000000000000000000000000000000001", 2, Mode::up, "0.01"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(dec(c.value).rounded(c.places, c.mode), dec(c.expected))
            << c.value << " at " << c.places;
    }
    EXPECT_EQ(dec("-2.57").truncated(1), dec("-2.5"));
    EXPECT_EQ(dec("2.57").truncated(1), dec("2.5"));
    EXPECT_EQ(dec("1.999999999").truncated(8), dec("1.99999999"));
}

TEST(Decimal, WholeAndFractionParts) {
    const auto [quotient, remainder] = dec("-25").quotientAndRemainder(dec("10"));
    EXPECT_EQ(quotient, dec("-2"));
    EXPECT_EQ(remainder, dec("-5"));
    EXPECT_EQ(dec("-7.5").truncatingRemainder(dec("2")), dec("-1.5"));
    EXPECT_EQ(dec("-1.75").integral(), dec("-1"));
    EXPECT_EQ(dec("-1.75").fraction(), dec("-0.75"));
    EXPECT_EQ(dec("2").power(10), dec("1024"));
    EXPECT_EQ(dec("2").power(-2), dec("0.25"));

    EXPECT_EQ(dec("29.97").integralDigitPlaces(), 2);
    EXPECT_EQ(dec("100").integralDigitPlaces(), 3);
    EXPECT_EQ(dec("1").integralDigitPlaces(), 0);
    EXPECT_EQ(dec("0.5").integralDigitPlaces(), 0);
    EXPECT_EQ(dec("1.5").integralDigitPlaces(), 1);
    EXPECT_EQ(dec("29.970").fractionDigitPlaces(), 2);
    EXPECT_EQ(dec("300").fractionDigitPlaces(), 0);
    EXPECT_EQ(dec("-9223372036854775808.9").int64Value(), std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(dec("9223372036854775808").int64Value());
    // 2^126 × 100: its digits times the power of ten do not fit 128 bits either.
    EXPECT_FALSE(dec("8507059173023461586584365185794205286400").int64Value());
}

} // namespace
} // namespace timecode
