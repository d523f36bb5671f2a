#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

TEST(Timecode, StoredFieldsChangeNothingElse) {
    Timecode timecode = make({0, 1, 2, 3, 4, 5}, R::fps25);
    timecode.setFrameRate(R::fps29_97d);
    EXPECT_EQ(timecode.components(), (Components{0, 1, 2, 3, 4, 5}));
    timecode.setHours(30);
    timecode.setSubFramesBase(Base::quarterFrames);
    EXPECT_EQ(timecode.hours(), 30);
    EXPECT_EQ(timecode.subFrames(), 5);
    EXPECT_EQ(timecode.invalidComponents(), (C::Set{C::hours, C::subFrames}));
    EXPECT_FALSE(timecode.isValid());
    timecode.components().hours = 1;
    EXPECT_EQ(timecode.validRange(C::subFrames), (ClosedRange<int64_t>{0, 3}));
    EXPECT_EQ(Timecode(timecode.properties()).components(), Components::zero());
}

TEST(Timecode, ClampsComponents) {
    Timecode dropped = make({0, 0, 1, 0, 0, 0}, R::fps29_97d);
    dropped.clampComponents();
    EXPECT_EQ(dropped.components(), (Components{0, 0, 1, 0, 2, 0}));

    Timecode wild = make({5, 30, -5, 75, 200, -3}, R::fps29_97d);
    wild.clampComponents();
    // Minutes clamp to 0, a multiple of ten, so frames have no drop-frame bound.
    EXPECT_EQ(wild.components(), (Components{0, 23, 0, 59, 29, 0}));

    Timecode fast =
        make({0, 0, 0, 0, 500, 500}, R::fps120, Base::max100SubFrames, Limit::max100Days);
    fast.clampComponents();
    EXPECT_EQ(fast.components(), (Components{0, 0, 0, 0, 119, 99}));

    // The drop-frame bound reads the clamped seconds: −1 becomes 0.
    Timecode bound = make({0, 0, 3, -1, 0, 0}, R::fps59_94d);
    bound.clampComponents();
    EXPECT_EQ(bound.components(), (Components{0, 0, 3, 0, 4, 0}));
}

TEST(Timecode, ExpressibleLimits) {
    const Timecode timecode = make({}, R::fps24);
    EXPECT_EQ(timecode.maxSubFrameCountExpressible(), 165887999);
    EXPECT_EQ(timecode.maxFrameCountExpressible().subFrameCount(), 165887999);
    EXPECT_EQ(timecode.maxFrameCountExpressible().value, Value::split(2073599, 79));
    EXPECT_EQ(timecode.maxSubFramesExpressible(), 79);
    EXPECT_EQ(make({}, R::fps25, Base::quarterFrames).maxSubFramesExpressible(), 3);
    EXPECT_TRUE(make({0, 0, 0, 0, 100, 0}, R::fps119_88).isWithinValidComponentDigitCounts());
    EXPECT_FALSE(make({0, 0, 0, 0, 100, 0}, R::fps100).isWithinValidComponentDigitCounts());
}

TEST(TimecodeConversions, ComponentsToFrames) {
    struct Case {
        R rate;
        Components components;
        int64_t frames;
    };
    const Case cases[] = {
        {R::fps29_97d, {0, 0, 1, 0, 2, 0}, 1800},
        {R::fps29_97d, {0, 0, 10, 0, 0, 0}, 17982},
        {R::fps29_97d, {0, 1, 0, 0, 0, 0}, 107892},
        {R::fps29_97d, {0, 23, 59, 59, 29, 0}, 2589407},
        {R::fps30d, {0, 0, 1, 0, 2, 0}, 1800},
        {R::fps59_94d, {0, 0, 1, 0, 4, 0}, 3600},
        {R::fps60d, {0, 23, 59, 59, 59, 0}, 5178815},
        {R::fps119_88d, {0, 0, 1, 0, 8, 0}, 7200},
        {R::fps120d, {0, 0, 10, 0, 0, 0}, 71928},
        {R::fps23_976, {0, 1, 0, 0, 0, 0}, 86400},
        {R::fps24, {1, 0, 0, 0, 0, 0}, 2073600},
        {R::fps25, {0, 0, 0, 0, -1, 0}, -1},
        {R::fps25, {0, 0, 0, 1, 30, 0}, 55}, // out-of-range frames count on
    };
    for (const Case &c : cases) {
        const Count count = Timecode::frameCount(c.components, c.rate, Base::max80SubFrames);
        EXPECT_EQ(count.wholeFrames(), c.frames) << c.rate.rawValue();
        EXPECT_EQ(count.value.form(), Value::Form::splitUnitInterval);
    }
    const Count withSubFrames = make({0, 0, 0, 1, 0, 40}, R::fps24).frameCount();
    EXPECT_EQ(withSubFrames.value, Value::splitUnitInterval(24, 0.5));
    EXPECT_EQ(withSubFrames.subFrameCount(), 24 * 80 + 40);
    // A total beyond 64 bits is the plain count 0.
    const Count overflow = Timecode::frameCount(
        {std::numeric_limits<int64_t>::max(), 0, 0, 0, 0, 0}, R::fps120, Base::max100SubFrames);
    EXPECT_EQ(overflow.value, Value::frames(0));
}

