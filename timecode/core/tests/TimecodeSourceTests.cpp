#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeInterval.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <limits>
#include <thread>

namespace timecode {
namespace {

using namespace timecode::test;

using Source = TimecodeSourceValue;

template <typename Action> Error::Case validationError(Action action) {
    try {
        action();
    } catch (const Error &error) {
        return error.value();
    }
    ADD_FAILURE() << "no validation error";
    return Error::invalid;
}

TEST(TimecodeSources, PluginPathClampsFramesAndMediaTimes) {
    // What the plug-in asks for: 100 sub-frames, 24 hours, clamping.
    const auto at = [](R rate, const Source &source) {
        return Timecode(source, rate, Base::max100SubFrames, Limit::max24Hours, Rule::clamping);
    };
    EXPECT_EQ(at(R::fps29_97d, Source::frames(1800)).stringValue(), "00:01:00;02");
    EXPECT_EQ(at(R::fps29_97d, Source::frames(-5)).stringValue(), "00:00:00;00");
    EXPECT_EQ(at(R::fps29_97d, Source::frames(int64_t{3'000'000})).description(), "23:59:59;29.99");
    EXPECT_EQ(at(R::fps25, Source::cmTime(MediaTime(-1, 1))).components(), Components::zero());
    EXPECT_EQ(at(R::fps25, Source::cmTime(MediaTime(25 * 3600, 1))).components(),
              (Components{0, 23, 59, 59, 24, 99}));
    EXPECT_EQ(at(R::fps24, Source::cmTime(MediaTime(25 * 3600, 1))).description(),
              "23:59:59:23.99");
    EXPECT_EQ(at(R::fps29_97, Source::cmTime(MediaTime(1001, 30000))).frames(), 1);
    EXPECT_EQ(at(R::fps29_97, Source::cmTime(MediaTime(1000, 30000))).frames(), 0);
    // Whole frames only: the fraction of a frame is truncated.
    EXPECT_EQ(at(R::fps24, Source::cmTime(MediaTime(1, 48))).components(), Components::zero());
    // Times that are not numeric do not throw here.
    EXPECT_EQ(at(R::fps24, Source::cmTime(MediaTime::positiveInfinityTime())).description(),
              "23:59:59:23.99");
    EXPECT_EQ(at(R::fps24, Source::cmTime(MediaTime::invalidTime())).components(),
              Components::zero());
}

TEST(TimecodeSources, StrictMediaTime) {
    const Timecode half(Source::cmTime(MediaTime(1, 48)), props(R::fps24, Base::max100SubFrames));
    EXPECT_EQ(half.components(), (Components{0, 0, 0, 0, 0, 50}));
    EXPECT_EQ(Timecode(Source::rational(Fraction(3600, 1)), props(R::fps29_97d)).description(),
              "01:00:00;00.08");
    EXPECT_EQ(Timecode(Source::rational(-1, -2), props(R::fps24)).frames(), 12);
    EXPECT_EQ(validationError([] { Timecode(Source::cmTime(MediaTime(-1, 1)), props(R::fps25)); }),
              Error::outOfBounds);
    EXPECT_EQ(validationError([] { Timecode(Source::rational(86400, 1), props(R::fps25)); }),
              Error::outOfBounds);
    EXPECT_NO_THROW(Timecode(Source::rational(86400, 1),
                             props(R::fps25, Base::max80SubFrames, Limit::max100Days)));
    // A time that is not a number of seconds is refused, not read as zero.
    EXPECT_EQ(validationError([] { Timecode(Source::rational(1, 0), props(R::fps25)); }),
              Error::invalid);
    EXPECT_EQ(validationError(
                  [] { Timecode(Source::cmTime(MediaTime::indefiniteTime()), props(R::fps25)); }),
              Error::invalid);
}

TEST(TimecodeSources, RulesOverComponentsAndText) {
    const Timecode::Properties at25 = props(R::fps25, Base::max100SubFrames);
    const Timecode dayAndHour(Source::components(1, 1, 0, 0, 0, 0), at25, Rule::wrapping);
    EXPECT_EQ(dayAndHour.components(), (Components{0, 1, 0, 0, 0, 0}));
    const Timecode kept(Source::components(0, 30, 0, 0, 0, 0), at25, Rule::allowingInvalid);
    EXPECT_EQ(kept.hours(), 30);
    EXPECT_FALSE(kept.isValid());
    EXPECT_EQ(Timecode(Source::components(0, 30, 0, 0, 0, 0), at25, Rule::clamping).components(),
              (Components{0, 23, 59, 59, 24, 99}));
    EXPECT_EQ(validationError([&] { Timecode(Source::components(0, 30, 0, 0, 0, 0), at25); }),
              Error::outOfBounds);

    const auto text = FormattedTimecodeSourceValue::string("00:75:00:00");
    EXPECT_EQ(Timecode(text, at25, Rule::clampingComponents).components(),
              (Components{0, 0, 59, 0, 0, 0}));
    EXPECT_EQ(Timecode(text, at25, Rule::clamping).components(), (Components{0, 1, 15, 0, 0, 0}));
    EXPECT_EQ(Timecode(text, at25, Rule::allowingInvalid).minutes(), 75);
    // Hours whose frame total passes 64 bits are still far beyond the day, not midnight: 10^16
    // hours clamp to the last frame and wrap to 10^16 mod 24 = 16 hours.
    const auto farOut = FormattedTimecodeSourceValue::string("10000000000000000:00:00:00");
    EXPECT_EQ(Timecode(farOut, at25, Rule::clamping).components(),
              (Components{0, 23, 59, 59, 24, 99}));
    EXPECT_EQ(Timecode(farOut, at25, Rule::wrapping).components(), (Components{0, 16, 0, 0, 0, 0}));

    const auto drop = props(R::fps29_97d);
    EXPECT_EQ(validationError(
                  [&] { Timecode(FormattedTimecodeSourceValue::string("00:01:00;00"), drop); }),
              Error::outOfBounds);
    EXPECT_EQ(Timecode(FormattedTimecodeSourceValue::string("00:01:00;02"), drop).frames(), 2);
    // Malformed text throws under every rule.
    for (Rule rule : Rule::allCases()) {
        EXPECT_THROW(Timecode(FormattedTimecodeSourceValue::string("1:00"), drop, rule),
                     Timecode::StringParseError);
    }
}

TEST(TimecodeSources, FrameCounts) {
    const auto at24 = props(R::fps24);
    // Split with no sub-frames is the plain count.
    EXPECT_EQ(Timecode(Source::frames(25, 0), at24).components(), (Components{0, 0, 0, 1, 1, 0}));
    EXPECT_EQ(Timecode(Source::frames(25, 40), at24).components(), (Components{0, 0, 0, 1, 1, 40}));
    EXPECT_EQ(Timecode(Source::frames(1.5), at24).components(), (Components{0, 0, 0, 0, 1, 40}));
    EXPECT_EQ(Timecode(Source::framesUnitInterval(1, 0.25), at24).subFrames(), 20);
    EXPECT_EQ(Timecode(Source::frames(2073601), at24, Rule::wrapping).components(),
              (Components{0, 0, 0, 0, 1, 0}));
    EXPECT_EQ(validationError([&] { Timecode(Source::frames(2073600), at24); }),
              Error::outOfBounds);
    // A count that is not a number is refused strictly, as a time that is not is; zero by rule.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(validationError([&] { Timecode(Source::frames(nan), at24); }), Error::outOfBounds);
    EXPECT_EQ(validationError([&] { Timecode(Source::framesUnitInterval(5, nan), at24); }),
              Error::outOfBounds);
    EXPECT_EQ(Timecode(Source::frames(nan), at24, Rule::clamping).components(), Components::zero());

    // A count in its own base: the strict form takes the base along, the rule forms convert.
    const Count quarter(Value::split(24, 2), Base::quarterFrames);
    const Timecode strict(Source::frames(quarter), at24);
    EXPECT_EQ(strict.subFramesBase(), Base::quarterFrames);
    EXPECT_EQ(strict.components(), (Components{0, 0, 0, 1, 0, 2}));
    const Timecode byRule(Source::frames(quarter), at24, Rule::clamping);
    EXPECT_EQ(byRule.subFramesBase(), Base::max80SubFrames);
    EXPECT_EQ(byRule.components(), (Components{0, 0, 0, 1, 0, 40}));

    // A strict setter that throws leaves the value as it was, its base included.
    Timecode value(Source::components(0, 1, 0, 0, 0, 10), at24);
    const Count tooMany(Value::frames(2073600), Base::max100SubFrames);
    EXPECT_THROW(value.set(Source::frames(tooMany)), Error);
    EXPECT_EQ(value.subFramesBase(), Base::max80SubFrames);
    EXPECT_EQ(value.components(), (Components{0, 1, 0, 0, 0, 10}));
}

TEST(TimecodeSources, RealTimeAndSamples) {
    const auto at24 = props(R::fps24);
    EXPECT_EQ(Timecode(Source::realTime(1.5), at24).components(), (Components{0, 0, 0, 1, 12, 0}));
    EXPECT_EQ(Timecode(Source::realTime(3599.9964), props(R::fps29_97d)).stringValue(),
              "01:00:00;00");
    EXPECT_EQ(Timecode(Source::samples(48000, 48000), at24).stringValue(), "00:00:01:00");
    EXPECT_EQ(Timecode(Source::samples(172799827.2, 48000), props(R::fps29_97d)).stringValue(),
              "01:00:00;00");
    EXPECT_EQ(validationError([&] { Timecode(Source::realTime(-0.5), at24); }), Error::outOfBounds);
    EXPECT_EQ(Timecode(Source::realTime(-0.5), at24, Rule::wrapping).stringValue(), "23:59:59:12");
    // Not-a-number is no time: refused strictly, zero under a rule; infinities saturate.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_EQ(validationError([&] { Timecode(Source::realTime(nan), at24); }), Error::outOfBounds);
    EXPECT_EQ(validationError([&] { Timecode(Source::samples(1, 0), at24); }), Error::outOfBounds);
    EXPECT_EQ(Timecode(Source::realTime(nan), at24, Rule::clamping).components(),
              Components::zero());
    EXPECT_EQ(Timecode(Source::realTime(infinity), at24, Rule::clamping).stringValue(),
              "23:59:59:23");
}

TEST(TimecodeSources, FeetAndFrames) {
    const auto at24 = props(R::fps24);
    EXPECT_EQ(Timecode(Source::feetAndFrames(12, 5, 0, Base::max80SubFrames), at24).frames(), 5);
    EXPECT_EQ(Timecode(Source::feetAndFrames("2+03", Base::max80SubFrames), at24).components(),
              (Components{0, 0, 0, 1, 11, 0}));
    // Sub-frames are re-expressed in the value's base by every form: half a frame stays half.
    const Source half = Source::feetAndFrames(0, 1, 40, Base::max80SubFrames);
    const auto at100 = props(R::fps24, Base::max100SubFrames);
    EXPECT_EQ(Timecode(half, at100).subFrames(), 50);
    EXPECT_EQ(Timecode(half, at100, Rule::clamping).components(), (Components{0, 0, 0, 0, 1, 50}));
    // The upper limit holds whatever the bases: 24 hours of frames in quarter frames is beyond it.
    const Source day = Source::feetAndFrames(129600, 0, 1, Base::quarterFrames);
    EXPECT_EQ(validationError([&] { Timecode(day, at24); }), Error::outOfBounds);
    EXPECT_EQ(validationError(
                  [&] { Timecode(Source::feetAndFrames(0, -1, 0, Base::max80SubFrames), at24); }),
              Error::outOfBounds);
    EXPECT_THROW(Source::feetAndFrames("12:05", Base::max80SubFrames), Timecode::StringParseError);
}

TEST(TimecodeSources, GuaranteedAndRichSources) {
    const auto properties = props(R::fps59_94d, Base::quarterFrames, Limit::max100Days);
    for (int i = 0; i < 200; ++i) {
        EXPECT_TRUE(
            Timecode(GuaranteedTimecodeSourceValue::randomComponents(), properties).isValid());
        EXPECT_TRUE(
            Timecode(GuaranteedRichTimecodeSourceValue::randomComponentsAndProperties()).isValid());
    }
    EXPECT_EQ(Timecode(GuaranteedTimecodeSourceValue::zero(), properties).components(),
              Components::zero());

    // Every range 0...0: whatever properties are drawn, the components are valid zeros.
    const TimecodeComponentRanges zeros{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
    const Timecode drawn(RichTimecodeSourceValue::randomComponentsAndProperties(zeros));
    EXPECT_EQ(drawn.components(), Components::zero());
    // Hours 30 are invalid under any properties.
    TimecodeComponentRanges hours30 = zeros;
    hours30.hours = {30, 30};
    Timecode unchanged(GuaranteedTimecodeSourceValue::zero(), properties);
    EXPECT_THROW(unchanged.set(RichTimecodeSourceValue::randomComponentsAndProperties(hours30)),
                 Error);
    EXPECT_EQ(unchanged.properties(), properties);
    EXPECT_EQ(Timecode(RichTimecodeSourceValue::randomComponentsAndProperties(hours30),
                       Rule::clampingComponents)
                  .hours(),
              23);
    EXPECT_EQ(validationError([&] { Timecode(Source::randomComponents(hours30), properties); }),
              Error::outOfBounds);

    // A rich source's properties replace the value's.
    const Timecode at25(Source::components(0, 1, 0, 0, 0, 0), props(R::fps25));
    const Timecode flattened(
        GuaranteedRichTimecodeSourceValue::interval(TimecodeInterval::negative(at25)));
    EXPECT_EQ(flattened.properties(), at25.properties());
    EXPECT_EQ(flattened.stringValue(), "23:00:00:00");
}

// A source that answers later, on a thread of its own: the shape of the media module's sources.
class LaterSource final : public AsyncTimecodeSource {
public:
    explicit LaterSource(Components components) : components_(components) {}
    void set(Timecode timecode, Completion<Timecode> completion) const override {
        std::thread([timecode, completion, components = components_] {
            completion(AsyncResult<Timecode>::of([&] {
                // Tries to change the properties too; a plain source may not.
                Timecode result = timecode;
                result.setFrameRate(R::fps60);
                result.set(TimecodeSourceValue::components(components));
                return result;
            }));
        }).detach();
    }
    void set(Timecode timecode, Rule rule, Completion<Timecode> completion) const override {
        completion(AsyncResult<Timecode>::of(
            [&] { return timecode.setting(TimecodeSourceValue::components(components_), rule); }));
    }

private:
    Components components_;
};

Timecode await(const std::function<void(Completion<Timecode>)> &start) {
    // Shared, so that the answering thread may still hold it when the wait is over.
    auto promise = std::make_shared<std::promise<Timecode>>();
    start([promise](AsyncResult<Timecode> result) {
        try {
            promise->set_value(result.value());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    return promise->get_future().get();
}

TEST(TimecodeSources, AsynchronousSources) {
    const AsyncTimecodeSourceValue oneHour{
        std::make_shared<LaterSource>(Components{0, 1, 0, 0, 0, 0})};
    const AsyncTimecodeSourceValue thirtyHours{
        std::make_shared<LaterSource>(Components{0, 30, 0, 0, 0, 0})};
    const auto at25 = props(R::fps25);
    const Timecode made = await([&](auto done) { Timecode::fromAsync(oneHour, at25, done); });
    EXPECT_EQ(made.stringValue(), "01:00:00:00");
    EXPECT_EQ(made.properties(), at25);
    EXPECT_THROW(await([&](auto done) { Timecode::fromAsync(thirtyHours, at25, done); }), Error);
    EXPECT_EQ(await([&](auto done) {
                  Timecode::fromAsync(thirtyHours, at25, Rule::clamping, done);
              }).stringValue(),
              "23:59:59:24");
    EXPECT_EQ(await([&](auto done) { made.adding(oneHour, done); }).stringValue(), "02:00:00:00");
    EXPECT_EQ(
        await([&](auto done) { made.subtracting(oneHour, Rule::wrapping, done); }).stringValue(),
        "00:00:00:00");
}

} // namespace
} // namespace timecode
