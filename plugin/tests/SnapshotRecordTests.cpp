#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "plugin/BurnInText.h"
#include "plugin/LayoutText.h"
#include "plugin/PluginSnapshot.h"

#include <gtest/gtest.h>

#include <functional>

namespace tandrel {
namespace {

// A document as the host writes it, every optional member of the record present.
TandrelSnapshot hostSnapshot() {
    FCPMetadata metadata{{
        .sourceClipName = "A001",
        .sourceFileName = "A001.mov",
        .mediaIdentifier = "m1",
        .sourceTimecode = "",
        .sourceFrameNumber = 12,
        .projectTimecode = "",
        .frameRate = 24000.0 / 1001,
        .reelName = "R1",
        .cameraName = "A",
        .scene = "1",
        .shot = "2",
        .take = "3",
        .angle = "A cam",
        .notes = "n",
        .videoRole = "Video",
        .audioRoles = std::vector<std::string>{"Dialogue"},
        .clipDuration = "00:00:02:00",
        .clipType = ClipCategory::generator,
        .resolutionWidth = 1920,
        .resolutionHeight = 1080,
        .positionX = 1,
        .positionY = 2,
        .scaleX = 1.5,
        .scaleY = 1.5,
        .rotation = 90,
        .speedRate = 0.5,
        .isReversed = true,
        .isFreezeFrame = false,
        .isSpeedRamp = false,
        .appliedEffects = std::vector<std::string>{"Blur"},
        .hasStabilization = true,
        .hasRollingShutterFix = false,
        .markers = std::vector<MarkerInfo>{{"Act 1", MarkerType::chapter, "note"}},
        .stackedVideoClips = std::vector<std::string>{"B"},
        .activeRoleClips = std::map<std::string, ActiveRoleClip>{{"r", {"Dialogue", "A.wav"}}},
        .stackedLayers = std::vector<StackedLayerInfo>{{2, "R2", "4/5", "B.mov", "02:00:00:00", 48,
                                                        1.0, 10.0, 25, 1, "25"}},
    }};
    SnapshotEntry entry{{
        .tlStart = {0, 240000},
        .tlEnd = {480000, 240000},
        .srcStartFrame = 86400,
        .srcSpeed = -0.5,
        .srcRate = "23.976",
        .srcFpsNum = 24000,
        .srcFpsDen = 1001,
        .srcTimeMapKeypoints = std::vector<SnapshotTimeMapKeypoint>{{0, 1.5}, {2, 2.5}},
        .srcRateUnresolved = true,
        .metadata = metadata,
    }};
    TandrelSnapshot snapshot;
    snapshot.timelineID = "T1";
    snapshot.timelineName = "Reel 1";
    snapshot.libraryName = "L";
    snapshot.timelineStartTimecode = "01:00:00:00";
    snapshot.updatedAt = 1767225600.25;
    snapshot.entries = {entry};
    snapshot.displayConfig.visiblePictureAspectRatio = 2.39;
    snapshot.displayConfig.hideOnGeneratorClips = true;
    return snapshot;
}

bool reads(const Json &document) {
    try {
        (void)PluginSnapshot::decode(document.dump());
        return true;
    } catch (const DecodingError &) {
        return false;
    }
}

Json changed(Json document, const char *pointer, const Json &value) {
    if (value.is_null()) {
        const Json::json_pointer path(pointer);
        document[path.parent_pointer()].erase(path.back());
    } else {
        document[Json::json_pointer(pointer)] = value;
    }
    return document;
}

TEST(PluginSnapshot, ReadsTheHostsDocumentAndWritesItsRecordsBackAlike) {
    const TandrelSnapshot host = hostSnapshot();
    const PluginSnapshot snapshot = PluginSnapshot::decode(encodeJsonText(Json(host)));
    EXPECT_EQ(snapshot.timelineID, "T1");
    EXPECT_EQ(snapshot.timelineStartTimecode, "01:00:00:00");
    EXPECT_EQ(snapshot.displayConfig.elements.size(), 2u);
    EXPECT_EQ(snapshot.displayConfig.hideOnGeneratorClips, true);
    ASSERT_EQ(snapshot.entries.size(), 1u);
    const PluginSnapshotEntry &entry = snapshot.entries[0];
    EXPECT_EQ(entry.metadata.clipType, "generator");
    EXPECT_EQ(entry.metadata.markers->at(0).type, "chapter");
    // Same keys, order and optional members as the host's records.
    EXPECT_EQ(Json(entry).dump(), Json(host.entries[0]).dump());
    EXPECT_EQ(Json(snapshot.displayConfig.elements).dump(),
              Json(host.displayConfig.elements).dump());
}

// Each frame carries the snapshot's texts through its render state and text resolution: the
// plug-in keeps each as LayoutText bounds it, and a frame shows what it would show of the
// whole text.
TEST(PluginSnapshot, HoldsEveryTextToItsFirstBytes) {
    const std::string huge = std::string(1 << 20, 'x');
    TandrelSnapshot host = hostSnapshot();
    FCPMetadata &metadata = host.entries[0].metadata;
    metadata.sourceClipName = "Wide " + huge;
    metadata.cameraName = huge;
    metadata.audioRoles->push_back(huge);
    metadata.markers->at(0).text = huge;
    metadata.stackedLayers->at(0).sourceFileName = huge;
    metadata.activeRoleClips =
        std::map<std::string, ActiveRoleClip>{{"r" + huge, {"Dialogue", huge}}};
    BurnInElement roles(MetadataField::roleText);
    roles.label = huge;
    roles.roleFilterUIDs = {"r" + huge};
    roles.roleDisplayMode = RoleDisplayMode::roleName;
    host.displayConfig.elements = {roles};

    const PluginSnapshot snapshot = PluginSnapshot::decode(encodeJsonText(Json(host)));
    std::function<void(const Json &)> check = [&](const Json &value) {
        if (value.is_string()) {
            const auto &text = value.get_ref<const std::string &>();
            EXPECT_EQ(LayoutText(text).text(), text);
            EXPECT_LE(text.size(), 1000u);
        }
        for (const auto &[key, member] : value.items()) {
            EXPECT_LE(key.size(), 1000u);
            if (value.is_structured()) {
                check(member);
            }
        }
    };
    check(Json(snapshot));
    const TandrelMetadata &held = snapshot.entries[0].metadata;
    EXPECT_EQ(LayoutText(held.sourceClipName).text(), LayoutText("Wide " + huge).text());
    // Keys cut alike still find each other.
    const auto text = BurnInText::resolve(snapshot.displayConfig.elements[0], held, false, {});
    ASSERT_TRUE(text);
    EXPECT_EQ(LayoutText(*text).text(), LayoutText(huge + " Dialogue").text());
    EXPECT_TRUE(text->ends_with(" Dialogue"));
}

TEST(PluginSnapshot, ToleratesWhatTheHostMayAddOrLeaveOut) {
    const Json document = Json(hostSnapshot());
    Json tolerant = changed(document, "/entries/0/metadata/clipType", "multicamAngle");
    tolerant = changed(tolerant, "/entries/0/metadata/markers/0/type", "Chapter");
    tolerant = changed(tolerant, "/displayConfig",
                       {{"elements", {{{"field", "stackedLayerReel"}}}}, {"unknown", 1}});
    const PluginSnapshot snapshot = PluginSnapshot::decode(tolerant.dump());
    EXPECT_EQ(snapshot.entries[0].metadata.clipType, "multicamAngle");
    EXPECT_EQ(snapshot.entries[0].metadata.markers->at(0).type, "Chapter");
    const BurnInElement &element = snapshot.displayConfig.elements.at(0);
    EXPECT_EQ(element.label, "REEL");
    EXPECT_EQ(element.secondaryLabel, "SRC FRM#");
    EXPECT_FALSE(snapshot.displayConfig.visiblePictureAspectRatio);

    for (const char *optional :
         {"/entries/0/srcTimeMapKeypoints", "/entries/0/srcRateUnresolved",
          "/entries/0/metadata/sourceFileName", "/entries/0/metadata/sourceFrameNumber",
          "/entries/0/metadata/stackedLayers/0/sourceFpsDen", "/displayConfig/id",
          "/displayConfig/name", "/displayConfig/isBuiltIn"}) {
        EXPECT_TRUE(reads(changed(document, optional, nullptr))) << optional;
    }
    for (const char *required :
         {"/schemaVersion", "/timelineID", "/libraryName", "/updatedAt", "/entries",
          "/displayConfig/elements", "/entries/0/tlStart", "/entries/0/srcRate",
          "/entries/0/metadata", "/entries/0/metadata/sourceClipName",
          "/entries/0/metadata/frameRate", "/entries/0/metadata/markers/0/type",
          "/entries/0/metadata/stackedLayers/0/videoLaneNumber",
          "/entries/0/metadata/activeRoleClips/r/roleName"}) {
        EXPECT_FALSE(reads(changed(document, required, nullptr))) << required;
    }
    EXPECT_FALSE(reads(changed(document, "/entries/0/metadata/clipType", 3)));
}

TEST(PluginSnapshot, RejectsValuesTheFrameArithmeticCannotCarry) {
    const Json document = Json(hostSnapshot());
    struct Case {
        const char *pointer;
        Json value;
        const char *path; // of the failure; nothing for a value that is accepted
    };
    const Case cases[] = {
        {"/entries/0/tlStart/timescale", 0, "entries[0].tlStart"},
        {"/entries/0/tlEnd/timescale", -240000, "entries[0].tlEnd"},
        {"/entries/0/tlEnd/value", 2073600000001LL * 1000, "entries[0].tlEnd"},
        {"/entries/0/tlEnd/value", INT64_MAX, "entries[0].tlEnd"},
        {"/entries/0/tlEnd", {{"value", 8640000LL * 240000}, {"timescale", 240000}}, nullptr},
        {"/entries/0/tlStart", {{"value", -8640000LL}, {"timescale", 1}}, nullptr},
        {"/entries/0/tlStart", {{"value", -8640001LL}, {"timescale", 1}}, "entries[0].tlStart"},
        {"/entries/0/srcSpeed", 1e300, "entries[0].srcSpeed"},
        {"/entries/0/srcSpeed", -1e6, nullptr},
        {"/entries/0/srcStartFrame", INT64_MIN, "entries[0].srcStartFrame"},
        {"/entries/0/srcStartFrame", 8640000000LL, nullptr},
        {"/entries/0/srcFpsNum", INT64_MAX, "entries[0].srcFpsNum"},
        {"/entries/0/srcFpsNum", 0, nullptr},
        // A denominator below 2 counts as 1: 24000 frames per second.
        {"/entries/0/srcFpsDen", 0, "entries[0].srcFpsNum"},
        {"/entries/0/srcTimeMapKeypoints/1/sourceSeconds", 1e300,
         "entries[0].srcTimeMapKeypoints[1].sourceSeconds"},
        {"/entries/0/srcTimeMapKeypoints/0/timelineSeconds", -1e7,
         "entries[0].srcTimeMapKeypoints[0].timelineSeconds"},
        {"/entries/0/metadata/stackedLayers/0/layerTimelineStart", 1e300,
         "entries[0].metadata.stackedLayers[0].layerTimelineStart"},
        {"/entries/0/metadata/stackedLayers/0/correctedSourceStart", -1e300,
         "entries[0].metadata.stackedLayers[0].correctedSourceStart"},
        {"/entries/0/metadata/stackedLayers/0/sourceFpsNum", 1000000,
         "entries[0].metadata.stackedLayers[0].sourceFpsNum"},
    };
    for (const Case &c : cases) {
        const std::string text = changed(document, c.pointer, c.value).dump();
        try {
            (void)PluginSnapshot::decode(text);
            EXPECT_EQ(c.path, nullptr) << c.pointer << " = " << c.value;
        } catch (const DecodingError &error) {
            ASSERT_NE(c.path, nullptr) << c.pointer << " = " << c.value << ": " << error.what();
            EXPECT_EQ(error.codingPath(), c.path);
            EXPECT_EQ(error.kind(), DecodingError::Kind::dataCorrupted);
        }
    }
    EXPECT_THROW((void)PluginSnapshot::decode("{\"schemaVersion\":"), DecodingError);
}

} // namespace
} // namespace tandrel
