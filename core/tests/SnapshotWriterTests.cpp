#include "core/snapshot/SnapshotTexts.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/JsonText.h"

#include "core/tests/FileMode.h"
#include "core/tests/HostileTexts.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

namespace tandrel {
namespace {

using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;

std::vector<int64_t> startFrames(const std::vector<SnapshotEntry> &entries) {
    std::vector<int64_t> frames;
    for (const SnapshotEntry &entry : entries) {
        frames.push_back(entry.srcStartFrame);
    }
    return frames;
}

std::vector<EditEntry::DisplaySegment> segmentsAt(std::vector<std::pair<double, double>> spans) {
    std::vector<EditEntry::DisplaySegment> segments;
    for (const auto &[start, end] : spans) {
        segments.push_back({.start = start, .end = end});
    }
    return segments;
}

TEST(SnapshotWriter, SourceFramesLieOnOneLineFromTheFirstSourceFrame) {
    struct Case {
        const char *what;
        EditEntry entry;
        std::vector<int64_t> frames;
        double speed;
    };
    const Case cases[] = {
        {"29.97 drop frame: base from the exact rate",
         {.timelineIn = 0,
          .timelineOut = 2,
          .sourceIn = 1.0,
          .sourceStartTC = 107892,
          .frameRate = FrameRate::fps29_97df},
         {107922},
         1},
        {"three segments at double speed",
         {.timelineIn = 10,
          .timelineOut = 13,
          .sourceIn = 2,
          .sourceStartTC = 1000,
          .frameRate = FrameRate::fps25,
          .speedRate = 2,
          .displaySegments = segmentsAt({{10, 10.5}, {10.5, 12.02}, {12.02, 13}})},
         {1050, 1075, 1151},
         2},
        {"reversed: the line starts at the end of the used source and runs down",
         {.timelineIn = 0,
          .timelineOut = 2,
          .sourceIn = 4,
          .frameRate = FrameRate::fps25,
          .isReversed = true,
          .displaySegments = segmentsAt({{0, 1}, {1, 2}})},
         {150, 125},
         -1},
        {"reversed at half speed",
         {.timelineIn = 0,
          .timelineOut = 4,
          .sourceIn = 0,
          .frameRate = FrameRate::fps24,
          .speedRate = 0.5,
          .isReversed = true,
          .displaySegments = segmentsAt({{0, 1}, {1, 4}})},
         {48, 36},
         -0.5},
        {"reversed standing clip keeps speed 0 and its base",
         {.timelineIn = 0,
          .timelineOut = 2,
          .sourceIn = 4,
          .frameRate = FrameRate::fps25,
          .speedRate = 0,
          .isReversed = true,
          .displaySegments = segmentsAt({{0, 1}, {1, 2}})},
         {100, 100},
         0},
        {"halves of a frame round away from zero",
         {.timelineIn = 0,
          .timelineOut = 1,
          .sourceIn = 0.02,
          .frameRate = FrameRate::fps25,
          .isReversed = true,
          .displaySegments = segmentsAt({{0, 0.5}, {0.5, 1}})},
         {26, 13},
         -1},
    };
    for (const Case &c : cases) {
        const auto entries = SnapshotWriter::snapshotEntries(c.entry);
        EXPECT_EQ(startFrames(entries), c.frames) << c.what;
        for (const SnapshotEntry &entry : entries) {
            EXPECT_EQ(entry.srcSpeed, c.speed) << c.what;
        }
    }
}

TEST(SnapshotWriter, TimesAreRoundedTo240000ths) {
    const EditEntry entry{.timelineIn = 0,
                          .timelineOut = 12,
                          .displaySegments = segmentsAt({{0, 1.0 / 7}, {1.0 / 7, 10}, {10, 12}})};
    const auto entries = SnapshotWriter::snapshotEntries(entry);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].tlStart, (RationalTime{34286, 240000}));
    EXPECT_EQ(entries[2].tlStart, (RationalTime{2400000, 240000}));
    EXPECT_EQ(entries[2].tlEnd, (RationalTime{2880000, 240000}));
}

