#include "core/tests/LogCapture.h"
#include "core/tests/ResolverFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "plugin/FrameRecord.h"
#include "plugin/SnapshotProvider.h"
#include "plugin/StatusText.h"
#include "plugin/Timecoding.h"
#include "plugin/tests/SnapshotFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/testing/OtherUser.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <new>

namespace tandrel {
namespace {

using namespace tandrel::testing;

constexpr int64_t hour = 90'000; // frames at 25 fps

struct SnapshotProviderTest : ::testing::Test {
    SnapshotFolder folder;
    ManualClock clock;
    std::shared_ptr<SnapshotProvider> provider = testing::provider(clock);

    // The answer at absolute frame `frame` of a timeline of num/den frames per second.
    SnapshotProvider::Answer ask(int64_t frame, uint64_t num = 25, uint64_t den = 1) {
        return provider->metadata(frame * static_cast<int64_t>(den), static_cast<int32_t>(num), num,
                                  den);
    }
    // The clip name of the frame's record, else the status text it would show.
    std::string seen(int64_t frame, uint64_t num = 25, uint64_t den = 1) {
        const auto answer = ask(frame, num, den);
        return answer.metadata ? answer.metadata->sourceClipName : answer.statusText();
    }
    // Lets the provider examine the file again and waits for the reload it starts.
    void reload() {
        clock.advance();
        ask(0);
        provider->waitForReloads();
    }
};

// Two hours at 25 fps: clip A on the first 10 s, clip B on the last 10 s.
std::vector<SnapshotEntry> twoHourTimeline() {
    return {clip("A", 0, 250), clip("B", 2 * hour - 250, 2 * hour)};
}

TEST_F(SnapshotProviderTest, StartDetectionNarrowsLocksAndIsResetOnlyByANewTimelineOrStart) {
    // An empty start timecode: candidates 0, 01:00:00:00 and 10:00:00:00.
    folder.write(snapshot("", twoHourTimeline()));
    // Both 0 and one hour fit, and put the playhead in a gap: the first is taken, not locked.
    EXPECT_EQ(seen(hour + 1000), StatusText::gap);
    // It is kept while it fits, although the other candidate would find a clip.
    EXPECT_EQ(seen(hour + 100), StatusText::gap);
    // Only one hour fits here: it is taken and locked.
    EXPECT_EQ(seen(hour + 2 * hour - 100), "B");
    EXPECT_EQ(seen(hour + 100), "A");
    // Locked, a playhead outside the timeline is a gap, not a misfit.
    EXPECT_EQ(seen(5 * hour), StatusText::gap);

    // A new update time or preset keeps the lock.
    TandrelSnapshot touched = snapshot("", twoHourTimeline());
    touched.updatedAt += 60;
    touched.displayConfig.hideOnGeneratorClips = true;
    folder.write(touched);
    reload();
    EXPECT_EQ(seen(5 * hour), StatusText::gap);

    // A new timeline identity unlocks it: nothing fits a playhead at 05:00:00:00.
    folder.write(snapshot("", twoHourTimeline(), "T2"));
    reload();
    EXPECT_EQ(seen(5 * hour), StatusText::playheadDoesNotFit("05:00:00:00"));
    // The detector stays unlocked with its candidates; a playhead at the start picks 0.
    EXPECT_EQ(seen(100), "A");
    EXPECT_EQ(ask(100).metadata->projectTimecode, "00:00:04:00");
}

TEST_F(SnapshotProviderTest, ANewStartTimecodeResetsTheDetector) {
    folder.write(snapshot("10:00:00:00", twoHourTimeline()));
    EXPECT_EQ(seen(10 * hour + 5), "A"); // only 10:00:00:00 fits: locked
    EXPECT_EQ(seen(hour + 5), StatusText::gap);

    folder.write(snapshot("01:00:00:00", twoHourTimeline()));
    reload();
    EXPECT_EQ(seen(hour + 5), "A");
    const auto answer = ask(hour + 5);
    EXPECT_EQ(answer.metadata->projectTimecode, "01:00:00:05");
    EXPECT_EQ(answer.metadata->sourceTimecode, "00:00:00:05");
}

TEST_F(SnapshotProviderTest, ANewTimelineRateStartsTheDetectionAfresh) {
    // The same timeline and start text, its rate changed from 25 to 24 fps: the start locked
    // at 25 fps (frame 90000) is not the start at 24 fps (frame 86400).
    folder.write(snapshot("01:00:00:00", twoHourTimeline()));
    EXPECT_EQ(seen(hour + 5), "A");
    const int64_t hourAt24 = 86'400;
    const auto answer = ask(hourAt24 + 5, 24);
    ASSERT_TRUE(answer.metadata) << answer.statusText();
    EXPECT_EQ(answer.metadata->sourceClipName, "A");
    EXPECT_EQ(answer.metadata->projectTimecode, "01:00:00:05");
}

TEST_F(SnapshotProviderTest, FindsTheClipUnderThePlayheadAcrossGaps) {
    std::vector<SnapshotEntry> entries;
    for (int i = 0; i < 9; ++i) { // clips of 10 frames with gaps of 5 between them
        // (Appended, not "C" + ...: GCC 12 warns falsely on that form here.)
        entries.push_back(clip(std::string("C").append(std::to_string(i)), i * 15, i * 15 + 10));
    }
    folder.write(snapshot("00:00:00:00", entries));
    const std::pair<int64_t, std::string> cases[] = {{0, "C0"},
                                                     {9, "C0"},
                                                     {10, StatusText::gap.data()},
                                                     {14, StatusText::gap.data()},
                                                     {15, "C1"},
                                                     {60, "C4"},
                                                     {69, "C4"},
                                                     {70, StatusText::gap.data()},
                                                     {120, "C8"},
                                                     {129, "C8"},
                                                     {130, StatusText::gap.data()}};
    for (const auto &[frame, expected] : cases) {
        EXPECT_EQ(seen(frame), expected) << "frame " << frame;
    }
    EXPECT_EQ(SnapshotProvider::lookup(
                  -1, timecode::TimecodeFrameRate::fps25,
                  PluginSnapshot::decode(Json(snapshot("", entries)).dump()).entries),
              nullptr);
}

// A clip too fast for the plug-in's bounds would have the whole document refused: the host's
// writer leaves it out, and the other clips of the timeline burn in.
TEST_F(SnapshotProviderTest, AClipBeyondTheBoundsLeavesTheOthersBurningIn) {
    const auto edit = [](std::string name, double in, double out, double speed) {
        return EditEntry{.clipName = std::move(name),
                         .timelineIn = in,
                         .timelineOut = out,
                         .frameRate = FrameRate::fps25,
                         .speedRate = speed};
    };
    std::vector<SnapshotEntry> entries;
    for (const EditEntry &entry :
         {edit("A", 0, 10, 1), edit("Too Fast", 10, 20, 2e6), edit("C", 20, 30, 0.5)}) {
        for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
            entries.push_back(std::move(converted));
        }
    }
    folder.write(snapshot("00:00:00:00", entries));
    EXPECT_EQ(seen(5 * 25), "A");
    EXPECT_EQ(seen(15 * 25), StatusText::gap);
    EXPECT_EQ(seen(25 * 25), "C");
}

// The sample timeline's retimed clips at their first and last record frames. Rounding to the
// nearest source frame alone showed the half-speed clip's out point on its last frame, and the
// frame past the reversed clip's range on its first.
TEST_F(SnapshotProviderTest, RetimedClipsShowOnlyTheSourceFramesTheyUse) {
    ResolvedLibrary library(sample::standardSampleLibrary());
    std::vector<SnapshotEntry> entries;
    for (const EditEntry &entry : library.edl("Sample").entries()) {
        for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
            entries.push_back(std::move(converted));
        }
    }
    folder.write(snapshot("10:00:00:00", entries));
    struct Case {
        const char *clip;
        int64_t recordFrame; // from the timeline's start
        const char *sourceTimecode;
    };
    const Case cases[] = {
        // 50 %: source 03:00:08:00 to 03:00:08:24 over 50 record frames.
        {"Kitchen Slow", 150, "03:00:08:00"},
        {"Kitchen Slow", 199, "03:00:08:24"},
        // Reversed: source 03:00:24:00 to 03:00:25:24, from its end, each frame once.
        {"Kitchen Reverse", 450, "03:00:25:24"},
        {"Kitchen Reverse", 451, "03:00:25:23"},
        {"Kitchen Reverse", 499, "03:00:24:00"},
        // A ramp from 01:00:40:00 that ends short of its last keypoint's frame.
        {"Arrival Ramp", 375, "01:00:40:00"},
        {"Arrival Ramp", 449, "01:00:43:23"},
    };
    for (const Case &c : cases) {
        const auto answer = ask(10 * hour + c.recordFrame);
        ASSERT_TRUE(answer.metadata) << c.clip << " " << c.recordFrame;
        EXPECT_EQ(answer.metadata->sourceClipName, c.clip) << c.recordFrame;
        EXPECT_EQ(answer.metadata->sourceTimecode, c.sourceTimecode)
            << c.clip << " " << c.recordFrame;
    }
}

