#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeInterval.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

TEST(TimecodeArithmetic, AddsAndSubtractsUnderEachRule) {
    const Timecode last = make({0, 23, 59, 59, 23, 0});
    const Components frame{0, 0, 0, 0, 1, 0};
    EXPECT_THROW(last.adding(frame), Error);
    EXPECT_EQ(last.adding(frame, Rule::wrapping).components(), Components::zero());
    // Clamped to the last sub-frame of the day: 23:59:59:23 and 79 eightieths.
    EXPECT_EQ(last.adding(frame, Rule::clamping).components(), (Components{0, 23, 59, 59, 23, 79}));
    EXPECT_EQ(last.adding(frame, Rule::clampingComponents).description(), "23:59:59:23.79");
    const Timecode raw = last.adding(frame, Rule::allowingInvalid);
    EXPECT_EQ(raw.components(), (Components{1, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(raw.isValid());

    const Timecode zero = make({});
    EXPECT_THROW(zero.subtracting(frame), Error);
    EXPECT_EQ(zero.subtracting(frame, Rule::wrapping).components(), last.components());
    EXPECT_EQ(zero.subtracting(frame, Rule::clamping).components(), Components::zero());
    EXPECT_EQ(zero.subtracting(frame, Rule::allowingInvalid).frames(), -1);
    // Exactly the whole range below zero wraps to zero.
    EXPECT_EQ(zero.subtracting(Components{1, 0, 0, 0, 0, 0}, Rule::wrapping).components(),
              Components::zero());

    EXPECT_EQ(make({0, 0, 0, 0, 0, 40}).adding(Components{0, 0, 0, 0, 0, 40}).components(),
              (Components{0, 0, 0, 0, 1, 0}));
    // Drop-frame numbering comes out of the totals.
    EXPECT_EQ(make({0, 0, 0, 59, 29, 0}, R::fps29_97d).adding(frame).stringValue(), "00:01:00;02");
    // Base 100 sub-frames count exactly (29 ÷ 100 × 100 is not 29 in floating point).
    EXPECT_EQ(make({0, 0, 0, 0, 0, 29}, R::fps24, Base::max100SubFrames)
                  .adding(Components::zero())
                  .subFrames(),
              29);

    // A changing operation that throws leaves the value as it was.
    Timecode value = last;
    EXPECT_THROW(value.add(frame), Error);
    EXPECT_EQ(value, last);
}

TEST(TimecodeArithmetic, OperandsOfEveryKind) {
    const Timecode one = make({0, 1, 0, 0, 0, 0});
    EXPECT_EQ(one.adding(TimecodeSourceValue::frames(24)).stringValue(), "01:00:01:00");
    EXPECT_EQ(one.adding(FormattedTimecodeSourceValue::string("00:00:00:12")).frames(), 12);
    EXPECT_THROW(one.adding(FormattedTimecodeSourceValue::string("00:00:00:99")), Error);
    EXPECT_THROW(one.adding(FormattedTimecodeSourceValue::string("12"), Rule::wrapping),
                 Timecode::StringParseError);
    EXPECT_EQ(one.adding(GuaranteedTimecodeSourceValue::zero()), one);
    // Another rate is converted first: one second at 25 fps is 24 frames here.
    EXPECT_EQ(one.adding(make({0, 0, 0, 1, 0, 0}, R::fps25)).stringValue(), "01:00:01:00");
    // Another base is re-expressed: two quarter frames are 40 eightieths.
    EXPECT_EQ(one.adding(make({0, 0, 0, 0, 0, 2}, R::fps24, Base::quarterFrames)).subFrames(), 40);
    // The operand's conversion error is thrown by the rule forms too.
    const Timecode late = make({0, 23, 59, 59, 23, 0}, R::fps23_976);
    EXPECT_THROW(one.adding(late, Rule::wrapping), Error);
    EXPECT_EQ(one + late, one);
    EXPECT_EQ(one - late, one);
}

TEST(TimecodeArithmetic, MultipliesAndDivides) {
    const Timecode one = make({0, 1, 0, 0, 0, 0});
    EXPECT_EQ(one.multiplying(1.5).stringValue(), "01:30:00:00");
    EXPECT_THROW(one.multiplying(-1), Error);
    EXPECT_EQ(one.multiplying(-1, Rule::clamping).components(), Components::zero());
    EXPECT_EQ(one.multiplying(-1, Rule::wrapping).stringValue(), "23:00:00:00");
    EXPECT_EQ(one.multiplying(-1, Rule::allowingInvalid).hours(), -1);
    EXPECT_THROW(one.dividing(0.0), Error);
    EXPECT_THROW(make({}).dividing(0.0), Error); // 0 ÷ 0 is not a number
    EXPECT_EQ(one.dividing(4.0).stringValue(), "00:15:00:00");
    EXPECT_EQ((one * 3).stringValue(), "03:00:00:00");
    EXPECT_EQ((one * 25).stringValue(), "01:00:00:00");
    EXPECT_EQ((one / uint8_t{2}).stringValue(), "00:30:00:00");

    EXPECT_DOUBLE_EQ(one.dividing(make({0, 0, 30, 0, 0, 0})), 2.0);
    EXPECT_DOUBLE_EQ(one / make({0, 0, 30, 0, 0, 0}), 2.0);
    EXPECT_THROW(one.dividing(make({})), Error);
    EXPECT_DOUBLE_EQ(one / make({}), 1.0);
    EXPECT_THROW(make({}).dividing(Components::zero()), Error);
    EXPECT_DOUBLE_EQ(make({}).dividing(Components{0, 1, 0, 0, 0, 0}), 0.0);

    Timecode value = one;
    value *= 2.0;
    value /= 4.0;
    EXPECT_EQ(value.stringValue(), "00:30:00:00");
    value += make({0, 0, 30, 0, 0, 0});
    value -= make({0, 2, 0, 0, 0, 0});
    EXPECT_EQ(value.stringValue(), "23:00:00:00");
}

TEST(TimecodeArithmetic, Rounds) {
    EXPECT_EQ(make({0, 1, 0, 0, 1, 0}).roundedUp(C::hours).stringValue(), "02:00:00:00");
    EXPECT_EQ(make({0, 1, 0, 0, 0, 0}).roundedUp(C::hours).stringValue(), "01:00:00:00");
    EXPECT_EQ(make({0, 1, 0, 0, 0, 5}).roundedUp(C::subFrames).subFrames(), 5);
    EXPECT_EQ(make({0, 1, 0, 0, -1, 0}).roundedUp(C::hours).frames(), -1);
    Timecode late = make({0, 1, 0, 0, 1, 0});
    EXPECT_THROW(late.roundUp(C::days), Error);
    EXPECT_EQ(late.components(), (Components{0, 1, 0, 0, 1, 0}));
    EXPECT_EQ(make({0, 1, 59, 59, 23, 0}).roundedDown(C::hours).stringValue(), "01:00:00:00");
    EXPECT_EQ(make({0, 1, 59, 59, -1, 0}).roundedDown(C::hours).frames(), -1);
    // One minute label at 29.97d is 1798 frames; the zeroed result is not validated.
    const Timecode rounded = make({0, 0, 0, 30, 0, 0}, R::fps29_97d).roundedUp(C::minutes);
    EXPECT_EQ(rounded.stringValue(), "00:01:00;00");
    EXPECT_FALSE(rounded.isValid());
}

TEST(TimecodeArithmetic, Intervals) {
    const Timecode one = make({0, 1, 0, 0, 0, 0});
    const TimecodeInterval back = one.interval(make({0, 0, 59, 59, 0, 0}));
    EXPECT_EQ(back.absoluteInterval.stringValue(), "00:00:01:00");
    EXPECT_TRUE(back.isNegative());
    const TimecodeInterval none = one.interval(one);
    EXPECT_TRUE(none.absoluteInterval.isZero());
    EXPECT_FALSE(none.isNegative());
    const TimecodeInterval ahead = one.interval(make({0, 1, 0, 1, 0, 0}, R::fps25));
    EXPECT_EQ(ahead.description(), "00:00:01:00.00");
    EXPECT_EQ(one.offsetting(ahead).stringValue(), "01:00:01:00");
    EXPECT_EQ(one.asInterval(FloatingPointSign::minus), -one);
    EXPECT_EQ((+one).sign, FloatingPointSign::plus);
    EXPECT_TRUE(make({0, 0, 0, 1, -24, 0}).isZero());
}

} // namespace
} // namespace timecode
