#include "plugin/RenderState.h"
#include "plugin/StatusText.h"
#include "plugin/Timecoding.h"

#include <gtest/gtest.h>

#include <string>

namespace tandrel {
namespace {

std::string text(const std::vector<uint8_t> &data) {
    return {data.begin(), data.end()};
}

std::vector<uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(RenderState, StatusStateCarriesOnlyTheTextAndTheRate) {
    RenderState state = RenderState::forPreset(nullptr);
    state.showStatus(std::string(StatusText::startHost), 24000, 1001);
    EXPECT_EQ(text(state.encoded()),
              R"({"elements":[],"metadata":{"sourceClipName":"Embrik: start Host app + select a )"
              R"(timeline","sourceTimecode":"","projectTimecode":"","frameRate":)"
              R"(23.976023976023978},"isStatus":true,"showStackedLayers":false,)"
              R"("constrainToVisiblePicture":false})");
}

TEST(RenderState, CarriesThePresetAndTheRecordToTheRenderCall) {
    PluginDisplayConfig preset;
    preset.elements = {BurnInElement(MetadataField::sourceTC), BurnInElement(MetadataField::reel)};
    preset.visiblePictureAspectRatio = 2.39;
    preset.constrainToVisiblePicture = true;
    preset.stackedLayersV1OnTop = false;
    preset.hideOnGeneratorClips = true;

    RenderState state = RenderState::forPreset(&preset);
    EXPECT_EQ(state.elements, preset.elements);
    EXPECT_FALSE(state.showStackedLayers);
    TandrelMetadata record = TandrelMetadata::status("A001", 25);
    record.sourceTimecode = "01:00:00:00";
    record.clipType = "title";
    state.showRecord(record);
    EXPECT_FALSE(state.isStatus);

    const std::vector<uint8_t> data = state.encoded();
    const Json json = Json::parse(text(data));
    std::vector<std::string> keys;
    for (const auto &[key, value] : json.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "elements", "metadata", "isStatus", "visiblePictureAspectRatio",
                        "showStackedLayers", "constrainToVisiblePicture", "stackedLayersV1OnTop"}));
    const std::optional<RenderState> decoded = RenderState::decode(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->elements, preset.elements);
    EXPECT_EQ(decoded->metadata.clipType, "title");
    EXPECT_EQ(text(decoded->encoded()), text(data));
}

TEST(RenderState, WhatIsNotAStateDecodesToNothing) {
    RenderState unencodable;
    unencodable.showStatus("x", 25, 0); // an infinite rate
    EXPECT_TRUE(unencodable.encoded().empty());

    for (const char *data : {"", "not json", "[]", R"({"elements":[],"isStatus":true})",
                             R"({"elements":[{}],"metadata":{},"isStatus":false})"}) {
        EXPECT_FALSE(RenderState::decode(bytes(data))) << data;
    }
}

TEST(StatusText, TextsAreTheProductsOwn) {
    EXPECT_EQ(StatusText::startHost, "Embrik: start Host app + select a timeline");
    EXPECT_EQ(StatusText::gap, "Embrik: gap (no clip at playhead)");
    EXPECT_EQ(StatusText::unsupportedRate(120, 1),
              "Embrik: unsupported timeline frame rate (120/1)");
    EXPECT_EQ(StatusText::noClips("Reel 1"),
              "Embrik: no clips found in 'Reel 1' \xE2\x80\x94 re-select the timeline in the Host");
    EXPECT_EQ(StatusText::playheadDoesNotFit("00:59:59:00"),
              "Embrik: playhead 00:59:59:00 doesn't fit this timeline \xE2\x80\x94 set Project "
              "start TC in the Host");

    EXPECT_EQ(StatusText::choose(false, "ignored"), StatusText::startHost);
    EXPECT_EQ(StatusText::choose(true, "Embrik: why"), "Embrik: why");
    EXPECT_EQ(StatusText::choose(true, std::nullopt), StatusText::gap);
}

TEST(Timecoding, MapsTimelineRatesToTimecodeRates) {
    using R = timecode::TimecodeFrameRate;
    struct Case {
        int64_t num;
        int64_t den;
        bool drop;
        std::optional<R> rate;
    };
    const Case cases[] = {
        {24000, 1001, false, R::fps23_976},
        {24000, 1001, true, R::fps23_976},
        {24, 1, true, R::fps24},
        {25, 1, false, R::fps25},
        {30000, 1001, false, R::fps29_97},
        {30000, 1001, true, R::fps29_97d},
        {30, 1, false, R::fps30},
        {30, 1, true, R::fps30d},
        {48000, 1001, true, R::fps47_952},
        {48, 1, false, R::fps48},
        {50, 1, true, R::fps50},
        {60000, 1001, false, R::fps59_94},
        {60000, 1001, true, R::fps59_94d},
        {60, 1, false, R::fps60},
        {60, 1, true, R::fps60d},
        {2997, 100, false, R::fps29_97},
        {5994, 100, true, R::fps59_94d},
        {48000, 2002, false, R::fps23_976},
        {25, 0, false, R::fps24},
        {0, 0, true, R::fps24},
        {120, 1, false, std::nullopt},
        {2498, 100, false, std::nullopt},
        {100, 1, false, std::nullopt},
        {0, 1, false, std::nullopt},
        {-25, 1, false, std::nullopt},
        {25, -1, false, std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Timecoding::rate(c.num, c.den, c.drop), c.rate)
            << c.num << "/" << c.den << (c.drop ? " drop" : "");
    }
}

} // namespace
} // namespace tandrel