TEST(SnapshotWriter, RatesAndTheUnresolvedFallback) {
    struct Case {
        std::optional<FrameRate> rate;
        const char *text;
        int64_t num, den;
        double fps;
    };
    const Case cases[] = {
        {std::nullopt, "24", 24, 1, 24},
        {FrameRate::fps23_976, "23.976", 24000, 1001, 23.976023976023978},
        {FrameRate::fps29_97df, "29.97d", 30000, 1001, 29.97002997002997},
        {FrameRate::fps29_97ndf, "29.97", 30000, 1001, 29.97002997002997},
        {FrameRate::fps47_952, "47.952", 48000, 1001, 47.952047952047955},
        {FrameRate::fps59_94df, "59.94d", 60000, 1001, 59.94005994005994},
        {FrameRate::fps50, "50", 50, 1, 50},
    };
    for (const Case &c : cases) {
        const auto entries = SnapshotWriter::snapshotEntries(
            {.timelineIn = 0, .timelineOut = 1, .frameRate = c.rate});
        ASSERT_EQ(entries.size(), 1u);
        const SnapshotEntry &entry = entries[0];
        EXPECT_EQ(entry.srcRate, c.text);
        EXPECT_EQ(entry.srcFpsNum, c.num);
        EXPECT_EQ(entry.srcFpsDen, c.den);
        EXPECT_EQ(entry.metadata.frameRate, c.fps);
        // Written only as true, never as false.
        EXPECT_EQ(entry.srcRateUnresolved, c.rate ? std::nullopt : std::optional<bool>(true));
    }
}

TEST(SnapshotWriter, KeypointsAreMeasuredFromEachEntrysStart) {
    EditEntry entry{.timelineIn = 10,
                    .timelineOut = 11,
                    .timeMapKeypoints = std::vector<TimeMapKeypoint>{{10.0, 3, 1, 1}, {10.5, 4}},
                    .displaySegments = segmentsAt({{10, 10.25}, {10.25, 11}})};
    auto entries = SnapshotWriter::snapshotEntries(entry);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].srcTimeMapKeypoints,
              (std::vector<SnapshotTimeMapKeypoint>{{0, 3}, {0.5, 4}}));
    EXPECT_EQ(entries[1].srcTimeMapKeypoints,
              (std::vector<SnapshotTimeMapKeypoint>{{-0.25, 3}, {0.25, 4}}));
    EXPECT_EQ(entries[1].metadata.isSpeedRamp, true);

    entry.timeMapKeypoints = std::vector<TimeMapKeypoint>{};
    entries = SnapshotWriter::snapshotEntries(entry);
    EXPECT_EQ(entries[0].srcTimeMapKeypoints, std::vector<SnapshotTimeMapKeypoint>{});
    EXPECT_EQ(entries[0].metadata.isSpeedRamp, true);

    entry.timeMapKeypoints.reset();
    entries = SnapshotWriter::snapshotEntries(entry);
    EXPECT_FALSE(entries[0].srcTimeMapKeypoints);
    EXPECT_EQ(entries[0].metadata.isSpeedRamp, false);
}

TEST(SnapshotWriter, FreezeFrameFlag) {
    struct Case {
        std::optional<double> speed;
        std::optional<bool> freeze;
        bool expected;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, false},
        {0.0005, std::nullopt, true},
        {-0.0005, std::nullopt, true},
        {0.001, std::nullopt, false},
        {0.0005, false, false},
        {std::nullopt, true, true},
    };
    for (const Case &c : cases) {
        const auto entries = SnapshotWriter::snapshotEntries(
            {.timelineOut = 1, .speedRate = c.speed, .isFreezeFrame = c.freeze});
        EXPECT_EQ(entries.at(0).metadata.isFreezeFrame, c.expected) << c.speed.value_or(1);
        EXPECT_EQ(entries.at(0).metadata.speedRate, c.speed);
        EXPECT_EQ(entries.at(0).metadata.isReversed, false);
    }
}

