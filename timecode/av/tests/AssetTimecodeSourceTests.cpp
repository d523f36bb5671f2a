// Timecodes set from the start, end and duration of movies through the core's asynchronous
// initialisers and setters.

#include "timecode/av/AVAssetTimecodeSource.h"
#include "timecode/av/ErrorName.h"
#include "timecode/av/MutableMovie.h"
#include "timecode/av/tests/MediaFixtures.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;
namespace fs = std::filesystem;

// The sources read, then call the completion, before the call returns.
Timecode awaited(const std::function<void(Completion<Timecode>)> &start) {
    std::optional<AsyncResult<Timecode>> result;
    start([&](AsyncResult<Timecode> outcome) { result = std::move(outcome); });
    if (!result) {
        throw std::logic_error("the completion did not run");
    }
    return result->value();
}

std::string failure(const std::function<Timecode()> &function) {
    try {
        return "no error: " + function().stringValue();
    } catch (...) {
        return errorName(std::current_exception());
    }
}

TEST(AssetTimecodeSource, StartEndAndDurationAtTheTimecodesProperties) {
    const auto asset = MediaAsset::open(fixtures::timecode25());
    const Timecode zero(props(R::fps25, Base::max100SubFrames));
    const struct {
        RangeAttribute attribute;
        const char *expected;
    } cases[] = {{RangeAttribute::start, "10:00:00:00"},
                 {RangeAttribute::end, "10:00:02:00"},
                 {RangeAttribute::duration, "00:00:02:00"}};
    for (const auto &c : cases) {
        const Timecode set = awaited([&](Completion<Timecode> done) {
            zero.setting(AsyncTimecodeSourceValue::avAsset(asset, c.attribute), std::move(done));
        });
        EXPECT_EQ(set.stringValue(), c.expected);
        EXPECT_EQ(set.properties(), zero.properties());
    }
    // The source keeps the rate it is given, and the track's frame number (900000) counts at it.
    const Timecode at50 = awaited([&](Completion<Timecode> done) {
        Timecode::fromAsync(AsyncTimecodeSourceValue::avAsset(asset, RangeAttribute::start),
                            R::fps50, Base::quarterFrames, Limit::max100Days, std::move(done));
    });
    EXPECT_EQ(at50.properties(), props(R::fps50, Base::quarterFrames, Limit::max100Days));
    EXPECT_EQ(at50.stringValue(), "05:00:00:00");
}

TEST(AssetTimecodeSource, WithoutATimecodeTrack) {
    const auto asset = MediaAsset::open(fixtures::noTimecode25());
    Timecode timecode(TimecodeSourceValue::components(0, 1, 0, 0, 0), props(R::fps25));
    for (RangeAttribute attribute : {RangeAttribute::start, RangeAttribute::end}) {
        const auto source = AsyncTimecodeSourceValue::avAsset(asset, attribute);
        std::optional<AsyncResult<void>> result;
        timecode.set(source, [&](AsyncResult<void> outcome) { result = outcome; });
        ASSERT_TRUE(result);
        EXPECT_EQ(failure([&] {
                      result->value();
                      return timecode;
                  }),
                  "unknownTimecode");
        EXPECT_EQ(timecode.stringValue(), "01:00:00:00");
        // The form that never fails answers zero at the timecode's own properties.
        for (Rule rule : {Rule::clamping, Rule::allowingInvalid}) {
            const Timecode zeroed = awaited([&](Completion<Timecode> done) {
                timecode.setting(source, rule, std::move(done));
            });
            EXPECT_EQ(zeroed.stringValue(), "00:00:00:00");
            EXPECT_EQ(zeroed.properties(), timecode.properties());
        }
    }
    // The duration needs no timecode track.
    const Timecode duration = awaited([&](Completion<Timecode> done) {
        timecode.setting(AsyncTimecodeSourceValue::avAsset(asset, RangeAttribute::duration),
                         std::move(done));
    });
    EXPECT_EQ(duration.stringValue(), "00:00:02:00");
}

TEST(AssetTimecodeSource, RichSourcesTakeTheAssetsRate) {
    const auto drop = MediaAsset::open(fixtures::timecode2997Drop());
    const auto start = AsyncRichTimecodeSourceValue::avAsset(drop, RangeAttribute::start);
    // Whatever rate the incoming timecode has, the base and limit stay.
    const Timecode incoming(props(R::fps24, Base::quarterFrames, Limit::max100Days));
    const Timecode set =
        awaited([&](Completion<Timecode> done) { incoming.setting(start, std::move(done)); });
    EXPECT_EQ(set.properties(), props(R::fps29_97d, Base::quarterFrames, Limit::max100Days));
    EXPECT_EQ(set.stringValue(), "00:00:00;00");
    // A new timecode starts from 100 sub-frames and 24 hours.
    const Timecode made = awaited([&](Completion<Timecode> done) {
        Timecode::fromAsync(AsyncRichTimecodeSourceValue::avAsset(drop, RangeAttribute::end),
                            std::move(done));
    });
    EXPECT_EQ(made.properties(), props(R::fps29_97d, Base::max100SubFrames, Limit::max24Hours));
    EXPECT_EQ(made.stringValue(), "00:00:02;00");

    // The rich duration needs the rate; the plain one does not.
    const auto sound = MediaAsset::open(fixtures::audioOnly());
    EXPECT_EQ(failure([&] {
                  return awaited([&](Completion<Timecode> done) {
                      Timecode::fromAsync(
                          AsyncRichTimecodeSourceValue::avAsset(sound, RangeAttribute::duration),
                          std::move(done));
                  });
              }),
              "missingOrNonStandardFrameRate");
    const Timecode plain = awaited([&](Completion<Timecode> done) {
        Timecode::fromAsync(AsyncTimecodeSourceValue::avAsset(sound, RangeAttribute::duration),
                            R::fps25, Base::max100SubFrames, Limit::max24Hours, std::move(done));
    });
    EXPECT_EQ(plain.stringValue(), "00:00:01:00");
}

TEST(AssetTimecodeSource, TheEndWrapsAtTheLimit) {
    const auto asset = MediaAsset::open(fixtures::nearMidnight25());
    const Timecode end = awaited([&](Completion<Timecode> done) {
        Timecode::fromAsync(AsyncTimecodeSourceValue::avAsset(asset, RangeAttribute::end), R::fps25,
                            Base::max100SubFrames, Limit::max24Hours, std::move(done));
    });
    EXPECT_EQ(end.stringValue(), "00:01:00:00");
    // Arithmetic with a source: 23:59:00:00 plus the two-minute duration, wrapped.
    const Timecode start(TimecodeSourceValue::components(0, 23, 59, 0, 0), props(R::fps25));
    const Timecode sum = awaited([&](Completion<Timecode> done) {
        start.adding(AsyncTimecodeSourceValue::avAsset(asset, RangeAttribute::duration),
                     Rule::wrapping, std::move(done));
    });
    EXPECT_EQ(sum.stringValue(), "00:01:00:00");
}

} // namespace
} // namespace timecode
