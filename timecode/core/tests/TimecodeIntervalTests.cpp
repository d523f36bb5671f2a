#include "timecode/core/MediaTimeRange.h"
#include "timecode/core/TimecodeInterval.h"
#include "timecode/core/TimecodeTransformer.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <limits>

namespace timecode {
namespace {

using namespace timecode::test;

using Transform = TimecodeTransformer::Transform;

TEST(TimecodeInterval, FromTimes) {
    const TimecodeInterval frame(Fraction(-1001, 30000), props(R::fps29_97));
    EXPECT_TRUE(frame.isNegative());
    EXPECT_EQ(frame.absoluteInterval.components(), (Components{0, 0, 0, 0, 1, 0}));
    EXPECT_TRUE(frame.rationalValue().isIdentical(Fraction(-1001, 30000)));
    EXPECT_NEAR(frame.realTimeValue(), -0.0334, 0.0001);
    EXPECT_EQ(frame.cmTimeValue(), MediaTime(-1001, 30000));
    EXPECT_TRUE(TimecodeInterval(make({0, 0, 0, 1, 0, 0}, R::fps29_97), FloatingPointSign::plus)
                    .rationalValue()
                    .isIdentical(Fraction(1001, 1000)));
    // A length that saturates at the smallest numerator negates to the largest, not past it.
    Timecode farBack = make({}, R::fps29_97);
    farBack.setFrames(std::numeric_limits<int64_t>::min());
    const Fraction length = farBack.rationalValue();
    ASSERT_EQ(length.numerator(), std::numeric_limits<int64_t>::min());
    EXPECT_TRUE(TimecodeInterval::negative(farBack).rationalValue().isIdentical(
        Fraction(std::numeric_limits<int64_t>::max(), length.denominator())));

    EXPECT_THROW(TimecodeInterval::fromRealTime(90000, props(R::fps24)), Error);
    EXPECT_EQ(TimecodeInterval::fromRealTime(
                  90000, props(R::fps24, Base::max80SubFrames, Limit::max100Days))
                  .absoluteInterval.components(),
              (Components{1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(TimecodeInterval::fromRealTime(-0.0, props(R::fps24)).isNegative());
    EXPECT_EQ(TimecodeInterval(MediaTime(-48, 24), props(R::fps24)).description(),
              "-00:00:02:00.00");
    EXPECT_TRUE(TimecodeInterval(Fraction(0, -1), props(R::fps24)).isNegative());
    EXPECT_NE(TimecodeInterval(Fraction(0, -1), props(R::fps24)),
              TimecodeInterval(Fraction(0, 1), props(R::fps24)));
    EXPECT_THROW(TimecodeInterval(MediaTime::invalidTime(), props(R::fps24)), Error);
}

// The same intervals, asked of the time values.
TEST(TimecodeInterval, OfferedOnTimeValues) {
    const auto oneFrame = make({0, 0, 0, 0, 1, 0}, R::fps29_97);
    EXPECT_EQ(timecodeInterval(MediaTime(-1001, 30000), props(R::fps29_97)),
              TimecodeInterval::negative(oneFrame));
    EXPECT_EQ(timecodeInterval(Fraction(1001, 30000), R::fps29_97, Base::max80SubFrames,
                               Limit::max24Hours),
              TimecodeInterval::positive(oneFrame));
    EXPECT_EQ(timecodeInterval(MediaTime::indefiniteTime(), R::fps24, Base::quarterFrames,
                               Limit::max24Hours),
              TimecodeInterval::positive(make({}, R::fps24, Base::quarterFrames)));
    EXPECT_EQ(timecodeInterval(Fraction(0, -1), props(R::fps24)).sign, FloatingPointSign::minus);

    EXPECT_EQ(timecodeInterval(-2.5, props(R::fps24)).description(), "-00:00:02:12.00");
    EXPECT_EQ(timecodeInterval(90000.0, R::fps24, Base::max80SubFrames, Limit::max100Days)
                  .absoluteInterval.components(),
              (Components{1, 1, 0, 0, 0, 0}));
    EXPECT_THROW(timecodeInterval(90000.0, R::fps24, Base::max80SubFrames, Limit::max24Hours),
                 Error);
    EXPECT_THROW(timecodeInterval(Fraction(90000, 1), props(R::fps24)), Error);
}

TEST(TimecodeInterval, OffsetsAndFlattens) {
    const auto minus = [](Components c, R rate = R::fps24) {
        return TimecodeInterval::negative(make(c, rate));
    };
    EXPECT_EQ(minus({0, 0, 0, 0, 1, 0}).timecode(make({})).stringValue(), "23:59:59:23");
    EXPECT_EQ(TimecodeInterval::positive(make({0, 2, 0, 0, 0, 0}))
                  .timecode(make({0, 23, 0, 0, 0, 0}))
                  .stringValue(),
              "01:00:00:00");
    EXPECT_EQ(minus({0, 1, 0, 0, 0, 0}).timecode(make({0, 0, 30, 0, 0, 0})).stringValue(),
              "23:30:00:00");
    // A 24 fps second offsets a 25 fps timecode by one second.
    const Timecode at25 = make({0, 1, 0, 0, 0, 0}, R::fps25);
    const Timecode moved = TimecodeInterval::positive(make({0, 0, 0, 1, 0, 0})).timecode(at25);
    EXPECT_EQ(moved.stringValue(), "01:00:01:00");
    EXPECT_EQ(moved.properties(), at25.properties());
    // An interval that cannot be brought to the rate leaves the timecode as it was.
    EXPECT_EQ(TimecodeInterval::positive(make({0, 23, 59, 59, 23, 0}, R::fps23_976)).timecode(at25),
              at25);

    EXPECT_EQ(minus({0, 0, 0, 1, 0, 0}).flattened().stringValue(), "23:59:59:00");
    EXPECT_EQ(TimecodeInterval::positive(make({0, 25, 0, 0, 0, 0})).flattened().stringValue(),
              "01:00:00:00");

    const TimecodeInterval ten = minus({0, 0, 0, 10, 0, 0});
    EXPECT_EQ(ten.description(), "-00:00:10:00.00");
    EXPECT_EQ(ten.debugDescription(), "TimecodeInterval(-00:00:10:00.00)");
    EXPECT_EQ(ten.verboseDescription(), "TimecodeInterval -00:00:10:00.00 @ 24 fps");
}

TEST(TimecodeTransformer, AppliesInOrder) {
    const Timecode one = make({0, 1, 0, 0, 0, 0});
    TimecodeTransformer transformer(
        {Transform::offset(TimecodeInterval::positive(make({0, 0, 0, 10, 0, 0}))),
         Transform::offset(TimecodeInterval::negative(make({0, 0, 0, 4, 0, 0})))});
    EXPECT_EQ(one.transformed(transformer).stringValue(), "01:00:06:00");
    transformer.enabled = false;
    EXPECT_EQ(make({0, 10, 0, 0, 0, 0}).transformed(transformer).stringValue(), "10:00:00:00");

    EXPECT_EQ(one.transformed(TimecodeTransformer(Transform::offset(
                                  TimecodeInterval::negative(make({0, 2, 0, 0, 0, 0})))))
                  .stringValue(),
              "23:00:00:00");

    std::vector<std::string> seen;
    TimecodeTransformer withCustom(
        {Transform::offset(TimecodeInterval::positive(make({0, 0, 1, 0, 0, 0}))),
         Transform::custom([&seen](const Timecode &timecode) {
             seen.push_back(timecode.stringValue());
             return timecode.converted(R::fps25);
         }),
         Transform::none(),
         Transform::offset(TimecodeInterval::positive(make({0, 0, 0, 0, 1, 0})))});
    Timecode value = one;
    value.transform(withCustom);
    EXPECT_EQ(seen, std::vector<std::string>{"01:01:00:00"});
    EXPECT_EQ(value.frameRate(), R::fps25);
    EXPECT_EQ(value.stringValue(), "01:01:00:01");

    EXPECT_EQ(one.transformed(TimecodeTransformer({Transform::none(), Transform::none()})), one);
    EXPECT_EQ(one.transformed(TimecodeTransformer(std::vector<Transform>{})), one);
}

TEST(MediaTimeRange, TimecodeRange) {
    const MediaTimeRange range{MediaTime(1, 1), MediaTime(48, 24)};
    const ClosedRange<Timecode> timecodes = range.timecodeRange(props(R::fps25));
    EXPECT_EQ(timecodes.lower.stringValue(), "00:00:01:00");
    EXPECT_EQ(timecodes.upper.stringValue(), "00:00:03:00");
    EXPECT_TRUE(timecodes.contains(make({0, 0, 0, 2, 0, 0}, R::fps25)));
    EXPECT_EQ(range.end(), MediaTime(3, 1));
    // A start on a 600 timescale and a duration in nanoseconds end at 4505000003/3000000000 s:
    // no media time holds that timescale, but the range is valid and has an end timecode.
    const ClosedRange<Timecode> mixed =
        MediaTimeRange{MediaTime(601, 600), MediaTime(500'000'001, 1'000'000'000)}.timecodeRange(
            props(R::fps24));
    EXPECT_EQ(mixed.lower.stringValue(), "00:00:01:00");
    EXPECT_EQ(mixed.upper.stringValue(), "00:00:01:12");

    const auto error = [](const MediaTimeRange &bad) {
        try {
            bad.timecodeRange(props(R::fps25));
        } catch (const Error &e) {
            return e.value();
        }
        return Error::Case(99);
    };
    EXPECT_EQ(error({MediaTime(1, 1), MediaTime(-1, 1)}), Error::invalid);
    EXPECT_EQ(error({MediaTime::invalidTime(), MediaTime(1, 1)}), Error::invalid);
    EXPECT_EQ(error({MediaTime(-1, 1), MediaTime(2, 1)}), Error::outOfBounds);
    EXPECT_EQ(error({MediaTime(0, 1), MediaTime::positiveInfinityTime()}), Error::invalid);
}

} // namespace
} // namespace timecode
