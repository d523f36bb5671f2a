#include "core/resolver/MulticamMediaIndex.h"
#include "core/tests/ClipFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tandrel {
namespace {

using namespace sample;
using testing::GeneratedLibrary;

constexpr double e = 1.0 / 240;

// Media "M100" starts at 100 s (24 fps). Multicam "MC" (from 0 s) has angle "GAP" (a 10 s gap,
// then 20 s of M100 from its start), angle "TWO" (5 s of M100 from 100 s, a 5 s gap, 10 s of
// M100 from 300 s) and angle "LATE"; multicam "MC-HOUR" starts at one hour and holds angle
// "GAP" alone. A nested event holds a second "MC" that the index must not prefer.
LibraryDescription multicamLibrary() {
    Media media;
    media.identifier = "M100";
    media.fileName = "M100.mov";
    media.rate = FrameRate::fps24;
    media.startFrame = 2400;
    media.durationFrames = 24000;
    media.reel = "R100";
    const Angle gapFirst{"GAP", "Gap first", {Clip::gap(240), Clip::of("C", "M100", 0, 480)}};
    const Angle twoClips{
        "TWO",
        "Two clips",
        {Clip::of("C1", "M100", 0, 120), Clip::gap(120), Clip::of("C2", "M100", 4800, 240)}};
    Event cams;
    cams.folder = "Cams";
    cams.media = {media};
    cams.multicams = {
        {"MC",
         "MC",
         FrameRate::fps24,
         0,
         {gapFirst, twoClips, {"LATE", "Late", {Clip::of("L", "M100", 0, 24)}}}},
        {"MC-HOUR", "MC at one hour", FrameRate::fps24, 86400, {gapFirst}},
    };
    Event shadow;
    shadow.folder = "Cams/Shadow";
    shadow.media = {media};
    shadow.multicams = {{"MC", "Shadow", FrameRate::fps24, 0, {twoClips}}};
    return {"Multicam", {cams, shadow}};
}

TEST(MulticamMediaIndex, ComputesTheAngleClockOffset) {
    GeneratedLibrary library(multicamLibrary());
    MulticamMediaIndex index;
    index.scan(library.bundle());
    const struct {
        const char *multicam;
        const char *angle;
        double position;
        std::optional<double> offset;
    } cases[] = {
        {"MC", "GAP", 15, 90},             // source 105 s
        {"MC", "GAP", 9.9, 90},            // in the gap: the first clip is near enough
        {"MC", "GAP", 10 - 1.0 / 480, 90}, // just before the clip: within the tolerance
        {"MC", "GAP", 30, 90},             // the clip's end
        // Outside the clip, the first clip's offset holds while the source time it gives (90 s
        // on) lies between the clips' start less the angle's length and their end plus it.
        {"MC", "GAP", 60 + e / 2, 90},
        {"MC", "GAP", 61, std::nullopt},
        {"MC", "GAP", -20, 90},
        {"MC", "GAP", -21, std::nullopt},
        {"MC", "TWO", 2, 100},               // first clip
        {"MC", "TWO", 12, 290},              // second clip, after the gap
        {"MC-HOUR", "GAP", 3615, 90 - 3600}, // the multicam's start counts
    };
    for (const auto &c : cases) {
        const auto info =
            index.resolve(c.multicam, c.angle, library.assets, std::nullopt, c.position);
        ASSERT_TRUE(info) << c.multicam << " " << c.position;
        EXPECT_EQ(info->name, "M100.mov");
        EXPECT_EQ(info->rate, FrameRate::fps24);
        ASSERT_EQ(info->multicamAngleClockOffset.has_value(), c.offset.has_value()) << c.position;
        if (c.offset) {
            EXPECT_NEAR(*info->multicamAngleClockOffset, *c.offset, 1e-9) << c.position;
        }
    }
}

TEST(MulticamMediaIndex, ChoosesTheAngleByItsID) {
    GeneratedLibrary library(multicamLibrary());
    MulticamMediaIndex index;
    index.scan(library.bundle());
    // No match, or no ID: the first angle, without a clock offset.
    for (const std::optional<std::string> &angle :
         {std::optional<std::string>("NONE"), std::optional<std::string>()}) {
        const auto info = index.resolve("MC", angle, library.assets, std::nullopt, 15);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->name, "M100.mov");
        EXPECT_EQ(info->reel, "R100");
        EXPECT_EQ(info->multicamAngleClockOffset, std::nullopt);
    }
    // A matched angle without a position keeps what its own clips say.
    EXPECT_EQ(index.resolve("MC", "LATE", library.assets, std::nullopt, std::nullopt)
                  ->multicamAngleClockOffset,
              std::nullopt);
    EXPECT_EQ(index.resolve("NOT-THERE", "GAP", library.assets, std::nullopt, 1), std::nullopt);
    // The sequence of the event scanned first stays: the outer event comes before the nested.
    const auto location = index.sequenceLocation("MC", std::nullopt);
    ASSERT_TRUE(location);
    EXPECT_EQ(location->db.path(), library.databasePath("Cams"));
    EXPECT_EQ(&index.sequenceLocation("MC-HOUR", std::nullopt)->db, &location->db);
}

