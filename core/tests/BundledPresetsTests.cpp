#include "core/model/BundledPresets.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using testing::ScratchFolder;

std::vector<std::string> names(const std::vector<DisplayConfig> &presets) {
    std::vector<std::string> result;
    for (const auto &preset : presets) {
        result.push_back(preset.name);
    }
    return result;
}

TEST(BundledPresets, TheTableHoldsThreeBuiltInPresets) {
    const auto &table = BundledPresets::table();
    EXPECT_EQ(names(table), (std::vector<std::string>{"Netflix QC Layout", "Conform", "Colorist"}));
    // Built once: the same ids on every call.
    EXPECT_EQ(&BundledPresets::table(), &table);
    ASSERT_EQ(table[0].elements.size(), 7u);
    ASSERT_EQ(table[1].elements.size(), 7u);
    ASSERT_EQ(table[2].elements.size(), 1u);
    for (const auto &preset : table) {
        EXPECT_TRUE(preset.isBuiltIn);
        EXPECT_EQ(static_cast<const DisplayOptions &>(preset), DisplayOptions{});
        for (const auto &element : preset.elements) {
            EXPECT_EQ(element.secondaryLabel, "");
            EXPECT_EQ(element.markerTypes, std::set<MarkerType>{MarkerType::chapter});
            EXPECT_EQ(element.bgOpacity, 0.7);
        }
    }
    const BurnInElement &property = table[0].elements[1];
    EXPECT_EQ(property.label, "Property of Netflix \u2013 2026/07/13");
    EXPECT_FALSE(property.showBackground);
    EXPECT_FALSE(table[0].elements[4].isEnabled);
    EXPECT_EQ(table[0].elements[5].roleDisplayMode, RoleDisplayMode::roleName);
    EXPECT_EQ(table[0].elements[6].textG, 0.85);
    EXPECT_EQ(table[1].elements[6].field, MetadataField::speed);
    EXPECT_EQ(table[1].elements[6].posY, 0.06);
    EXPECT_TRUE(table[1].elements[0].showBackground);
    EXPECT_EQ(table[2].elements[0].fontSize, 32);
}

TEST(BundledPresets, ResourceFilesOverlayTheTableInFileNameOrder) {
    ScratchFolder folder;
    const auto preset = [&](const std::string &file, const std::string &name, bool builtIn) {
        DisplayConfig config;
        config.name = name;
        config.isBuiltIn = builtIn;
        testing::writeFile(folder / file, encodeJsonText(Json(config)));
        return config.id;
    };
    const Uuid colorist = preset("a.JSON", "Colorist", false);
    preset("B.json", "Extra", true);
    preset("c.json", "Late", false);
    const Uuid later = preset("d.json", "Late", false);
    preset("b.txt", "Ignored", true);
    testing::writeFile(folder / "broken.json", "{ not json");

    const auto presets = BundledPresets::factoryPresets(folder.path());
    // "B.json" sorts before "a.JSON"; a later file of the same name replaces an earlier one.
    EXPECT_EQ(names(presets), (std::vector<std::string>{"Netflix QC Layout", "Conform", "Colorist",
                                                        "Extra", "Late"}));
    EXPECT_EQ(presets[2].id, colorist);
    EXPECT_EQ(presets[4].id, later);
    for (const auto &p : presets) {
        EXPECT_TRUE(p.isBuiltIn) << p.name;
    }
    EXPECT_EQ(names(BundledPresets::factoryPresets(folder / "missing")),
              (std::vector<std::string>{"Netflix QC Layout", "Conform", "Colorist"}));
}

} // namespace
} // namespace tandrel