TEST_F(SnapshotProviderTest, SourceFramesFollowSpeedRateAndRetimeCurve) {
    std::vector<SnapshotEntry> entries;
    const auto add = [&](auto change) {
        const auto start = static_cast<int64_t>(entries.size()) * 100;
        SnapshotEntry entry = clip("E" + std::to_string(entries.size()), start, start + 100, 1000);
        change(entry);
        entries.push_back(entry);
    };
    add([](SnapshotEntry &) {});
    add([](SnapshotEntry &e) { e.srcSpeed = 0.5; });
    add([](SnapshotEntry &e) { e.srcSpeed = -1; });
    add([](SnapshotEntry &e) { e.srcFpsNum = 50, e.srcRate = "50"; });
    add([](SnapshotEntry &e) {
        e.srcTimeMapKeypoints = std::vector<SnapshotTimeMapKeypoint>{{0, 10}, {2, 14}};
    });
    add([](SnapshotEntry &e) { e.srcRate = "not a rate"; });
    add([](SnapshotEntry &e) { e.srcSpeed = -1, e.srcStartFrame = 2; });
    add([](SnapshotEntry &e) { e.srcRateUnresolved = true; });
    folder.write(snapshot("00:00:00:00", entries));

    struct Case {
        int64_t entry;
        int64_t offset;
        std::optional<int64_t> frame;
        std::string timecode;
    };
    const Case cases[] = {
        {0, 0, 1000, "00:00:40:00"}, // normal speed, same rate: start + offset exactly
        {0, 3, 1003, "00:00:40:03"}, //
        {1, 3, 1002, "00:00:40:02"}, // half speed: 1.5 + 0.5 floored
        {2, 0, 999, "00:00:39:24"},  // reversed: down from the frame before the start, which
        {2, 3, 996, "00:00:39:21"},  // is the end of the range it plays
        {3, 3, 1006, "00:00:20:06"}, // a 50 fps source advances two frames a frame
        {4, 25, 300, "00:00:12:00"}, // one second into the curve: source second 12
        {4, 99, 350, "00:00:14:00"}, // past the last keypoint: held
        {5, 3, 1003, "00:00:40:03"}, // an unknown source rate reads at the timeline's
        {6, 5, -4, "00:00:00:00"},   // before the source's first frame: shown as 0
        {7, 3, std::nullopt, ""},    // rate not resolved: no source position
    };
    for (const Case &c : cases) {
        const int64_t frame = c.entry * 100 + c.offset;
        const auto answer = ask(frame);
        ASSERT_TRUE(answer.metadata) << "frame " << frame;
        EXPECT_EQ(answer.metadata->sourceFrameNumber, c.frame) << "frame " << frame;
        EXPECT_EQ(answer.metadata->sourceTimecode, c.timecode) << "frame " << frame;
        EXPECT_EQ(answer.metadata->projectTimecode,
                  Timecoding::text(frame, timecode::TimecodeFrameRate::fps25))
            << frame;
    }
}