TEST(TimecodeConversions, FramesToComponents) {
    struct Case {
        R rate;
        Value count;
        Components components;
    };
    const Case cases[] = {
        {R::fps29_97d, Value::frames(1800), {0, 0, 1, 0, 2, 0}},
        {R::fps29_97d, Value::frames(1799), {0, 0, 0, 59, 29, 0}},
        {R::fps29_97d, Value::frames(17982), {0, 0, 10, 0, 0, 0}},
        {R::fps29_97d, Value::frames(17981), {0, 0, 9, 59, 29, 0}},
        {R::fps59_94d, Value::frames(3599), {0, 0, 0, 59, 59, 0}},
        {R::fps59_94d, Value::frames(3600), {0, 0, 1, 0, 4, 0}},
        {R::fps119_88d, Value::frames(7200), {0, 0, 1, 0, 8, 0}},
        {R::fps24, Value::frames(2073600), {1, 0, 0, 0, 0, 0}},
        {R::fps29_97d, Value::frames(2589408), {1, 0, 0, 0, 0, 0}},
        {R::fps25, Value::frames(-1), {0, 0, 0, 0, -1, 0}},
        {R::fps25, Value::frames(-2160001), {-1, 0, 0, 0, -1, 0}},
        {R::fps29_97d, Value::frames(-1800), {0, 0, -1, 0, -2, 0}},
        {R::fps24, Value::split(25, 40), {0, 0, 0, 1, 1, 40}},
        {R::fps24, Value::split(1, -40), {0, 0, 0, 0, 0, 40}},
        {R::fps24, Value::split(0, -120), {0, 0, 0, 0, -1, -40}},
        {R::fps24, Value::combined(1.999999999), {0, 0, 0, 0, 1, 79}},
        {R::fps24, Value::combined(-1.5), {0, 0, 0, 0, -1, -40}},
        {R::fps24, Value::combined(25.00001), {0, 0, 0, 1, 1, 0}},
        {R::fps24, Value::splitUnitInterval(24, 0.5), {0, 0, 0, 1, 0, 40}},
        {R::fps24, Value::splitUnitInterval(24, 1.25), {0, 0, 0, 1, 1, 20}},
        // Far beyond any limit, still no overflow: the count saturates as wholeFrames() does.
        {R::fps24, Value::combined(1e300), {4447999631970, 20, 38, 45, 7, 0}},
        {R::fps24,
         Value::frames(std::numeric_limits<int64_t>::max()),
         {4447999631970, 20, 38, 45, 7, 0}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Timecode::components(Count(c.count, Base::max80SubFrames), c.rate), c.components)
            << c.rate.rawValue() << " " << c.count.debugDescription();
    }
    EXPECT_EQ(Timecode::components(Count(Value::combined(0.29), Base::max100SubFrames), R::fps25)
                  .subFrames,
              29);
    EXPECT_EQ(
        Timecode::components(Count(Value::split(0, 3), Base::quarterFrames), R::fps25).subFrames,
        3);
}

TEST(TimecodeConversions, StrictComponentsOfACount) {
    const Timecode timecode = make({}, R::fps29_97d);
    EXPECT_EQ(timecode.components(Value::frames(2589407)), (Components{0, 23, 59, 59, 29, 0}));
    EXPECT_EQ(timecode.components(Value::split(2589407, 79)), (Components{0, 23, 59, 59, 29, 79}));
    EXPECT_EQ(timecode.components(Value::combined(1.5)), (Components{0, 0, 0, 0, 1, 40}));
    const Value outside[] = {Value::frames(2589408), Value::split(2589407, 80), Value::split(0, -1),
                             Value::frames(-1), Value::combined(-0.5)};
    for (const Value &value : outside) {
        try {
            timecode.components(value);
            ADD_FAILURE() << value.debugDescription();
        } catch (const Timecode::ValidationError &error) {
            EXPECT_EQ(error.value(), Timecode::ValidationError::outOfBounds);
        }
    }
    EXPECT_NO_THROW(make({}, R::fps29_97d, Base::max80SubFrames, Limit::max100Days)
                        .components(Value::frames(2589408 * 100 - 1)));
}

