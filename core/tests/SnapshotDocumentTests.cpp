#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tandrel {
namespace {

// A document as the host writes it: one entry with keypoints and one with an unresolved rate.
constexpr const char *document = R"({
  "schemaVersion": 8, "timelineID": "/L.fcpbundle/E/CurrentVersion.fcpevent#42",
  "timelineName": "Reel 1", "libraryName": "L", "timelineStartTimecode": "01:00:00:00",
  "timelineDropFrame": false, "updatedAt": 1767225600.25,
  "entries": [
    {"tlStart": {"value": 0, "timescale": 240000}, "tlEnd": {"value": 480000, "timescale": 240000},
     "srcStartFrame": 86400, "srcSpeed": 1.0, "srcRate": "23.976", "srcFpsNum": 24000,
     "srcFpsDen": 1001,
     "srcTimeMapKeypoints": [{"timelineSeconds": 0.0, "sourceSeconds": 1.5}],
     "metadata": {"sourceClipName": "A", "sourceTimecode": "", "projectTimecode": "",
                  "frameRate": 23.976023976023978, "isReversed": false}},
    {"tlStart": {"value": 480000, "timescale": 240000},
     "tlEnd": {"value": 720000, "timescale": 240000},
     "srcStartFrame": 0, "srcSpeed": -1.0, "srcRate": "24", "srcFpsNum": 24, "srcFpsDen": 1,
     "srcRateUnresolved": true,
     "metadata": {"sourceClipName": "B", "sourceTimecode": "", "projectTimecode": "",
                  "frameRate": 24.0}}
  ],
  "displayConfig": {"id": "0A0B0C0D-0000-4000-8000-000000000001", "name": "QC",
                    "isBuiltIn": false, "elements": [], "hideOnGeneratorClips": true}
})";

bool reads(const Json &json) {
    try {
        (void)json.get<TandrelSnapshot>();
        return true;
    } catch (const DecodingError &) {
        return false;
    }
}

TEST(TandrelSnapshot, ReadsAndWritesBackTheSameDocument) {
    const Json original = parseJsonText(document);
    const TandrelSnapshot snapshot = original.get<TandrelSnapshot>();
    ASSERT_EQ(snapshot.entries.size(), 2u);
    EXPECT_EQ(snapshot.entries[0].tlEnd, (RationalTime{480000, 240000}));
    EXPECT_EQ(snapshot.entries[0].tlEnd.seconds(), 2.0);
    EXPECT_EQ(snapshot.entries[0].srcTimeMapKeypoints->size(), 1u);
    EXPECT_FALSE(snapshot.entries[0].srcRateUnresolved);
    EXPECT_EQ(snapshot.entries[1].srcRateUnresolved, true);
    EXPECT_FALSE(snapshot.entries[1].srcTimeMapKeypoints);
    EXPECT_EQ(snapshot.displayConfig.hideOnGeneratorClips, true);
    EXPECT_EQ(snapshot.timelineDropFrame, false);
    EXPECT_EQ(encodeJsonText(Json(snapshot)), original.dump());

    // The drop-frame flag is optional: without it the document still reads, and stays without.
    Json withoutFlag = original;
    withoutFlag.erase("timelineDropFrame");
    const TandrelSnapshot unflagged = withoutFlag.get<TandrelSnapshot>();
    EXPECT_EQ(unflagged.timelineDropFrame, std::nullopt);
    EXPECT_EQ(encodeJsonText(Json(unflagged)), withoutFlag.dump());
}

TEST(TandrelSnapshot, AMissingOrWrongRequiredKeyRejectsTheWholeDocument) {
    struct Case {
        const char *pointer;
        Json value; // null erases the key
    };
    const Case cases[] = {
        {"/schemaVersion", nullptr},
        {"/libraryName", nullptr},
        {"/updatedAt", nullptr},
        {"/updatedAt", "2026-01-01"},
        {"/entries", nullptr},
        {"/displayConfig", nullptr},
        {"/displayConfig/elements", nullptr},
        {"/entries/1/metadata", nullptr},
        {"/entries/1/tlEnd/timescale", nullptr},
        {"/entries/1/tlEnd/timescale", 2147483648LL},
        {"/entries/1/srcStartFrame", 1.5},
        {"/entries/1/srcFpsDen", "1"},
        {"/entries/0/srcTimeMapKeypoints/0/sourceSeconds", nullptr},
        {"/entries/0/srcTimeMapKeypoints", Json::object()},
        {"/entries/1/srcRateUnresolved", "true"},
        {"/entries/1/metadata/clipType", "clip"},
        {"/timelineDropFrame", "true"},
    };
    for (const Case &c : cases) {
        Json json = parseJsonText(document);
        const Json::json_pointer pointer(c.pointer);
        if (c.value.is_null()) {
            json[pointer.parent_pointer()].erase(pointer.back());
        } else {
            json[pointer] = c.value;
        }
        EXPECT_FALSE(reads(json)) << c.pointer << " = " << c.value.dump();
    }

    Json json = parseJsonText(document);
    json["entries"][1]["srcRateUnresolved"] = nullptr;
    json["entries"][0]["srcTimeMapKeypoints"] = Json::array();
    json["future"] = {{"x", 1}};
    EXPECT_TRUE(reads(json));
}

TEST(TandrelSnapshot, ANonFiniteNumberFailsTheWholeEncoding) {
    TandrelSnapshot snapshot = parseJsonText(document).get<TandrelSnapshot>();
    snapshot.entries[0].srcTimeMapKeypoints->front().sourceSeconds = std::nan("");
    EXPECT_THROW((void)Json(snapshot), EncodingError);
    snapshot = parseJsonText(document).get<TandrelSnapshot>();
    snapshot.updatedAt = INFINITY;
    EXPECT_THROW((void)Json(snapshot), EncodingError);
}

} // namespace
} // namespace tandrel