TEST(FrameRecord, InterpolatesTheRetimeCurve) {
    const std::vector<SnapshotTimeMapKeypoint> curve{{0, 10}, {2, 14}, {4, 14}, {4, 20}, {6, 10}};
    const std::pair<double, double> cases[] = {{-1, 10}, {0, 10}, {1, 12}, {2, 14}, {3, 14},
                                               {4, 14},  {5, 15}, {6, 10}, {9, 10}};
    for (const auto &[t, expected] : cases) {
        EXPECT_DOUBLE_EQ(FrameRecord::interpolatedSourceSeconds(curve, t), expected) << t;
    }
    EXPECT_EQ(FrameRecord::interpolatedSourceSeconds({}, 1), 0);
    EXPECT_EQ(FrameRecord::interpolatedSourceSeconds({{3, 7}}, 10), 7);
    EXPECT_EQ(FrameRecord::interpolatedSourceSeconds({{3, 7}}, 1), 7);
}

TEST_F(SnapshotProviderTest, StackedLayersGetTheSourcePositionOfTheFrame) {
    SnapshotEntry entry = clip("V1", 800, 900);
    const StackedLayerInfo timed{2, "R2", "4/5", "B.mov", "old", 1, 32.0, 100.0, 25, 1, "25"};
    StackedLayerInfo withoutRate = timed;
    withoutRate.sourceRateString.reset();
    StackedLayerInfo unknownRate = timed;
    unknownRate.sourceRateString = "nope";
    entry.metadata.stackedLayers = std::vector<StackedLayerInfo>{timed, withoutRate, unknownRate};
    folder.write(snapshot("00:00:00:00", {clip("V0", 0, 800), entry}));

    const auto answer = ask(810);
    ASSERT_TRUE(answer.metadata && answer.metadata->stackedLayers);
    const auto &layers = *answer.metadata->stackedLayers;
    ASSERT_EQ(layers.size(), 3u);
    // From the timeline's start: (810 / 25 − 32 + 100) s at 25 fps.
    EXPECT_EQ(layers[0].sourceFrameNumber, 2510);
    EXPECT_EQ(layers[0].sourceTimecode, "00:01:40:10");
    EXPECT_EQ(layers[0].reelName, "R2");
    for (const std::size_t kept : {1u, 2u}) {
        EXPECT_EQ(layers[kept].sourceFrameNumber, 1) << kept;
        EXPECT_EQ(layers[kept].sourceTimecode, "old") << kept;
    }
}