TEST(SnapshotWriter, MetadataOfAStretch) {
    const EditEntry entry{
        .clipType = ClipCategory::multicam,
        .timelineOut = 4,
        .assetName = "A.mov",
        .resolution = Size{3840, 2160},
        .videoAngle = "Cam B",
        .audioAngles = std::vector<std::string>{"Cam A"},
        .markers = {},
        .displaySegments = {{.start = 0, .end = 2, .stackedVideoClips = {"Title"}},
                            {.start = 2,
                             .end = 4,
                             .activeRoleClips = {{"r", {"Music", "m.wav"}}},
                             .stackedLayers = {{.videoLaneNumber = 2}}}}};
    const auto entries = SnapshotWriter::snapshotEntries(entry);
    ASSERT_EQ(entries.size(), 2u);
    const FCPMetadata &first = entries[0].metadata;
    EXPECT_EQ(first.sourceFileName, "A.mov");
    EXPECT_EQ(first.angle, "Cam B");
    EXPECT_EQ(first.audioRoles, std::vector<std::string>{"Cam A"});
    EXPECT_EQ(first.clipType, ClipCategory::multicam);
    EXPECT_EQ(first.resolutionWidth, 3840);
    EXPECT_EQ(first.resolutionHeight, 2160);
    EXPECT_FALSE(first.markers); // an empty list is left out
    EXPECT_EQ(first.stackedVideoClips, std::vector<std::string>{"Title"});
    EXPECT_FALSE(first.activeRoleClips);
    EXPECT_FALSE(entries[1].metadata.stackedVideoClips);
    EXPECT_EQ(entries[1].metadata.activeRoleClips->at("r").mediaFilename, "m.wav");
    EXPECT_EQ(entries[1].metadata.stackedLayers->size(), 1u);
    for (const char *absent : {"sourceFrameNumber", "cameraName", "take", "videoRole",
                               "clipDuration", "appliedEffects", "hasRollingShutterFix"}) {
        EXPECT_FALSE(Json(first).contains(absent)) << absent;
    }
    EXPECT_EQ(first.sourceTimecode, "");
    EXPECT_EQ(first.projectTimecode, "");

    EditEntry withAngle = entry;
    withAngle.angle = "Cam C";
    EXPECT_EQ(SnapshotWriter::snapshotEntries(withAngle)[0].metadata.angle, "Cam C");
}

TEST(SnapshotWriter, AnEntryOutsideTheLimitsYieldsNoEntries) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char *what;
        EditEntry entry;
    };
    const Case cases[] = {
        {"time not a number", {.timelineIn = nan, .timelineOut = 1}},
        {"infinite end", {.timelineOut = INFINITY}},
        {"end beyond 64 bits in 1/240000 s", {.timelineOut = 4e13}},
        {"infinite speed", {.timelineOut = 1, .speedRate = INFINITY}},
        {"speed not a number", {.timelineOut = 1, .speedRate = nan}},
        {"source start not a number", {.timelineOut = 1, .sourceIn = nan}},
        {"source frame overflow",
         {.timelineOut = 1, .sourceIn = 1, .sourceStartTC = std::numeric_limits<int64_t>::max()}},
        {"keypoint not a number",
         {.timelineOut = 1, .timeMapKeypoints = std::vector<TimeMapKeypoint>{{0, nan}}}},
        // Beyond the bounds the plug-in holds a whole document to.
        {"end beyond 100 days", {.timelineOut = 8'640'001}},
        {"speed beyond a million", {.timelineOut = 1, .speedRate = 2e6}},
        {"reversed beyond a million", {.timelineOut = 1e-6, .speedRate = 2e6, .isReversed = true}},
        {"start frame beyond 100 days at 1000 fps",
         {.timelineOut = 1, .sourceStartTC = 8'640'000'001}},
        {"keypoint beyond 100 days",
         {.timelineOut = 1, .timeMapKeypoints = std::vector<TimeMapKeypoint>{{0, 9e6}}}},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(SnapshotWriter::snapshotEntries(c.entry).empty()) << c.what;
    }
    // The bounds themselves are inside.
    EXPECT_EQ(SnapshotWriter::snapshotEntries({.timelineOut = 8'640'000}).size(), 1u);
    EXPECT_EQ(SnapshotWriter::snapshotEntries({.timelineOut = 1, .speedRate = -1e6}).size(), 1u);

    // A stacked layer beyond them leaves out only the stretch that shows it.
    EditEntry layered{.timelineOut = 2, .displaySegments = segmentsAt({{0, 1}, {1, 2}})};
    layered.displaySegments[1].stackedLayers = {{.videoLaneNumber = 2, .layerTimelineStart = 1e7}};
    const auto entries = SnapshotWriter::snapshotEntries(layered);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].tlEnd.value, 240000);
}

