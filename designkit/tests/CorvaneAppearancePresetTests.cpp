#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using corvane::Color;
using corvane::CorvaneAppearancePreset;

TEST(CorvaneAppearancePreset, BuiltInPresetsInOrderWithTheDefaultLast) {
    struct Case {
        const CorvaneAppearancePreset &preset;
        const char *id;
        const char *name;
        double baseDarkness;
        double sidebarDarknessDelta;
        const char *baseColorHex;
        std::optional<QString> sidebarColorHex;
        std::optional<QString> selectionColorHex;
    };
    const std::vector<Case> cases = {
        {CorvaneAppearancePreset::deepBlack(),
         "deepBlack",
         "Deep Black",
         0.7,
         0.05,
         "#000000",
         {},
         {}},
        {CorvaneAppearancePreset::soft(), "soft", "Soft", 0.4, 0.05, "#000000", {}, {}},
        {CorvaneAppearancePreset::saffraColors(), "saffraColors", "Saffra Colors", 0.95, 0.0,
         "#0D0D0D", QStringLiteral("#121212"), QStringLiteral("#454545")},
    };
    const auto &builtIn = CorvaneAppearancePreset::builtIn();
    ASSERT_EQ(builtIn.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto &c = cases[i];
        SCOPED_TRACE(c.id);
        EXPECT_EQ(builtIn[i], c.preset);
        EXPECT_EQ(c.preset.id, QLatin1String(c.id));
        EXPECT_EQ(c.preset.name, QLatin1String(c.name));
        EXPECT_EQ(c.preset.baseDarkness, c.baseDarkness);
        EXPECT_EQ(c.preset.sidebarDarknessDelta, c.sidebarDarknessDelta);
        EXPECT_EQ(c.preset.baseColorHex, QLatin1String(c.baseColorHex));
        EXPECT_EQ(c.preset.sidebarColorHex, c.sidebarColorHex);
        EXPECT_EQ(c.preset.selectionColorHex, c.selectionColorHex);
        // Every colour text of a preset reads as a colour.
        EXPECT_TRUE(Color::fromHex(c.preset.baseColorHex));
        EXPECT_TRUE(Color::fromHex(c.preset.sidebarColorHex.value_or(c.preset.baseColorHex)));
        EXPECT_TRUE(Color::fromHex(c.preset.selectionColorHex.value_or(c.preset.baseColorHex)));
    }
    EXPECT_EQ(builtIn.back(), CorvaneAppearancePreset::saffraColors());
}

TEST(CorvaneAppearancePreset, EqualOnlyWhenEveryFieldIs) {
    const CorvaneAppearancePreset soft = CorvaneAppearancePreset::soft();
    CorvaneAppearancePreset copy = soft;
    EXPECT_EQ(copy, soft);

    copy.selectionColorHex = QStringLiteral("#454545");
    EXPECT_NE(copy, soft);
    copy.selectionColorHex.reset();
    copy.sidebarColorHex = QString();
    EXPECT_NE(copy, soft) << "an empty colour text is not an absent one";

    // Deep Black and Soft differ in id, name and darkness only.
    CorvaneAppearancePreset darkened = soft;
    darkened.id = QStringLiteral("deepBlack");
    darkened.name = QStringLiteral("Deep Black");
    darkened.baseDarkness = 0.7;
    EXPECT_EQ(darkened, CorvaneAppearancePreset::deepBlack());
}