// A clip over the first two minutes of a 29.97 drop-frame timeline, its source starting at
// 01:00:00;00 (absolute frame 107892).
SnapshotEntry dropFrameClip() {
    SnapshotEntry entry = clip("DF", 0, 0);
    entry.tlEnd = at(3596, 30000, 1001);
    entry.srcStartFrame = 107892;
    entry.srcRate = "29.97d";
    entry.srcFpsNum = 30000;
    entry.srcFpsDen = 1001;
    return entry;
}

TEST_F(SnapshotProviderTest, ADropFrameTimelineMatchesItsStartAndBurnsDropFrameTimecode) {
    // The timeline starts at 01:00:00;00.
    folder.write(snapshot("01:00:00;00", {dropFrameClip()}));

    const std::pair<int64_t, std::string> cases[] = {
        {107892, "01:00:00;00"}, {107892 + 1799, "01:00:59;29"}, {107892 + 1800, "01:01:00;02"}};
    for (const auto &[frame, timecode] : cases) {
        const auto answer = ask(frame, 30000, 1001);
        ASSERT_TRUE(answer.metadata) << answer.statusText();
        EXPECT_EQ(answer.metadata->projectTimecode, timecode);
        EXPECT_EQ(answer.metadata->sourceTimecode, timecode);
        EXPECT_EQ(answer.metadata->sourceFrameNumber, frame);
    }
}

TEST_F(SnapshotProviderTest, TheHostsDropFrameFlagDecidesOverTheStartTimecode) {
    // A drop-frame timeline whose library gave no start: the editor's timeline starts at
    // 01:00:00;00 (absolute frame 107892). Without the flag the empty start says non-drop.
    const SnapshotEntry entry = dropFrameClip();
    struct Case {
        std::optional<bool> flag;
        const char *start;
        const char *projectTimecode; // one minute in
    };
    const Case cases[] = {
        {true, "", "01:01:00;02"},
        {std::nullopt, "", "01:00:56:12"},
        {false, "01:00:00;00", "01:00:56:12"},
        {std::nullopt, "01:00:00;00", "01:01:00;02"},
    };
    for (const Case &c : cases) {
        TandrelSnapshot document = snapshot(c.start, {entry});
        document.timelineDropFrame = c.flag;
        folder.write(document);
        const auto answer =
            testing::provider(clock)->metadata((107892 + 1800) * 1001, 30000, 30000, 1001);
        ASSERT_TRUE(answer.metadata) << answer.statusText();
        EXPECT_EQ(answer.metadata->projectTimecode, c.projectTimecode)
            << "flag " << c.flag.value_or(-1) << ", start '" << c.start << "'";
    }
}

