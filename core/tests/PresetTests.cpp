#include "core/model/DisplayConfig.h"
#include "core/support/JsonText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tandrel {
namespace {

BurnInElement element(const std::string &text) {
    return parseJsonText(text).get<BurnInElement>();
}

std::vector<std::string> keysOf(const Json &json) {
    std::vector<std::string> keys;
    for (const auto &item : json.items()) {
        keys.push_back(item.key());
    }
    return keys;
}

TEST(BurnInElement, AFieldAloneDecodesWithEveryDefault) {
    const BurnInElement reel = element(R"({"field": "reel"})");
    EXPECT_EQ(reel.field, MetadataField::reel);
    EXPECT_EQ(reel.label, "Reel:");
    EXPECT_EQ(reel.secondaryLabel, "");
    EXPECT_TRUE(reel.isEnabled);
    EXPECT_EQ(reel.posX, 0.05);
    EXPECT_EQ(reel.posY, 0.05);
    EXPECT_EQ(reel.fontSize, 24);
    EXPECT_EQ((std::array{reel.textR, reel.textG, reel.textB, reel.textOpacity}),
              (std::array{1.0, 1.0, 1.0, 1.0}));
    EXPECT_TRUE(reel.showBackground);
    EXPECT_EQ((std::array{reel.bgR, reel.bgG, reel.bgB, reel.bgOpacity}),
              (std::array{0.0, 0.0, 0.0, 0.7}));
    EXPECT_EQ(reel.markerTypes, std::set<MarkerType>{MarkerType::chapter});
    EXPECT_TRUE(reel.roleFilterUIDs.empty());
    EXPECT_EQ(reel.roleDisplayMode, RoleDisplayMode::custom);
    EXPECT_EQ(reel.textAlignment, BurnInTextAlignment::left);
    EXPECT_FALSE(reel.stackedLayerColumns);
    EXPECT_FALSE(reel.stackedLayerPrefixPosition);
    EXPECT_FALSE(reel.stackedLayerV1OnTop);
    // Every decoding without an id makes a new one.
    EXPECT_NE(reel.id, element(R"({"field": "reel"})").id);
    EXPECT_NE(reel.id, Uuid());
}

TEST(BurnInElement, MissingLabelsComeFromTheField) {
    for (MetadataField field : MetadataField::allCases()) {
        const BurnInElement decoded =
            element(R"({"field": ")" + std::string(field.rawValue()) + R"(", "label": null})");
        EXPECT_EQ(decoded.label, field.defaultLabel()) << field.rawValue();
        const char *secondary = field == MetadataField::stackedLayerReel    ? "SRC FRM#"
                                : field == MetadataField::stackedLayerSlate ? "SRC"
                                                                            : "";
        EXPECT_EQ(decoded.secondaryLabel, secondary) << field.rawValue();
    }
    EXPECT_EQ(element(R"({"field": "stackedLayerReel"})").label, "REEL");
    EXPECT_EQ(element(R"({"field": "stackedLayerSlate", "label": ""})").label, "");
}

TEST(BurnInElement, ReadingFailsOnlyForTheFieldOrWrongTypes) {
    const char *failing[] = {
        R"({})",
        R"({"label": "TC:"})",
        R"({"field": null})",
        R"({"field": "SourceTC"})",
        R"({"field": "sourceTC "})",
        R"({"field": "reel", "posX": "0.5"})",
        R"({"field": "reel", "isEnabled": 1})",
        R"({"field": "reel", "id": "not-a-uuid"})",
        R"({"field": "reel", "markerTypes": ["chapter", "Todo"]})",
        R"({"field": "reel", "markerTypes": "chapter"})",
        R"({"field": "reel", "textAlignment": "justified"})",
        R"({"field": "reel", "stackedLayerColumns": "all"})",
        R"({"field": "roleText", "roleUseMediaFilename": "yes"})",
        R"({"field": "roleText", "roleFilterUID": 7})",
    };
    for (const char *text : failing) {
        EXPECT_THROW((void)element(text), DecodingError) << text;
    }
    EXPECT_THROW((void)parseJsonText(R"([{"field": "reel"}, {"field": "nope"}])")
                     .get<std::vector<BurnInElement>>(),
                 DecodingError);
}

TEST(BurnInElement, OlderKeysCountOnlyWhenTheCurrentKeyHasNoValue) {
    struct Case {
        const char *extra;
        RoleDisplayMode mode;
        std::set<std::string> roles;
    };
    const Case cases[] = {
        {R"("roleUseMediaFilename": true)", RoleDisplayMode::mediaFilename, {}},
        {R"("roleUseMediaFilename": false)", RoleDisplayMode::custom, {}},
        {R"("roleUseMediaFilename": true, "roleDisplayMode": "roleName")",
         RoleDisplayMode::roleName,
         {}},
        {R"("roleUseMediaFilename": true, "roleDisplayMode": null)",
         RoleDisplayMode::mediaFilename,
         {}},
        {R"("roleDisplayMode": "roleName", "roleUseMediaFilename": "ignored")",
         RoleDisplayMode::roleName,
         {}},
        {R"("roleFilterUID": "role.dialogue")", RoleDisplayMode::custom, {"role.dialogue"}},
        {R"("roleFilterUID": "")", RoleDisplayMode::custom, {""}},
        {R"("roleFilterUID": "old", "roleFilterUIDs": ["new", "newer"])",
         RoleDisplayMode::custom,
         {"new", "newer"}},
        {R"("roleFilterUID": "old", "roleFilterUIDs": [])", RoleDisplayMode::custom, {}},
    };
    for (const Case &c : cases) {
        const std::string text = std::string(R"({"field": "roleText", )") + c.extra + "}";
        const BurnInElement decoded = element(text);
        EXPECT_EQ(decoded.roleDisplayMode, c.mode) << text;
        EXPECT_EQ(decoded.roleFilterUIDs, c.roles) << text;
    }

    const Json reencoded =
        element(R"({"field": "roleText", "roleUseMediaFilename": true, "roleFilterUID": "r"})");
    EXPECT_EQ(reencoded["roleDisplayMode"], "mediaFilename");
    EXPECT_EQ(reencoded["roleFilterUIDs"], Json::array({"r"}));
    EXPECT_FALSE(reencoded.contains("roleUseMediaFilename"));
    EXPECT_FALSE(reencoded.contains("roleFilterUID"));
}

TEST(BurnInElement, WritesTwentyOneKeysAndTheStackedLayerOptionsWhenPresent) {
    BurnInElement reel(MetadataField::stackedLayerReel);
    const std::vector<std::string> keys = keysOf(Json(reel));
    const std::vector<std::string> expected{"id",
                                            "field",
                                            "label",
                                            "secondaryLabel",
                                            "isEnabled",
                                            "posX",
                                            "posY",
                                            "fontSize",
                                            "textR",
                                            "textG",
                                            "textB",
                                            "textOpacity",
                                            "showBackground",
                                            "bgR",
                                            "bgG",
                                            "bgB",
                                            "bgOpacity",
                                            "markerTypes",
                                            "roleFilterUIDs",
                                            "roleDisplayMode",
                                            "textAlignment"};
    EXPECT_EQ(keys, expected);

    reel.stackedLayerColumns = StackedLayerColumns::leftOnly;
    reel.stackedLayerPrefixPosition = StackedLayerPrefixPosition::afterValue;
    reel.stackedLayerV1OnTop = false;
    reel.markerTypes = {MarkerType::todo, MarkerType::chapter};
    const Json json = reel;
    EXPECT_EQ(json.size(), 24u);
    EXPECT_EQ(json["id"], reel.id.uuidString());
    EXPECT_EQ(json["stackedLayerColumns"], "leftOnly");
    EXPECT_EQ(json["stackedLayerV1OnTop"], false);
    EXPECT_EQ(json.get<BurnInElement>(), reel);

    reel.fontSize = std::nan("");
    EXPECT_THROW((void)Json(reel), EncodingError);
}

TEST(BurnInElement, EqualityCoversEveryMember) {
    const BurnInElement a = element(R"({"field": "sourceTC",
        "id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "markerTypes": ["todo", "chapter"]})");
    BurnInElement b = a;
    EXPECT_EQ(a, b);
    b.markerTypes = {MarkerType::chapter, MarkerType::todo};
    EXPECT_EQ(a, b); // sets compare as sets
    b.stackedLayerV1OnTop = false;
    EXPECT_NE(a, b); // absent equals only absent
    b = a;
    b.id = Uuid::random();
    EXPECT_NE(a, b);
}

constexpr const char *presetText = R"({
    "id": "0A0B0C0D-0000-4000-8000-000000000001", "name": "QC", "isBuiltIn": true,
    "elements": [{"field": "sourceTC"}]})";

