#include "core/model/FCPMetadata.h"
#include "core/support/JsonText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tandrel {
namespace {

constexpr const char *minimal =
    R"({"sourceClipName":"A001","sourceTimecode":"","projectTimecode":"","frameRate":25})";

bool reads(const std::string &text) {
    try {
        (void)parseJsonText(text).get<FCPMetadata>();
        return true;
    } catch (const DecodingError &) {
        return false;
    }
}

// The minimal record with one more member added (or, with an empty key, one removed).
std::string with(const std::string &key, const std::string &value) {
    Json json = Json::parse(minimal);
    if (value.empty()) {
        json.erase(key);
    } else {
        json[key] = Json::parse(value);
    }
    return json.dump();
}

TEST(FCPMetadata, TheFourRequiredKeysAreEnoughAndWriteBackAlone) {
    const FCPMetadata metadata = Json::parse(minimal).get<FCPMetadata>();
    EXPECT_EQ(metadata.sourceClipName, "A001");
    EXPECT_EQ(metadata.frameRate, 25.0);
    EXPECT_FALSE(metadata.sourceFileName);
    EXPECT_FALSE(metadata.markers);
    EXPECT_FALSE(metadata.stackedLayers);
    EXPECT_EQ(encodeJsonText(Json(metadata)),
              R"({"sourceClipName":"A001","sourceTimecode":"","projectTimecode":"",)"
              R"("frameRate":25.0})");
}

TEST(FCPMetadata, ReadingIsStrict) {
    struct Case {
        std::string text;
        bool reads;
    };
    const Case cases[] = {
        {with("frameRate", ""), false},
        {with("frameRate", R"("25")"), false},
        {with("sourceClipName", "null"), false},
        {with("sourceTimecode", ""), false},
        {with("clipType", R"("clip")"), false},
        {with("clipType", R"("Simple")"), false},
        {with("clipType", "null"), true},
        {with("clipType", R"("multicam")"), true},
        {with("sourceFrameNumber", "12.5"), false},
        {with("sourceFrameNumber", "null"), true},
        {with("isReversed", "1"), false},
        {with("audioRoles", R"(["Dialogue", 3])"), false},
        {with("markers", R"([{"text":"A","type":"chapter"}])"), true},
        {with("markers", R"([{"text":"A","type":"chapter","chapterNote":"n"}])"), true},
        {with("markers", R"([{"text":"A"}])"), false},
        {with("markers", R"([{"text":"A","type":"Chapter"}])"), false},
        {with("activeRoleClips", R"({"r":{"roleName":"Music","mediaFilename":"m.wav"}})"), true},
        {with("activeRoleClips", R"({"r":{"roleName":"Music"}})"), false},
        {with("stackedLayers", R"([{"videoLaneNumber":2}])"), true},
        {with("stackedLayers", R"([{"reelName":"B"}])"), false},
        {with("stackedLayers", R"([{"videoLaneNumber":2,"sourceFpsNum":"24"}])"), false},
        {with("somethingNew", R"({"x":[1,2]})"), true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(reads(c.text), c.reads) << c.text;
    }
}

TEST(FCPMetadata, EmptyRecord) {
    EXPECT_EQ(encodeJsonText(Json(FCPMetadata::empty())),
              "{\"sourceClipName\":\"\u2014\",\"sourceTimecode\":\"\u2014\","
              "\"projectTimecode\":\"00:00:00:00\",\"frameRate\":24.0}");
}

TEST(FCPMetadata, EmptyListsAndMapsAreValuesAndAreWritten) {
    const FCPMetadata metadata{{.markers = std::vector<MarkerInfo>{},
                                .activeRoleClips = std::map<std::string, ActiveRoleClip>{}}};
    const Json json = metadata;
    EXPECT_EQ(json["markers"], Json::array());
    EXPECT_EQ(json["activeRoleClips"], Json::object());
    EXPECT_FALSE(json.contains("stackedLayers"));
}

TEST(FCPMetadata, EveryMemberRoundTripsInOrder) {
    const FCPMetadata full{{
        .sourceClipName = "A001C003",
        .sourceFileName = "A001C003.mov",
        .mediaIdentifier = "m-1",
        .sourceTimecode = "01:00:00:00",
        .sourceFrameNumber = 86400,
        .projectTimecode = "00:59:58:00",
        .frameRate = 23.976023976023978,
        .reelName = "A001",
        .cameraName = "A",
        .scene = "12",
        .shot = "3",
        .take = "2",
        .angle = "Cam A",
        .notes = "hold",
        .videoRole = "Video",
        .audioRoles = std::vector<std::string>{"Dialogue", "Music"},
        .clipDuration = "00:00:05:00",
        .clipType = ClipCategory::sync,
        .resolutionWidth = 3840,
        .resolutionHeight = 2160,
        .positionX = -12.5,
        .positionY = 4,
        .scaleX = 1.1,
        .scaleY = 1.1,
        .rotation = -90,
        .speedRate = 0.5,
        .isReversed = false,
        .isFreezeFrame = false,
        .isSpeedRamp = true,
        .appliedEffects = std::vector<std::string>{"Blur"},
        .hasStabilization = true,
        .hasRollingShutterFix = false,
        .markers = std::vector<MarkerInfo>{{"Act 1", MarkerType::chapter, "note"},
                                           {"Fix", MarkerType::todo}},
        .stackedVideoClips = std::vector<std::string>{"Title"},
        .activeRoleClips =
            std::map<std::string, ActiveRoleClip>{{"role.music", {"Music", "m.wav"}}},
        .stackedLayers = std::vector<StackedLayerInfo>{{.videoLaneNumber = 2,
                                                        .sourceFrameNumber = -3,
                                                        .layerTimelineStart = 1.5,
                                                        .sourceFpsNum = 24000,
                                                        .sourceFpsDen = 1001,
                                                        .sourceRateString = "23.976"}},
    }};
    const Json json = full;
    std::vector<std::string> keys;
    for (const auto &item : json.items()) {
        keys.push_back(item.key());
    }
    ASSERT_EQ(keys.size(), 36u);
    EXPECT_EQ(keys.front(), "sourceClipName");
    EXPECT_EQ(keys[6], "frameRate");
    EXPECT_EQ(keys[17], "clipType");
    EXPECT_EQ(keys.back(), "stackedLayers");
    EXPECT_EQ(json["clipType"], "sync");
    EXPECT_TRUE(json["sourceFrameNumber"].is_number_integer());
    EXPECT_EQ(json["markers"][1].dump(), R"({"text":"Fix","type":"todo"})");
    EXPECT_EQ(json["stackedLayers"][0].dump(),
              R"({"videoLaneNumber":2,"sourceFrameNumber":-3,"layerTimelineStart":1.5,)"
              R"("sourceFpsNum":24000,"sourceFpsDen":1001,"sourceRateString":"23.976"})");

    const std::string text = encodeJsonText(json);
    EXPECT_EQ(encodeJsonText(parseJsonText(text).get<FCPMetadata>()), text);
}

TEST(FCPMetadata, NonFiniteNumbersCannotBeWritten) {
    FCPMetadata metadata = FCPMetadata::empty();
    metadata.rotation = std::nan("");
    EXPECT_THROW((void)Json(metadata), EncodingError);
    metadata = FCPMetadata::empty();
    metadata.frameRate = INFINITY;
    EXPECT_THROW((void)Json(metadata), EncodingError);
    metadata = FCPMetadata::empty();
    metadata.stackedLayers = {{.videoLaneNumber = 2, .correctedSourceStart = -INFINITY}};
    EXPECT_THROW((void)Json(metadata), EncodingError);
}

TEST(ClipCategory, RawValuesInOrder) {
    const char *expected[] = {"simple", "compound",  "multicam", "sync",
                              "gap",    "generator", "title"};
    const auto cases = ClipCategory::allCases();
    ASSERT_EQ(cases.size(), 7u);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(cases[i].rawValue(), expected[i]);
        EXPECT_EQ(ClipCategory::fromRawValue(expected[i]), cases[i]);
    }
    EXPECT_FALSE(ClipCategory::fromRawValue("clip"));
}

} // namespace
} // namespace tandrel