TEST(TimecodeConversions, RealAndMediaTime) {
    EXPECT_DOUBLE_EQ(make({0, 1, 0, 0, 0, 0}, R::fps29_97d).realTimeValue(), 3599.9964);
    EXPECT_DOUBLE_EQ(make({0, 1, 0, 0, 0, 0}, R::fps23_976).realTimeValue(), 3603.6);
    EXPECT_DOUBLE_EQ(make({0, 0, 0, 0, 0, 40}, R::fps24).realTimeValue(), 1.0 / 48);
    EXPECT_DOUBLE_EQ(make({}, R::fps25).elapsedFrames(1.0), 25.00001);
    EXPECT_DOUBLE_EQ(make({}, R::fps25).elapsedFrames(-1.0), -25.00001);
    EXPECT_EQ(make({}, R::fps25).elapsedFrames(0), 0);

    EXPECT_EQ(make({0, 0, 0, 1, 0, 0}, R::fps24).cmTimeValue(), MediaTime(1, 1));
    EXPECT_EQ(make({0, 0, 0, 1, 0, 0}, R::fps24).cmTimeValue().timescale, 1);
    const MediaTime ntsc = make({0, 0, 0, 1, 0, 0}, R::fps29_97).cmTimeValue();
    EXPECT_EQ(ntsc.value, 1001);
    EXPECT_EQ(ntsc.timescale, 1000);
    const MediaTime half = make({0, 0, 0, 0, 0, 40}, R::fps24).cmTimeValue();
    EXPECT_EQ(half.value, 1);
    EXPECT_EQ(half.timescale, 48);
    EXPECT_EQ(make({}, R::fps24).cmTimeValue(), MediaTime::zero());
    // The frame count fits 64 bits, its value in 1001ths of a second does not.
    EXPECT_FALSE(make({964506172, 0, 0, 0, 1, 0}, R::fps119_88).cmTimeValue().isValid());

    const Fraction rational = make({0, 0, 0, 1, 0, 0}, R::fps29_97).rationalValue();
    EXPECT_TRUE(rational.isIdentical(Fraction(1001, 1000)));
    EXPECT_TRUE(rational.isReduced());

    EXPECT_EQ(make({0, 0, 0, 1, 0, 0}, R::fps24).samplesValue(48000), 48000);
    EXPECT_EQ(make({0, 1, 0, 0, 0, 0}, R::fps29_97d).samplesValue(48000), 172799827);
    EXPECT_DOUBLE_EQ(make({0, 1, 0, 0, 0, 0}, R::fps29_97d).samplesDoubleValue(48000), 172799827.2);
    EXPECT_EQ(make({0, 1, 0, 0, 0, 0}, R::fps24).samplesValue(int64_t{1} << 62), 0);
}