class SnapshotFile : public ::testing::Test {
protected:
    std::filesystem::path file() const { return folder_.path() / "Tandrel" / "current.json"; }

    std::string contents() const {
        std::ifstream stream(file(), std::ios::binary);
        std::ostringstream text;
        text << stream.rdbuf();
        return text.str();
    }

    TemporaryFolder folder_;
    ScopedEnvironmentVariable dataHome_{"XDG_DATA_HOME", folder_.path().string()};
};

// The document the host writes for three edit entries: a reversed clip with three display
// segments, a multicam clip of undetermined rate with retime keypoints, and a clip at double
// speed.
TandrelSnapshot handMadeSnapshot() {
    BurnInElement timecode(MetadataField::sourceTC);
    timecode.id = *Uuid::fromString("11111111-2222-4333-8444-555555555555");
    DisplayConfig preset(
        *Uuid::fromString("0a0b0c0d-0000-4000-8000-000000000001"), "QC", false, {timecode},
        DisplayOptions{.visiblePictureAspectRatio = 2.39, .hideOnGeneratorClips = true});

    const EditEntry reversed{
        .collectionPK = 7,
        .clipName = "A001C003",
        .timelineIn = 10,
        .timelineOut = 12,
        .sourceIn = 4,
        .sourceStartTC = 90000,
        .assetName = "A001C003.mov",
        .reelName = "A001",
        .scene = "12",
        .shot = "3",
        .resolution = Size{1920, 1080},
        .frameRate = FrameRate::fps25,
        .isReversed = true,
        .markers = {{"Act 1", MarkerType::chapter, "Cold open"}},
        .displaySegments = {
            {.start = 10, .end = 10.5},
            {.start = 10.5,
             .end = 11.25,
             .stackedVideoClips = {"Title"},
             .activeRoleClips = {{"role.dialogue", {"Dialogue", "A001C003.wav"}}}},
            {.start = 11.25,
             .end = 12,
             .stackedLayers = {{.videoLaneNumber = 2,
                                .reelName = "B002",
                                .sourceFpsNum = 24000,
                                .sourceFpsDen = 1001,
                                .sourceRateString = "23.976"}}},
        }};
    const EditEntry retimed{
        .collectionPK = 8,
        .clipName = "MC 1",
        .clipType = ClipCategory::multicam,
        .timelineIn = 12,
        .timelineOut = 14,
        .sourceIn = 1.5,
        .videoAngle = "Cam B",
        .audioAngles = std::vector<std::string>{"Cam A"},
        .timeMapKeypoints =
            std::vector<TimeMapKeypoint>{{12, 1.5, -1, -1}, {13, 2, 0.5, 0.5}, {14, 4, -1, -1}},
        .hasStabilization = true,
    };
    const EditEntry fast{
        .collectionPK = 9,
        .clipName = "B002",
        .timelineIn = 14,
        .timelineOut = 14.5,
        .sourceIn = 0.5,
        .sourceStartTC = 86400,
        .frameRate = FrameRate::fps23_976,
        .speedRate = 2,
        .positionX = 12.5,
        .scaleX = 1.5,
        .displaySegments = {{.start = 14, .end = 14.5, .stackedVideoClips = {"Logo"}}},
    };

    TandrelSnapshot snapshot{{
        .timelineID = "/L.fcpbundle/E/CurrentVersion.fcpevent#42",
        .timelineName = "Reel 1",
        .libraryName = "L",
        .timelineStartTimecode = "01:00:00:00",
        .updatedAt = 1767225600.25,
        .displayConfig = preset,
    }};
    for (const EditEntry &entry : {reversed, retimed, fast}) {
        for (SnapshotEntry &snapshotEntry : SnapshotWriter::snapshotEntries(entry)) {
            snapshot.entries.push_back(std::move(snapshotEntry));
        }
    }
    return snapshot;
}