TEST_F(SnapshotProviderTest, GeneratorAndTitleClipsAreGapsWhenThePresetHidesThem) {
    SnapshotEntry generator = clip("Bars", 0, 10);
    generator.metadata.clipType = ClipCategory::generator;
    SnapshotEntry title = clip("Title", 10, 20);
    title.metadata.clipType = ClipCategory::title;
    const std::vector<SnapshotEntry> entries{generator, title, clip("A", 20, 30)};
    TandrelSnapshot hidden = snapshot("00:00:00:00", entries);
    hidden.displayConfig.hideOnGeneratorClips = true;
    folder.write(hidden);
    EXPECT_EQ(seen(5), StatusText::gap);
    EXPECT_EQ(seen(15), StatusText::gap);
    EXPECT_EQ(seen(25), "A");

    folder.write(snapshot("00:00:00:00", entries));
    reload();
    EXPECT_EQ(seen(5), "Bars");
    EXPECT_EQ(seen(15), "Title");
}

TEST_F(SnapshotProviderTest, AZeroTimelineRateLeavesTheSourcePositionUnknown) {
    SnapshotEntry slow = clip("Slow", 0, 100);
    slow.srcSpeed = 0.5;
    folder.write(snapshot("00:00:00:00", {slow}));
    // 0/0 maps to 24 fps for the timecode, but no source frame follows from 0 fps.
    const auto answer = provider->metadata(0, 24, 0, 0);
    ASSERT_TRUE(answer.metadata);
    EXPECT_EQ(answer.metadata->sourceTimecode, "");
    EXPECT_EQ(answer.metadata->sourceFrameNumber, std::nullopt);
    EXPECT_EQ(answer.metadata->projectTimecode, "00:00:00:00");
}

TEST_F(SnapshotProviderTest, PollsTheFileAndKeepsTheLastGoodSnapshot) {
    EXPECT_EQ(seen(0), StatusText::startHost);
    // Without a snapshot every call reads the file: no throttle.
    folder.writeText(folder.legacyFile(), "not json");
    EXPECT_EQ(seen(0), StatusText::startHost);
    folder.write(snapshot("00:00:00:00", {clip("First", 0, 100)}));
    EXPECT_EQ(seen(0), "First"); // loaded on the calling thread

    // With one, the file is examined again only after the interval, and reloaded off it.
    folder.write(snapshot("00:00:00:00", {clip("Second", 0, 100)}));
    EXPECT_EQ(seen(0), "First");
    provider->waitForReloads();
    EXPECT_EQ(seen(0), "First");
    reload();
    EXPECT_EQ(seen(0), "Second");

    // A new file that does not decode, or exceeds the size cap, ends the snapshot in use: the
    // host wrote it because its timeline, preset or start changed, so the old snapshot may be
    // another timeline's. The frame shows the start text until a file that decodes arrives,
    // which loads at once.
    folder.writeText(folder.legacyFile(), R"({"schemaVersion": 8})");
    reload();
    EXPECT_EQ(seen(0), StatusText::startHost);
    folder.write(snapshot("00:00:00:00", {clip("Decoded", 0, 100)}));
    EXPECT_EQ(seen(0), "Decoded");
    std::string padded = Json(snapshot("00:00:00:00", {clip("Huge", 0, 100)})).dump();
    padded.resize(SnapshotProvider::maxSnapshotBytes + 1, ' ');
    folder.writeText(folder.legacyFile(), padded);
    reload();
    EXPECT_EQ(seen(0), StatusText::startHost);
    folder.write(snapshot("00:00:00:00", {clip("Second", 0, 100)}));
    EXPECT_EQ(seen(0), "Second");

    // A removed file clears it; the next file loads at once.
    std::filesystem::remove(folder.legacyFile());
    clock.advance();
    EXPECT_EQ(seen(0), StatusText::startHost);
    folder.write(snapshot("00:00:00:00", {clip("Third", 0, 100)}));
    EXPECT_EQ(seen(0), "Third");
}