TEST(TimecodeConversions, ConvertsToOtherRates) {
    const Timecode drop = make({0, 1, 0, 0, 0, 0}, R::fps29_97d);
    const Timecode ndf = drop.converted(R::fps29_97);
    EXPECT_EQ(ndf.components(), (Components{0, 0, 59, 56, 12, 0}));
    EXPECT_EQ(ndf.properties(),
              Timecode::Properties(R::fps29_97, Base::max80SubFrames, Limit::max24Hours));
    EXPECT_EQ(ndf.converted(R::fps29_97d).components(), drop.components());

    const Timecode same = make({0, 0, 0, 0, 99, 0}, R::fps24);
    EXPECT_EQ(same.converted(R::fps24).components(), same.components()); // unchanged, even invalid

    const Timecode small = make({0, 0, 0, 1, 20, 0}, R::fps24);
    EXPECT_EQ(small.converted(R::fps25, std::nullopt, true).components(), small.components());
    EXPECT_EQ(small.converted(R::fps25).components(), (Components{0, 0, 0, 1, 20, 66}));
    const Timecode rebased = small.converted(R::fps24, Base::max100SubFrames);
    EXPECT_EQ(rebased.subFramesBase(), Base::max100SubFrames);
    EXPECT_EQ(rebased.components(), small.components());

    // Frames 29 do not exist at 24: preserving falls back to the real time.
    const Timecode thirty = make({0, 0, 0, 0, 29, 0}, R::fps30);
    EXPECT_EQ(thirty.converted(R::fps24, std::nullopt, true).components(),
              (Components{0, 0, 0, 0, 23, 16}));

    // 24 hours of 23.976 timecode last longer than 24 hours at 24.
    EXPECT_THROW(make({0, 23, 59, 59, 23, 0}, R::fps23_976).converted(R::fps24),
                 Timecode::ValidationError);
    EXPECT_NO_THROW(
        make({0, 23, 59, 59, 23, 0}, R::fps23_976, Base::max80SubFrames, Limit::max100Days)
            .converted(R::fps24));

    // Pasted text keeps any hours: 10^16 of them pass 64 bits of frames, yet they are no
    // midnight. They are not zero, do not equal it, and cannot be expressed at another rate.
    const Timecode farOut = make({0, 10'000'000'000'000'000, 0, 0, 0, 0}, R::fps25);
    EXPECT_FALSE(farOut.isZero());
    EXPECT_NE(farOut, make({}, R::fps25));
    EXPECT_DOUBLE_EQ(farOut.realTimeValue(), 3.6e19);
    EXPECT_FALSE(farOut.cmTimeValue().isValid());
    EXPECT_THROW(farOut.converted(R::fps24), Timecode::ValidationError);
}

// Frames → components → frames is the identity over the whole 24-hour range, and no count
// shows a dropped frame number: every drop rate walks every frame, the others a stride that
// visits every frame position within a second.
#ifdef TIMECODE_TESTS_SANITIZED
constexpr int64_t dropRateStride = 3;
constexpr int64_t otherRateStride = 101;
#else
constexpr int64_t dropRateStride = 1;
constexpr int64_t otherRateStride = 7;
#endif

class TimecodeRoundTrip : public ::testing::TestWithParam<R> {};

TEST_P(TimecodeRoundTrip, OverTwentyFourHours) {
    const R rate = GetParam();
    const Timecode::Properties properties(rate, Base::max80SubFrames, Limit::max24Hours);
    const int64_t total = rate.maxTotalFrames(Limit::max24Hours);
    const int64_t stride = rate.isDrop() ? dropRateStride : otherRateStride;
    int64_t failures = 0;
    int64_t firstFailure = -1;
    const auto check = [&](int64_t frame) {
        const Components components =
            Timecode::components(Count(Value::frames(frame), Base::max80SubFrames), rate);
        const Count back = Timecode::frameCount(components, rate, Base::max80SubFrames);
        if (back.wholeFrames() != frame || !components.invalidComponents(properties).empty()) {
            firstFailure = failures++ == 0 ? frame : firstFailure;
        }
    };
    for (int64_t frame = 0; frame < total; frame += stride) {
        check(frame);
    }
    check(total - 1);
    EXPECT_EQ(failures, 0) << "first failing frame: " << firstFailure;
    EXPECT_EQ(Timecode::components(Count(Value::frames(total - 1), Base::max80SubFrames), rate),
              (Components{0, 23, 59, 59, rate.maxFrames() - 1, 0}));
    EXPECT_EQ(Timecode::components(Count(Value::frames(total), Base::max80SubFrames), rate),
              (Components{1, 0, 0, 0, 0, 0}));
}

// Sub-frames, negative counts and the 100-day range, sampled.
TEST_P(TimecodeRoundTrip, WithSubFramesNegativesAndDays) {
    const R rate = GetParam();
    const int64_t total = rate.maxTotalFrames(Limit::max100Days);
    for (Base base : Base::allCases()) {
        const Timecode::Properties properties(rate, base, Limit::max100Days);
        for (int64_t frame = 0; frame < total; frame += 9973 * 13) {
            for (int64_t subFrames : {int64_t{0}, int64_t{1}, int64_t{base.rawValue() - 1}}) {
                const Count count(Value::split(frame, subFrames), base);
                const Components components = Timecode::components(count, rate);
                ASSERT_TRUE(components.invalidComponents(properties).empty())
                    << rate.rawValue() << " " << frame;
                ASSERT_EQ(Timecode::frameCount(components, rate, base).subFrameCount(),
                          count.subFrameCount());
                const Count negative(Value::split(-frame, -subFrames), base);
                ASSERT_EQ(Timecode::frameCount(Timecode::components(negative, rate), rate, base)
                              .subFrameCount(),
                          negative.subFrameCount());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllRates, TimecodeRoundTrip, ::testing::ValuesIn(R::allCases()),
                         [](const ::testing::TestParamInfo<R> &info) {
                             std::string name(info.param.rawValue());
                             for (char &c : name) {
                                 c = c == '.' ? '_' : c;
                             }
                             return "fps" + name;
                         });

} // namespace
} // namespace timecode
