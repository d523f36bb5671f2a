#include "timecode/core/Fraction.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

#include <limits>
#include <unordered_set>

namespace timecode {
namespace {

constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

TEST(Fraction, EqualityReducesButIdentityDoesNot) {
    EXPECT_EQ(Fraction(2, 4), Fraction(1, 2));
    EXPECT_EQ(std::hash<Fraction>{}(Fraction(2, 4)), std::hash<Fraction>{}(Fraction(1, 2)));
    EXPECT_FALSE(Fraction(2, 4).isIdentical(Fraction(1, 2)));
    EXPECT_TRUE(Fraction(2, 4).isEqual(Fraction(1, 2)));
    EXPECT_EQ(
        (std::unordered_set<Fraction>{Fraction(1, 3), Fraction(2, 6), Fraction(-3, -9)}).size(),
        1u);
}

TEST(Fraction, ReductionPutsTheSignOnTheNumerator) {
    using Terms = std::pair<int64_t, int64_t>;
    EXPECT_EQ(reduce(6, -4), Terms(-3, 2));
    EXPECT_EQ(reduce(-6, -4), Terms(3, 2));
    EXPECT_EQ(reduce(0, -7), Terms(0, 1));
    EXPECT_EQ(reduce(-5, 0), Terms(1, 0));
    EXPECT_EQ(reduce(int64Min, 2), Terms(int64Min / 2, 1));

    const Fraction reduced = Fraction(100, 2400).reduced();
    EXPECT_TRUE(reduced.isIdentical(Fraction(1, 24)));
    EXPECT_TRUE(reduced.isReduced());
    EXPECT_FALSE(Fraction(100, 2400).isReduced());
    EXPECT_TRUE(Fraction(1, 24).isReduced()); // found by reducing, flag unset
    EXPECT_TRUE(Fraction::reducing(6, -4).isIdentical(Fraction(-3, 2)));
}

TEST(Fraction, SignAndWholeness) {
    EXPECT_TRUE(Fraction(0, -5).isNegative());
    EXPECT_FALSE(Fraction(0, 5).isNegative());
    EXPECT_FALSE(Fraction(-3, -4).isNegative());

    EXPECT_TRUE(Fraction(10, 2).isWholeInteger());
    EXPECT_TRUE(Fraction(-4, 2).isWholeInteger());
    EXPECT_FALSE(Fraction(1001, 30000).isWholeInteger());
    EXPECT_FALSE(Fraction(5, 0).isWholeInteger());
    // Beyond 2^53 a double quotient rounds to a whole number; divisibility does not.
    EXPECT_FALSE(Fraction((int64_t{1} << 53) + 1, 2).isWholeInteger());
    EXPECT_FALSE(Fraction(int64Max, 2).isWholeInteger());
    EXPECT_TRUE(Fraction(int64Min, -1).isWholeInteger());
    EXPECT_TRUE(Fraction(int64Min, 2).isWholeInteger());
}

TEST(Fraction, ArithmeticReduces) {
    const Fraction sum = Fraction(1001, 30000) + Fraction(1, 1000);
    EXPECT_TRUE(sum.isIdentical(Fraction(1031, 30000)));
    EXPECT_TRUE(sum.isReduced());
    EXPECT_TRUE((Fraction(1, 3) * Fraction(3, 1)).isIdentical(Fraction(1, 1)));
    EXPECT_TRUE((Fraction(1, 2) - Fraction(3, 4)).isIdentical(Fraction(-1, 4)));
    EXPECT_TRUE((Fraction(1, 2) / Fraction(-3, 4)).isIdentical(Fraction(-2, 3)));
    EXPECT_TRUE((Fraction(1, 6) + Fraction(1, 6)).isIdentical(Fraction(1, 3)));
    // Intermediates beyond 64 bits stay exact.
    EXPECT_TRUE((Fraction(int64Max, 3) * Fraction(3, int64Max)).isIdentical(Fraction(1, 1)));
    EXPECT_TRUE((Fraction(int64Max, 2) - Fraction(int64Max - 1, 2)).isIdentical(Fraction(1, 2)));

    const LeastCommonMultiple lcm = leastCommonMultiple(1001, 1000);
    EXPECT_EQ(lcm.denominator, 1001000);
    EXPECT_EQ(lcm.lhsMultiplier, 1000);
    EXPECT_EQ(lcm.rhsMultiplier, 1001);
    EXPECT_EQ(leastCommonMultiple(30000, 1000).denominator, 30000);
}

TEST(Fraction, SignOperationsKeepTheTerms) {
    EXPECT_TRUE(Fraction(-2, -4).abs().isIdentical(Fraction(2, 4)));
    Fraction value(2, 4);
    value.negate();
    EXPECT_TRUE(value.isIdentical(Fraction(-2, 4)));
    EXPECT_TRUE(Fraction(3, -5).negated().isIdentical(Fraction(-3, -5)));
}

TEST(Fraction, OrdersByValueExactly) {
    EXPECT_TRUE(Fraction(1, 3) < Fraction(2, 5));
    EXPECT_FALSE(Fraction(1, 3) < Fraction(2, 6));
    EXPECT_FALSE(Fraction(2, 6) < Fraction(1, 3));
    EXPECT_TRUE(Fraction(1, 3) <= Fraction(2, 6));
    EXPECT_TRUE(Fraction(-1, 2) < Fraction(1, -3));
    EXPECT_TRUE(Fraction(1, -2) < Fraction(0, 1));
    // Doubles cannot tell these apart.
    EXPECT_TRUE(Fraction(int64Max - 1, 1) < Fraction(int64Max, 1));
    EXPECT_TRUE(Fraction(1, int64Max) < Fraction(1, int64Max - 1));
}

TEST(Fraction, Texts) {
    EXPECT_EQ(Fraction(100, 2400).stringValue(), "100/2400");
    EXPECT_EQ(Fraction(-1001, 30000).description(), "-1001/30000");
    EXPECT_EQ(Fraction(5, 1).id(), "5/1");

    struct Case {
        Fraction fraction;
        const char *text;
    };
    const Case cases[] = {
        {Fraction(1001, 30000), "1001/30000s"},
        {Fraction(1, -3), "-1/3s"},
        {Fraction(2, 4), "2/4s"},
        {Fraction(100, 2400), "100/2400s"},
        {Fraction(5, 1), "5s"},
        {Fraction(10, 2), "5s"},
        {Fraction(0, 1), "0s"},
        {Fraction(-4, 2), "-2s"},
        {Fraction(48, 2), "24s"},
        {Fraction(4, -2), "-2s"},
        // Whole beyond double precision, and the quotient of the smallest integer by −1.
        {Fraction(int64Max, 1), "9223372036854775807s"},
        {Fraction((int64_t{1} << 53) + 1, 2), "9007199254740993/2s"},
        {Fraction(int64Min, -1), "9223372036854775808s"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.fraction.fcpxmlStringValue(), c.text) << c.fraction.stringValue();
    }
}

TEST(Fraction, ParsesTheFcpxmlForm) {
    const auto parsed = [](std::string_view text) { return Fraction::fromFcpxmlString(text); };
    ASSERT_TRUE(parsed("1001/30000s"));
    EXPECT_TRUE(parsed("1001/30000s")->isIdentical(Fraction(1001, 30000)));
    EXPECT_TRUE(parsed("2/4s")->isIdentical(Fraction(2, 4)));
    EXPECT_FALSE(parsed("2/4s")->isReduced());
    EXPECT_TRUE(parsed("-5s")->isIdentical(Fraction(-5, 1)));
    EXPECT_TRUE(parsed("30s")->isIdentical(Fraction(30, 1)));
    EXPECT_TRUE(parsed("-5/2s")->isIdentical(Fraction(-5, 2)));
    EXPECT_TRUE(parsed("5/0s")->isIdentical(Fraction(5, 0)));
    EXPECT_TRUE(parsed("-9223372036854775808s")->isIdentical(Fraction(int64Min, 1)));
    for (const char *text : {"+5s", "5", "1.5s", "", " 5s", "5s ", "1/-2s", "9223372036854775808s",
                             "1/99999999999999999999s", "s", "/5s"}) {
        EXPECT_FALSE(parsed(text)) << text;
    }
    // Long input is matched without deep recursion, and fails only for overflowing digits.
    EXPECT_TRUE(parsed(std::string(200000, '0') + "7s")->isIdentical(Fraction(7, 1)));
    EXPECT_FALSE(parsed(std::string(200000, '9') + "s"));
}

TEST(Fraction, ConvertsToAndFromMediaTime) {
    EXPECT_TRUE(Fraction(MediaTime(1001, 30000)).isIdentical(Fraction(1001, 30000)));
    EXPECT_TRUE(Fraction(MediaTime::indefiniteTime()).isIdentical(Fraction(0, 1)));
    EXPECT_TRUE(Fraction(MediaTime::positiveInfinityTime()).isIdentical(Fraction(0, 1)));
    EXPECT_TRUE(Fraction(MediaTime::negativeInfinityTime()).isIdentical(Fraction(0, 1)));
    EXPECT_TRUE(fractionValue(MediaTime(-48, 24)).isIdentical(Fraction(-48, 24)));

    EXPECT_EQ(Fraction(1001, 30000).cmTimeValue(), MediaTime(1001, 30000));
    const MediaTime flipped = Fraction(1, -3).cmTimeValue();
    EXPECT_EQ(flipped.value, -1);
    EXPECT_EQ(flipped.timescale, 3);
    EXPECT_FALSE(Fraction(1, 0).cmTimeValue().isValid());
    EXPECT_FALSE(Fraction(1, int64_t{1} << 40).cmTimeValue().isValid());
}

TEST(Fraction, NumericValues) {
    EXPECT_DOUBLE_EQ(Fraction(1, 4).doubleValue(), 0.25);
    EXPECT_FLOAT_EQ(Fraction(1, 4).floatValue(), 0.25f);
    EXPECT_TRUE(std::isinf(Fraction(5, 0).doubleValue()));
    EXPECT_EQ(Fraction(1001, 1000).decimalValue().description(), "1.001");
    EXPECT_EQ(Fraction(1, 3).decimalValue().description(),
              "0.33333333333333333333333333333333333333");
    EXPECT_TRUE(Fraction(1, 0).decimalValue().isNaN());
}

TEST(Fraction, ApproximatesDoubles) {
    struct Case {
        double value;
        int precision;
        int64_t numerator;
        int64_t denominator;
    };
    const Case cases[] = {
        {29.97, 2, 2997, 100},
        {23.976, 3, 2997, 125},
        {0.5, 0, 0, 1},
        {1.001, 3, 1, 1}, // the double product 1000.9999999999999 truncates
        {-2.5, 1, -5, 2},
        {-2.5, -3, -2, 1},
        {0.1, 25, 1, 10},
        // Nineteen places would need 10^19 or a 19-digit numerator beyond 64 bits: the places
        // shrink until the value fits.
        {0.5, 19, 1, 2},
        {9.5, 18, 19, 2},
        {1e19, 5, int64Max, 1},
        {-1e300, 2, -int64Max, 1},
    };
    for (const Case &c : cases) {
        const Fraction fraction = rational(c.value, c.precision);
        EXPECT_TRUE(fraction.isIdentical(Fraction(c.numerator, c.denominator)))
            << c.value << " at " << c.precision << " gave " << fraction.stringValue();
        EXPECT_TRUE(fraction.isReduced());
    }
    EXPECT_TRUE(Fraction::fromDouble(29.97, 2).isIdentical(Fraction(2997, 100)));
    EXPECT_TRUE(rational(std::nan(""), 3).isIdentical(Fraction(0, 1)));
}

} // namespace
} // namespace timecode
