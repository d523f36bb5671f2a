#include "designkit/Color.h"
#include "designkit/HexColorParser.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using corvane::Color;
using corvane::HexColorParser;
using Rgb = HexColorParser::Rgb;

TEST(CorvaneHexColor, ReadsColourTextLeniently) {
    struct Case {
        std::u16string text;
        std::optional<Rgb> expected;
    };
    const std::vector<Case> cases = {
        {u"#0D0D0D", Rgb{13, 13, 13}},
        {u"0D0D0D", Rgb{13, 13, 13}},
        {u"  0D0D0D  ", Rgb{13, 13, 13}},
        {u"0d0d0d\n", Rgb{13, 13, 13}},
        {u"\t#FFFFFF\r\n", Rgb{255, 255, 255}},
        // Every "#" goes, wherever it stands; the six digits still read as one number.
        {u"##0D0D0D", Rgb{13, 13, 13}},
        {u"0D0#D0D", Rgb{13, 13, 13}},
        {u"12#3456#", Rgb{0x12, 0x34, 0x56}},
        {u"0D0D0", std::nullopt},
        {u"0D0D0D0", std::nullopt},
        {u"", std::nullopt},
        {u"#", std::nullopt},
        {u"   \n", std::nullopt},
        // Six characters, but no digit where the scan starts.
        {u"GHIJKL", std::nullopt},
        {u"\uFF10\uFF24\uFF10\uFF24\uFF10\uFF24", std::nullopt}, // full-width digits
        // The scan stops at the first character that is not a hexadecimal digit.
        {u"12G456", Rgb{0, 0, 0x12}},
        {u"0x1A2B", Rgb{0, 0x1A, 0x2B}},
        {u"0X1a2b", Rgb{0, 0x1A, 0x2B}},
        {u"0xZZZZ", Rgb{0, 0, 0}}, // the "0" before the "x" is a number
        // A space left behind by the removal of "#" is skipped like the scanner skips it.
        {u"# ABCDE", Rgb{0x0A, 0xBC, 0xDE}},
        // Counted in user-perceived characters: "e" with its accent is one of the six, and
        // the accent ends the digits.
        {u"abcde\u0301", std::nullopt},
        {u"abcde\u0301f", Rgb{0x0A, 0xBC, 0xDE}},
        {u"abcdef\u0301", Rgb{0xAB, 0xCD, 0xEF}},
        // A character outside the basic plane (two UTF-16 units) is one of the six.
        {u"abcd\U0001F600f", Rgb{0, 0xAB, 0xCD}},
        {u"abcd\U0001F600", std::nullopt},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromStdU16String(c.text);
        SCOPED_TRACE(text.toStdString());
        const auto parsed = HexColorParser::parse(text);
        ASSERT_EQ(parsed.has_value(), c.expected.has_value());
        if (c.expected) {
            EXPECT_EQ(parsed->red, c.expected->red);
            EXPECT_EQ(parsed->green, c.expected->green);
            EXPECT_EQ(parsed->blue, c.expected->blue);
        }
    }
}

TEST(CorvaneHexColor, BuildsAnOpaqueColourOfTheBytes) {
    const auto colour = Color::fromHex(QStringLiteral("#0D0D0D"));
    ASSERT_TRUE(colour);
    EXPECT_TRUE(sameColour(*colour, {13 / 255.0, 13 / 255.0, 13 / 255.0}));
    EXPECT_EQ(*colour, Color::fromHex(QStringLiteral("0D0D0D")));
    EXPECT_FALSE(Color::fromHex(QStringLiteral("0D0D0")));
}

TEST(CorvaneColorTokens, HaveTheirDefinitions) {
    const Rgba accent{0.0, 0.549, 0.847};
    const Rgba red = rgbaOf(Color::red());
    auto white = [](double opacity) { return Rgba{1, 1, 1, opacity}; };
    auto ofAccent = [&](double opacity) {
        return Rgba{accent.red, accent.green, accent.blue, opacity};
    };
    struct Case {
        const char *name;
        QColor token;
        Rgba expected;
    };
    const std::vector<Case> cases = {
        {"corvaneBase", Color::corvaneBase(), {0.06, 0.07, 0.09}},
        {"corvaneSurface", Color::corvaneSurface(), {0.10, 0.11, 0.13}},
        {"corvaneAccent", Color::corvaneAccent(), accent},
        {"cyanElectric", Color::cyanElectric(), {0.0, 0.85, 1.0}},
        {"timecodeBlue", Color::timecodeBlue(), {0.4, 0.6, 1.0}},
        {"deepNavy", Color::deepNavy(), {0.05, 0.1, 0.2}},
        {"vibrantBlue", Color::vibrantBlue(), {0.2, 0.4, 0.9}},
        {"corvaneDivider", Color::corvaneDivider(), white(0.08)},
        {"corvaneHover", Color::corvaneHover(), rgbaOf(Color::primary(), 0.05)},
        {"corvaneHoverSubtle", Color::corvaneHoverSubtle(), rgbaOf(Color::primary(), 0.03)},
        {"corvaneChipFill", Color::corvaneChipFill(), white(0.06)},
        {"corvaneCardFill", Color::corvaneCardFill(), white(0.05)},
        {"corvaneCardFillRaised", Color::corvaneCardFillRaised(), white(0.10)},
        {"corvaneTextSecondary", Color::corvaneTextSecondary(), white(0.7)},
        {"corvaneTextTertiary", Color::corvaneTextTertiary(), white(0.5)},
        {"corvaneSelection", Color::corvaneSelection(), ofAccent(0.25)},
        {"corvaneAccentBackground", Color::corvaneAccentBackground(), ofAccent(0.2)},
        {"corvaneAccentStroke", Color::corvaneAccentStroke(), ofAccent(0.5)},
        {"corvaneAccentStrokeFaint", Color::corvaneAccentStrokeFaint(), ofAccent(0.3)},
        {"corvaneRecording", Color::corvaneRecording(), red},
        {"corvaneRecordingGlow",
         Color::corvaneRecordingGlow(),
         {red.red, red.green, red.blue, 0.3}},
    };
    ASSERT_EQ(cases.size(), 21u);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(sameColour(c.token, c.expected));
    }
}

TEST(CorvaneColorTokens, PrimaryIsThePaletteTextAndOpacitiesMultiply) {
    EXPECT_EQ(Color::primary(), Color::white());
    // A translucent colour of a translucent colour: the opacities multiply.
    EXPECT_NEAR(corvane::withOpacity(Color::corvaneAccentStroke(), 0.5).alphaF(), 0.25, 1e-4);
    EXPECT_EQ(Color::clear().alpha(), 0);
}