// A refused version of the file is read once however often the file is examined (without a
// snapshot that is every frame, under the lock all render threads wait on), serves nothing in
// place of the snapshot before it, which was another timeline's, and gives way to the next
// version that decodes.
TEST_F(SnapshotProviderTest, ARefusedVersionIsReadOnceAndServesNothingUntilAGoodOneArrives) {
    std::string oversized =
        Json(snapshot("00:00:00:00", {clip("Timeline2Clip", 0, 100)}, "T2")).dump();
    oversized.resize(SnapshotProvider::maxSnapshotBytes + 1, ' ');
    struct Refusal {
        const char *why;
        std::string text;
        int decodes; // how often it reaches the decoder
    };
    const Refusal refusals[] = {
        {"over the size cap", oversized, 0},
        {"not a snapshot", R"({"schemaVersion": 8})", 1},
        {"not JSON", "{\"timelineID\": \"T2\", \"entries\": [", 1},
    };
    for (const Refusal &refusal : refusals) {
        SCOPED_TRACE(refusal.why);
        std::atomic<int> decodes{0};
        SnapshotProvider::Environment environment;
        environment.now = [this] { return clock.now(); };
        environment.decode = [&decodes](std::string_view text) {
            ++decodes;
            return PluginSnapshot::decode(text);
        };
        provider = SnapshotProvider::make(environment);
        folder.write(snapshot("00:00:00:00", {clip("Timeline1Clip", 0, 100)}, "T1"));
        ASSERT_EQ(seen(0), "Timeline1Clip");

        testing::LogCapture log("com.ostrevale.tandrel.plugin", "snapshot");
        decodes = 0;
        folder.replaceQuickly(refusal.text);
        reload();
        const auto answer = ask(0);
        EXPECT_FALSE(answer.snapshot) << "still serving " << answer.snapshot->timelineID;
        EXPECT_EQ(answer.statusText(), StatusText::startHost);
        for (int poll = 0; poll < 10; ++poll) {
            reload();
            ask(0); // without a snapshot the file is examined at every call
        }
        EXPECT_EQ(decodes, refusal.decodes);
        const std::string logged = log.text();
        std::size_t failures = 0;
        for (std::size_t at = logged.find("Failed to read/decode"); at != std::string::npos;
             at = logged.find("Failed to read/decode", at + 1)) {
            ++failures;
        }
        EXPECT_EQ(failures, 1u) << logged;

        folder.write(snapshot("00:00:00:00", {clip("Timeline2Clip", 0, 100)}, "T2"));
        EXPECT_EQ(seen(0), "Timeline2Clip"); // loaded at once: none was in use
    }
}

TEST_F(SnapshotProviderTest, ADecodeThatRunsOutOfMemoryIsTriedAgain) {
    // Reading a large snapshot may be refused memory; that file must be tried again like one
    // that does not decode, on the first load and on a background reload alike.
    std::atomic<bool> refuse{true};
    SnapshotProvider::Environment environment;
    environment.now = [this] { return clock.now(); };
    environment.decode = [&refuse](std::string_view text) {
        if (refuse.exchange(false)) {
            throw std::bad_alloc();
        }
        return PluginSnapshot::decode(text);
    };
    provider = SnapshotProvider::make(environment);

    folder.write(snapshot("00:00:00:00", {clip("First", 0, 100)}));
    EXPECT_EQ(seen(0), StatusText::startHost);
    EXPECT_EQ(seen(0), "First");

    refuse = true;
    folder.write(snapshot("00:00:00:00", {clip("Second", 0, 100)}));
    reload();
    EXPECT_EQ(seen(0), "First");
    reload();
    EXPECT_EQ(seen(0), "Second");
}