constexpr const char *expectedDocument = R"({
  "schemaVersion": 8,
  "timelineID": "/L.fcpbundle/E/CurrentVersion.fcpevent#42",
  "timelineName": "Reel 1",
  "libraryName": "L",
  "timelineStartTimecode": "01:00:00:00",
  "updatedAt": 1767225600.25,
  "entries": [
    {"tlStart": {"value": 2400000, "timescale": 240000},
     "tlEnd": {"value": 2520000, "timescale": 240000},
     "srcStartFrame": 90150, "srcSpeed": -1.0, "srcRate": "25", "srcFpsNum": 25, "srcFpsDen": 1,
     "metadata": {"sourceClipName": "A001C003", "sourceFileName": "A001C003.mov",
                  "sourceTimecode": "", "projectTimecode": "", "frameRate": 25.0,
                  "reelName": "A001", "scene": "12", "shot": "3", "clipType": "simple",
                  "resolutionWidth": 1920.0, "resolutionHeight": 1080.0,
                  "isReversed": true, "isFreezeFrame": false, "isSpeedRamp": false,
                  "markers": [{"text": "Act 1", "type": "chapter", "chapterNote": "Cold open"}]}},
    {"tlStart": {"value": 2520000, "timescale": 240000},
     "tlEnd": {"value": 2700000, "timescale": 240000},
     "srcStartFrame": 90137, "srcSpeed": -1.0, "srcRate": "25", "srcFpsNum": 25, "srcFpsDen": 1,
     "metadata": {"sourceClipName": "A001C003", "sourceFileName": "A001C003.mov",
                  "sourceTimecode": "", "projectTimecode": "", "frameRate": 25.0,
                  "reelName": "A001", "scene": "12", "shot": "3", "clipType": "simple",
                  "resolutionWidth": 1920.0, "resolutionHeight": 1080.0,
                  "isReversed": true, "isFreezeFrame": false, "isSpeedRamp": false,
                  "markers": [{"text": "Act 1", "type": "chapter", "chapterNote": "Cold open"}],
                  "stackedVideoClips": ["Title"],
                  "activeRoleClips": {"role.dialogue": {"roleName": "Dialogue",
                                                        "mediaFilename": "A001C003.wav"}}}},
    {"tlStart": {"value": 2700000, "timescale": 240000},
     "tlEnd": {"value": 2880000, "timescale": 240000},
     "srcStartFrame": 90119, "srcSpeed": -1.0, "srcRate": "25", "srcFpsNum": 25, "srcFpsDen": 1,
     "metadata": {"sourceClipName": "A001C003", "sourceFileName": "A001C003.mov",
                  "sourceTimecode": "", "projectTimecode": "", "frameRate": 25.0,
                  "reelName": "A001", "scene": "12", "shot": "3", "clipType": "simple",
                  "resolutionWidth": 1920.0, "resolutionHeight": 1080.0,
                  "isReversed": true, "isFreezeFrame": false, "isSpeedRamp": false,
                  "markers": [{"text": "Act 1", "type": "chapter", "chapterNote": "Cold open"}],
                  "stackedLayers": [{"videoLaneNumber": 2, "reelName": "B002",
                                     "sourceFpsNum": 24000, "sourceFpsDen": 1001,
                                     "sourceRateString": "23.976"}]}},
    {"tlStart": {"value": 2880000, "timescale": 240000},
     "tlEnd": {"value": 3360000, "timescale": 240000},
     "srcStartFrame": 36, "srcSpeed": 1.0, "srcRate": "24", "srcFpsNum": 24, "srcFpsDen": 1,
     "srcTimeMapKeypoints": [{"timelineSeconds": 0.0, "sourceSeconds": 1.5},
                             {"timelineSeconds": 1.0, "sourceSeconds": 2.0},
                             {"timelineSeconds": 2.0, "sourceSeconds": 4.0}],
     "srcRateUnresolved": true,
     "metadata": {"sourceClipName": "MC 1", "sourceTimecode": "", "projectTimecode": "",
                  "frameRate": 24.0, "angle": "Cam B", "audioRoles": ["Cam A"],
                  "clipType": "multicam", "isReversed": false, "isFreezeFrame": false,
                  "isSpeedRamp": true, "hasStabilization": true}},
    {"tlStart": {"value": 3360000, "timescale": 240000},
     "tlEnd": {"value": 3480000, "timescale": 240000},
     "srcStartFrame": 86412, "srcSpeed": 2.0, "srcRate": "23.976", "srcFpsNum": 24000,
     "srcFpsDen": 1001,
     "metadata": {"sourceClipName": "B002", "sourceTimecode": "", "projectTimecode": "",
                  "frameRate": 23.976023976023978, "clipType": "simple", "positionX": 12.5,
                  "scaleX": 1.5, "speedRate": 2.0, "isReversed": false, "isFreezeFrame": false,
                  "isSpeedRamp": false, "stackedVideoClips": ["Logo"]}}
  ],
  "displayConfig": {
    "id": "0A0B0C0D-0000-4000-8000-000000000001", "name": "QC", "isBuiltIn": false,
    "elements": [
      {"id": "11111111-2222-4333-8444-555555555555", "field": "sourceTC", "label": "TC:",
       "secondaryLabel": "", "isEnabled": true, "posX": 0.05, "posY": 0.05, "fontSize": 24.0,
       "textR": 1.0, "textG": 1.0, "textB": 1.0, "textOpacity": 1.0, "showBackground": true,
       "bgR": 0.0, "bgG": 0.0, "bgB": 0.0, "bgOpacity": 0.7, "markerTypes": ["chapter"],
       "roleFilterUIDs": [], "roleDisplayMode": "custom", "textAlignment": "left"}
    ],
    "visiblePictureAspectRatio": 2.39,
    "hideOnGeneratorClips": true
  }
})";

