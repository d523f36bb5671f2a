#include "extension/PlayheadTimecode.h"

#include "platform/proext/SimulatedFCPXHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>

namespace tandrel {
namespace {

using platform::FCPXSequenceTimecodeFormat;
using platform::SimulatedSequence;
using timecode::MediaTime;

SimulatedSequence
sequence(MediaTime frameDuration,
         FCPXSequenceTimecodeFormat format = FCPXSequenceTimecodeFormat::nonDropFrame) {
    return SimulatedSequence("Sample", frameDuration, format);
}

TEST(PlayheadTimecode, Table) {
    const SimulatedSequence at25 = sequence(MediaTime(1, 25));
    const SimulatedSequence at25DropFrame =
        sequence(MediaTime(1, 25), FCPXSequenceTimecodeFormat::dropFrame);
    const SimulatedSequence at2997 = sequence(MediaTime(1001, 30000));
    const SimulatedSequence invalidRate = sequence(MediaTime(0, 0));
    const SimulatedSequence zeroRate = sequence(MediaTime(0, 25));
    const SimulatedSequence negativeRate = sequence(MediaTime(-1, 25));
    struct Case {
        MediaTime time;
        const SimulatedSequence *sequence;
        const char *text;
    };
    const Case cases[] = {
        {MediaTime(37255, 10), &at25, "01:02:05:12"},
        {MediaTime(37255, 10), &at25DropFrame, "01:02:05;12"},
        // Frames are counted down: never frame 30 at 29.97.
        {MediaTime(59999, 1000), &at2997, "00:00:59:29"},
        {MediaTime(1, 2), nullptr, "00:00:00:15"},
        {MediaTime(90000, 1), nullptr, "25:00:00:00"},
        {MediaTime(1, 2), &invalidRate, "00:00:00:15"},
        {MediaTime(1, 2), &zeroRate, "00:00:00:15"},
        {MediaTime(1, 2), &negativeRate, "00:00:00:15"},
        // On a frame exactly: 3600.12 s is frame 3, not the 2 of the fraction's double.
        {MediaTime(90003, 25), &at25, "01:00:00:03"},
        {MediaTime(360012, 100), &at25, "01:00:00:03"},
        {MediaTime::invalidTime(), &at25, "00:00:00:00"},
        {MediaTime::indefiniteTime(), &at25, "00:00:00:00"},
        {MediaTime::positiveInfinityTime(), nullptr, "00:00:00:00"},
        {MediaTime::negativeInfinityTime(), nullptr, "00:00:00:00"},
        // A timescale that is no number of units per second.
        {MediaTime(5, 0), nullptr, "00:00:00:00"},
        // The exact sum does not overflow where value × rate would in 64 bits.
        {MediaTime(INT64_MAX, 1'000'000'000), &at2997, "2562047:47:16:25"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PlayheadTimecode::format(c.time, c.sequence), c.text)
            << c.time.value << "/" << c.time.timescale;
    }
}

// A ";" sequence is labelled as drop-frame counts its frames: around every minute and ten-minute
// boundary, with the playhead at the start of the frame and just before the next one.
TEST(PlayheadTimecode, DropFrameSequencesAreLabelledAsDropFrameCountsThem) {
    const SimulatedSequence at2997 =
        sequence(MediaTime(1001, 30000), FCPXSequenceTimecodeFormat::dropFrame);
    const SimulatedSequence at5994 =
        sequence(MediaTime(1001, 60000), FCPXSequenceTimecodeFormat::dropFrame);
    const SimulatedSequence at11988 =
        sequence(MediaTime(1001, 120000), FCPXSequenceTimecodeFormat::dropFrame);
    struct Case {
        const SimulatedSequence *sequence;
        int64_t frame;
        const char *text;
    };
    const Case cases[] = {
        {&at2997, 0, "00:00:00;00"},
        {&at2997, 1799, "00:00:59;29"},
        {&at2997, 1800, "00:01:00;02"},
        {&at2997, 1801, "00:01:00;03"},
        {&at2997, 3597, "00:01:59;29"},
        {&at2997, 3598, "00:02:00;02"},
        {&at2997, 17981, "00:09:59;29"},
        {&at2997, 17982, "00:10:00;00"},
        {&at2997, 17983, "00:10:00;01"},
        {&at2997, 19781, "00:10:59;29"},
        {&at2997, 19782, "00:11:00;02"},
        {&at2997, 107891, "00:59:59;29"},
        {&at2997, 107892, "01:00:00;00"},
        // Hours do not wrap at 24.
        {&at2997, 2589408, "24:00:00;00"},
        {&at5994, 3599, "00:00:59;59"},
        {&at5994, 3600, "00:01:00;04"},
        {&at5994, 3601, "00:01:00;05"},
        {&at5994, 35963, "00:09:59;59"},
        {&at5994, 35964, "00:10:00;00"},
        {&at5994, 39563, "00:10:59;59"},
        {&at5994, 39564, "00:11:00;04"},
        {&at5994, 215784, "01:00:00;00"},
        {&at11988, 7200, "00:01:00;008"},
    };
    for (const Case &c : cases) {
        const int64_t ticks = c.sequence->frameDuration().value * c.frame;
        const int32_t timescale = c.sequence->frameDuration().timescale;
        EXPECT_EQ(PlayheadTimecode::format(MediaTime(ticks, timescale), c.sequence), c.text)
            << "frame " << c.frame << " at " << timescale;
        EXPECT_EQ(PlayheadTimecode::format(MediaTime(ticks + 1000, timescale), c.sequence), c.text)
            << "within frame " << c.frame << " at " << timescale;
    }
}

// Every frame of the first two hours, as the editor gives the playhead (in frames, and in a
// finer timescale), reads back as its own second and frame.
TEST(PlayheadTimecode, EveryFrameOfTwoHoursReadsBackAsItself) {
    for (const int rate : {24, 25, 30}) {
        const SimulatedSequence atRate = sequence(MediaTime(1, rate));
        std::optional<int64_t> firstWrong;
        for (int64_t frame = 0; frame < 2 * 3600 * rate && !firstWrong; ++frame) {
            const int64_t second = frame / rate;
            char expected[32];
            std::snprintf(
                expected, sizeof expected, "%02lld:%02lld:%02lld:%02lld",
                static_cast<long long>(second / 3600), static_cast<long long>(second % 3600 / 60),
                static_cast<long long>(second % 60), static_cast<long long>(frame % rate));
            if (PlayheadTimecode::format(MediaTime(frame, rate), &atRate) != expected ||
                PlayheadTimecode::format(MediaTime(frame * (600 / rate * 20), 12000), &atRate) !=
                    expected) {
                firstWrong = frame;
            }
        }
        EXPECT_FALSE(firstWrong) << "frame " << *firstWrong << " at " << rate << " fps";
    }
}

} // namespace
} // namespace tandrel