TEST_F(SnapshotProviderTest, APipeAtTheSnapshotPathIsNotWaitedOn) {
    // Nobody writes to this pipe: a provider that opened it for reading would hold its lock,
    // and every render thread with it, until somebody did.
    std::filesystem::create_directories(folder.legacyFile().parent_path());
    ASSERT_EQ(::mkfifo(folder.legacyFile().c_str(), 0600), 0);
    auto answer = std::async(std::launch::async, [this] { return seen(0); });
    if (answer.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        // Release the stuck reader so that the test can end.
        ::close(::open(folder.legacyFile().c_str(), O_WRONLY));
        FAIL() << "the provider waited on the pipe";
    }
    EXPECT_EQ(answer.get(), StatusText::startHost);

    // A snapshot written over the pipe later is read as usual.
    std::filesystem::remove(folder.legacyFile());
    folder.write(snapshot("00:00:00:00", {clip("After", 0, 100)}));
    reload();
    EXPECT_EQ(seen(0), "After");
}

TEST_F(SnapshotProviderTest, LooksInTheAppGroupContainerFirst) {
    EXPECT_EQ(SnapshotProvider::appGroupSnapshotURL(), folder.appGroupFile());
    EXPECT_EQ(SnapshotProvider::legacySnapshotURL(), folder.legacyFile());
    folder.write(snapshot("00:00:00:00", {clip("Legacy", 0, 100)}));
    folder.writeText(folder.appGroupFile(),
                     Json(snapshot("00:00:00:00", {clip("Group", 0, 100)})).dump());
    EXPECT_EQ(seen(0), "Group");
    std::filesystem::remove(folder.appGroupFile());
    reload();
    EXPECT_EQ(seen(0), "Legacy");
}

// Another user who makes a folder of the snapshot's first, where the data folder is one that
// everybody shares: his snapshot is never drawn ("Property of ATTACKER"); the user's own is,
// where there is one, and the frame says why none is read where there is not. The attacker is
// "nobody"; without root the test skips.
TEST_F(SnapshotProviderTest, AnotherUsersSnapshotIsNeverDrawn) {
    if (const std::string why = OtherUser::unavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    const std::filesystem::path shared =
        OtherUser::sharedFolder(folder.legacyFile().parent_path().parent_path());
    const ScopedEnvironmentVariable data("XDG_DATA_HOME", shared.string());
    const std::string his =
        Json(snapshot("00:00:00:00", {clip("Property of ATTACKER", 0, 100)}, "HIS")).dump();
    const std::string hisFolder = "it belongs to another user (nobody)";
    const struct {
        const char *attack;
        std::string made;
        // Whether the user's own snapshot is written (and so served).
        bool ours;
        // What the frame shows: a clip, or the status text.
        std::string seen;
    } rows[] = {
        {"his copy in an app group folder he made first",
         "mkdir -p group.com.ostrevale.tandrel/Tandrel && printf '%s' " + quotedWord(his) +
             " > group.com.ostrevale.tandrel/Tandrel/current.json",
         true, "Mine"},
        {"his Tandrel folder with his snapshot",
         "mkdir Tandrel && printf '%s' " + quotedWord(his) + " > Tandrel/current.json", false,
         StatusText::refused("\"" + (shared / "Tandrel").string() + "\" is refused: " + hisFolder)},
        {"a link to a folder of his in the app group's place",
         "mkdir -p his/Tandrel && printf '%s' " + quotedWord(his) +
             " > his/Tandrel/current.json && ln -s his group.com.ostrevale.tandrel",
         true, "Mine"},
        {"his snapshot in the user's Tandrel folder, left open to all",
         "printf '%s' " + quotedWord(his) + " > Tandrel/current.json", false,
         StatusText::refused("\"" + (shared / "Tandrel").string() +
                             "\" is refused: others may write it (permissions 0777)")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.attack);
        std::filesystem::remove_all(shared);
        OtherUser::sharedFolder(shared.parent_path());
        if (std::string(row.attack).find("left open") != std::string::npos) {
            std::filesystem::create_directory(shared / "Tandrel");
            ::chmod((shared / "Tandrel").c_str(), 0777);
        }
        const testing::ChildProcess made =
            OtherUser::shell("cd " + quotedWord(shared.string()) + " && " + row.made);
        ASSERT_EQ(made.status, 0) << made.output;
        if (row.ours) {
            folder.write(snapshot("00:00:00:00", {clip("Mine", 0, 100)}));
        }
        provider = testing::provider(clock);
        EXPECT_EQ(seen(0), row.seen);
        reload();
        EXPECT_EQ(seen(0), row.seen);
    }
}

} // namespace
} // namespace tandrel