TEST(DisplayConfig, RequiresItsFourKeysAndReadsTheOptionsWhenPresent) {
    const DisplayConfig preset = parseJsonText(presetText).get<DisplayConfig>();
    EXPECT_EQ(preset.name, "QC");
    EXPECT_TRUE(preset.isBuiltIn);
    ASSERT_EQ(preset.elements.size(), 1u);
    EXPECT_EQ(preset.elements[0].label, "TC:");
    EXPECT_EQ(static_cast<const DisplayOptions &>(preset), DisplayOptions{});
    EXPECT_EQ(keysOf(Json(preset)),
              (std::vector<std::string>{"id", "name", "isBuiltIn", "elements"}));

    for (const char *key : {"id", "name", "isBuiltIn", "elements"}) {
        Json json = parseJsonText(presetText);
        json.erase(key);
        EXPECT_THROW((void)json.get<DisplayConfig>(), DecodingError) << key;
    }

    Json json = parseJsonText(presetText);
    json["visiblePictureAspectRatio"] = 2.39;
    json["hideOnGeneratorClips"] = false;
    json["showStackedLayers"] = nullptr;
    const DisplayConfig withOptions = json.get<DisplayConfig>();
    EXPECT_EQ(withOptions.visiblePictureAspectRatio, 2.39);
    EXPECT_EQ(withOptions.hideOnGeneratorClips, false);
    EXPECT_FALSE(withOptions.showStackedLayers);
    EXPECT_EQ(keysOf(Json(withOptions)),
              (std::vector<std::string>{"id", "name", "isBuiltIn", "elements",
                                        "visiblePictureAspectRatio", "hideOnGeneratorClips"}));

    json["constrainToVisiblePicture"] = "yes";
    EXPECT_THROW((void)json.get<DisplayConfig>(), DecodingError);
}