TEST_F(SnapshotFile, WritesTheDocumentCompactlyWithEveryKeyInOrder) {
    TandrelSnapshot first = handMadeSnapshot();
    first.timelineName = "an earlier document";
    SnapshotWriter::write(first); // the folder does not exist yet

    SnapshotWriter::write(handMadeSnapshot());
    const std::string text = contents();
    // Compact: the text is its own minimal form.
    EXPECT_EQ(parseJsonText(text).dump(), text);
    // Parsed documents compare keys in order, integers apart from doubles.
    EXPECT_EQ(text, parseJsonText(expectedDocument).dump());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file().parent_path()), {}), 1);

    // The plug-in reads the host's document back to the same values.
    EXPECT_EQ(encodeJsonText(Json(parseJsonText(text).get<TandrelSnapshot>())), text);
}

TEST_F(SnapshotFile, AFailingWriteLeavesThePreviousFileByteForByte) {
    SnapshotWriter::write(handMadeSnapshot());
    const std::string previous = contents();

    TandrelSnapshot broken = handMadeSnapshot();
    broken.entries[4].metadata.positionX = std::nan("");
    EXPECT_THROW(SnapshotWriter::write(broken), EncodingError);
    broken = handMadeSnapshot();
    broken.displayConfig.visiblePictureAspectRatio = INFINITY;
    EXPECT_THROW(SnapshotWriter::write(broken), EncodingError);

    EXPECT_EQ(contents(), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file().parent_path()), {}), 1);
}