TEST(MulticamMediaIndex, ScansAnUnscannedLibraryOnceWhenAskedFromIt) {
    GeneratedLibrary library(multicamLibrary());
    MulticamMediaIndex index;
    EXPECT_FALSE(index.sequenceLocation("MC", "/no/bundle/here/CurrentVersion.fcpevent"));
    EXPECT_EQ(index.scanCount(), 0);
    const std::string referencing = library.databasePath("Cams/Shadow");
    EXPECT_TRUE(index.sequenceLocation("MC", referencing));
    EXPECT_EQ(index.scanCount(), 1);
    EXPECT_FALSE(index.sequenceLocation("MISSING", referencing));
    EXPECT_EQ(index.scanCount(), 1);

    const struct {
        const char *path;
        std::optional<std::string> root;
    } roots[] = {
        {"/libs/A.fcpbundle/Day/CurrentVersion.fcpevent", "/libs/A.fcpbundle"},
        {"/libs/A.FCPBundle/Day/Sub/CurrentVersion.fcpevent", "/libs/A.FCPBundle"},
        {"/libs/A.fcpbundle/Day/../Other/CurrentVersion.fcpevent", "/libs/A.fcpbundle"},
        {"/libs/A.fcpbundle", std::nullopt}, // the path itself is never tested
        {"/libs/Day/CurrentVersion.fcpevent", std::nullopt},
    };
    for (const auto &c : roots) {
        const auto root = MulticamMediaIndex::libraryRoot(c.path);
        EXPECT_EQ(root ? std::optional(root->string()) : std::nullopt, c.root) << c.path;
    }
    EXPECT_EQ(MulticamMediaIndex::rootKey("/libs/A.fcpbundle///"), "/libs/A.fcpbundle");
    EXPECT_EQ(MulticamMediaIndex::rootKey("/"), "/");
}

// A database that is replaced by a named pipe after the scan is not waited on: the sequence
// it held cannot be read.
TEST(MulticamMediaIndex, FindsNoSequenceInADatabaseThatIsNoRegularFile) {
    GeneratedLibrary library(multicamLibrary());
    MulticamMediaIndex index;
    index.scan(library.bundle());
    const std::string path = library.databasePath("Cams");
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(index.sequenceLocation("MC", std::nullopt));
    EXPECT_FALSE(index.resolve("MC", "GAP", library.assets, std::nullopt, 0.0));
}

// The sample's multicam edit: its clips refer to a multicam of another event of the library.
TEST(MulticamMediaIndex, ResolvesTheSampleMulticamClips) {
    GeneratedLibrary library(standardSampleLibrary());
    MulticamMediaIndex index;
    auto &db = library.event("Day 1");
    const auto clips = library.spine("Day 1", "Multicam Edit");
    const double frame = 1001.0 / 24000;
    const struct {
        const char *angle;
        const char *file;
        const char *reel;
        int64_t outerStartFrames;
        int64_t sourceFrames; // corrected, at the media's rate
    } expected[] = {
        // Angle B opens with a 48-frame gap: 96 frames in are 48 frames into its clip, which
        // starts at frame 100 of media starting at 48:00:00:00 (frame 172800).
        {"ANGLE-B", "B002C001_230512.mov", "B002", 86400 + 96, 172800 + 148},
        {"ANGLE-A", "A001C003_230512.mov", "A001", 86400 + 216, 86400 + 216},
    };
    ASSERT_EQ(clips.size(), std::size(expected));
    for (size_t i = 0; i < clips.size(); ++i) {
        const auto &x = expected[i];
        const double outerStart = static_cast<double>(x.outerStartFrames) * frame;
        const auto info = AssetInfoResolver::findAssetInfo(clips[i], db, library.assets, &index,
                                                           x.angle, outerStart);
        EXPECT_EQ(info.name, x.file) << x.angle;
        EXPECT_EQ(info.rate, FrameRate::fps23_976) << x.angle;
        EXPECT_EQ(info.reel, x.reel) << x.angle;
        EXPECT_EQ(info.videoCollectionStart, std::nullopt) << x.angle;
        EXPECT_EQ(info.videoMediaComponentStart, std::nullopt) << x.angle;
        const double corrected =
            AssetInfoResolver::correctedSourceIn(outerStart, info, std::nullopt);
        EXPECT_NEAR(corrected / frame, static_cast<double>(x.sourceFrames), 1e-6) << x.angle;
    }
    EXPECT_EQ(index.scanCount(), 1); // scanned on first use, from Day 1's path
}

} // namespace
} // namespace tandrel