TEST(DisplayConfig, TheDefaultPreset) {
    const DisplayConfig preset;
    EXPECT_EQ(preset.name, "Custom");
    EXPECT_FALSE(preset.isBuiltIn);
    EXPECT_EQ(static_cast<const DisplayOptions &>(preset), DisplayOptions{});
    ASSERT_EQ(preset.elements.size(), 2u);
    EXPECT_EQ(preset.elements[0].field, MetadataField::sourceTC);
    EXPECT_EQ(preset.elements[0].label, "TC:");
    EXPECT_EQ(preset.elements[0].posY, 0.05);
    EXPECT_EQ(preset.elements[1].field, MetadataField::clipName);
    EXPECT_EQ(preset.elements[1].label, "");
    EXPECT_EQ(preset.elements[1].posX, 0.05);
    EXPECT_EQ(preset.elements[1].posY, 0.1);
    for (const BurnInElement &e : preset.elements) {
        EXPECT_EQ(e.secondaryLabel, "");
        EXPECT_EQ(e.bgOpacity, 0.7);
        EXPECT_EQ(e.markerTypes, std::set<MarkerType>{MarkerType::chapter});
    }

    const DisplayConfig other;
    EXPECT_NE(preset, other);
    EXPECT_NE(preset.id, other.id);
    EXPECT_NE(preset.elements[0].id, other.elements[0].id);
    EXPECT_EQ(preset, parseJsonText(encodeJsonText(Json(preset))).get<DisplayConfig>());
}

} // namespace
} // namespace tandrel