TEST_F(SnapshotFile, WriteFailsWhenTheFolderCannotBeMade) {
    std::ofstream(folder_.path() / "Tandrel") << "in the way";
    EXPECT_THROW(SnapshotWriter::write(handMadeSnapshot()), std::system_error);
}

TEST_F(SnapshotFile, ClearRemovesTheFileAndNeverFails) {
    SnapshotWriter::clear(); // nothing there yet
    SnapshotWriter::write(handMadeSnapshot());
    ASSERT_TRUE(std::filesystem::exists(file()));
    SnapshotWriter::clear();
    EXPECT_FALSE(std::filesystem::exists(file()));
    EXPECT_TRUE(std::filesystem::exists(file().parent_path()));
    SnapshotWriter::clear();
}

// A text of megabytes would make a file the plug-in refuses (over its 50 MB cap), or one it
// parses at length for what it never looks at: each is stored as far as the plug-in looks,
// the timeline's identity whole.
TEST_F(SnapshotFile, StoresEachTextAsFarAsThePlugInLooksAtIt) {
    const auto &hostile = testing::hostileTexts();
    std::size_t next = 0;
    const auto text = [&] { return hostile[next++ % hostile.size()].text; };
    TandrelSnapshot document = handMadeSnapshot();
    document.timelineID = "/" + std::string(2000, 'L') + ".fcpbundle/E/CurrentVersion.fcpevent#42";
    document.timelineName = text();
    document.libraryName = text();
    document.displayConfig.name = text();
    document.displayConfig.elements[0].label = text();
    for (SnapshotEntry &entry : document.entries) {
        FCPMetadata &metadata = entry.metadata;
        metadata.sourceClipName = text();
        metadata.sourceFileName = text();
        metadata.reelName = text();
        metadata.notes = text();
        if (metadata.markers) {
            metadata.markers->front().text = text();
        }
        if (metadata.activeRoleClips) {
            metadata.activeRoleClips = {{text(), {text(), text()}}};
        }
        if (metadata.stackedLayers) {
            metadata.stackedLayers->front().reelName = text();
        }
    }
    TandrelSnapshot expected = document;
    SnapshotTexts::boundDocument(expected);
    ASSERT_EQ(expected.timelineID, document.timelineID);
    ASSERT_NE(expected.timelineName, document.timelineName);

    SnapshotWriter::write(document);
    const std::string whole = contents();
    EXPECT_LT(whole.size(), 1'000'000u);
    EXPECT_EQ(parseJsonText(whole).get<TandrelSnapshot>(), expected);
    // Through an encoder that reuses what it can, the same bytes, and again the next time.
    SnapshotEncoder encoder;
    for (int time = 0; time < 2; ++time) {
        SnapshotWriter::writeEncoded(document, encoder);
        EXPECT_EQ(contents(), whole) << time;
    }
    // Kept once, kept for good: the plug-in's view of each text is the writer's.
    TandrelSnapshot again = expected;
    SnapshotTexts::boundDocument(again);
    EXPECT_EQ(again, expected);
}

// Clip names, notes and markers are the user's; the plug-in runs as the user.
TEST_F(SnapshotFile, IsTheUsersAloneAlsoAfterAWriteOverAFileOthersCouldRead) {
    const testing::TypicalUmask umask;
    SnapshotWriter::write(handMadeSnapshot());
    EXPECT_EQ(testing::modeOf(file()), 0600u);
    EXPECT_EQ(testing::modeOf(file().parent_path()), 0700u);

    std::filesystem::permissions(file(), std::filesystem::perms(0644));
    SnapshotWriter::write(handMadeSnapshot());
    EXPECT_EQ(testing::modeOf(file()), 0600u);
}

} // namespace
} // namespace tandrel
