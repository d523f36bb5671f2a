#include "designkit/Color.h"
#include "designkit/CorvaneCountBadge.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneInitialsBadge.h"
#include "designkit/CorvanePillBadge.h"
#include "designkit/CorvaneSectionHeader.h"
#include "designkit/CorvaneStatusDot.h"
#include "designkit/Fonts.h"
#include "designkit/InitialsBadgeRules.h"
#include "designkit/Palette.h"

#include "TestSupport.h"

#include <QFontInfo>
#include <QGraphicsDropShadowEffect>
#include <QPainter>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace corvane;

TEST(CorvaneInitialsBadge, HashPaletteAndInitialsOfNames) {
    struct Case {
        std::u16string name;
        std::optional<uint64_t> hash;
        std::optional<int> paletteIndex;
        const char16_t *initials;
    };
    const std::vector<Case> cases = {
        {u"", 0xCBF29CE484222325, 5, u"?"},
        {u"a", 0xAF63DC4C8601EC8C, 4, u"A"},
        {u"Blue Sky", 0x0F64E2887923C834, 0, u"BS"},
        {u"blue sky", 0x0F64E2887923C834, 0, u"BS"},
        {u"north-west gate", {}, {}, u"NG"},
        {u"reel.one", {}, {}, u"RO"},
        {u"camera", {}, {}, u"C"},
        {u". - .", {}, {}, u"?"},
        {u"  ana  ", {}, {}, u"A"},
        // Tabs, line breaks and underscores join words.
        {u"north_west\tgate\nlane", {}, {}, u"N"},
        // First characters are whole characters, upper-cased together.
        {u"\u00e9mile zola", {}, {}, u"\u00c9Z"},
        {u"e\u0301mile", {}, {}, u"E\u0301"},
        {u"\u00dfa b", {}, {}, u"SSB"},
        {u"\U0001F3AC clapper", {}, {}, u"\U0001F3ACC"},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromStdU16String(c.name);
        SCOPED_TRACE(name.toStdString());
        if (c.hash) {
            EXPECT_EQ(InitialsBadgeRules::stableHash(name), *c.hash);
        }
        if (c.paletteIndex) {
            EXPECT_EQ(InitialsBadgeRules::paletteIndex(name), *c.paletteIndex);
            EXPECT_EQ(InitialsBadgeRules::resolvedTint(name, std::nullopt),
                      InitialsBadgeRules::palette()[static_cast<size_t>(*c.paletteIndex)]);
        }
        EXPECT_EQ(InitialsBadgeRules::initials(name), QString::fromStdU16String(c.initials));
    }
}

TEST(CorvaneInitialsBadge, PaletteTintSizeAndLabel) {
    const std::vector<Rgba> palette = {rgbaOf(Color::corvaneAccent()),
                                       {0.4, 0.72, 0.52},
                                       {0.85, 0.6, 0.32},
                                       {0.74, 0.48, 0.82},
                                       {0.9, 0.47, 0.47},
                                       {0.4, 0.68, 0.8}};
    for (size_t i = 0; i < palette.size(); ++i) {
        EXPECT_TRUE(sameColour(InitialsBadgeRules::palette()[i], palette[i])) << i;
    }
    // A given tint replaces the palette colour; the highlight ring is the accent stroke anyway.
    EXPECT_EQ(InitialsBadgeRules::resolvedTint(QStringLiteral("a"), Color::green()),
              Color::green());
    EXPECT_DOUBLE_EQ(InitialsBadgeRules::fontSize(40), 16.8);

    CorvaneInitialsBadge unnamed(QString(), 40);
    EXPECT_EQ(unnamed.accessibleName(), QLatin1String("Unassigned"));
    EXPECT_EQ(unnamed.initials(), QLatin1String("?"));
    EXPECT_EQ(unnamed.ringWidth(), 0);
    EXPECT_EQ(unnamed.sizeHint(), QSize(40, 40));
    CorvaneInitialsBadge named(QStringLiteral("Blue Sky"), 28, Color::orange(), true);
    EXPECT_EQ(named.accessibleName(), QLatin1String("Blue Sky"));
    EXPECT_EQ(named.resolvedTint(), Color::orange());
    EXPECT_EQ(named.ringWidth(), 1.5);
}

TEST(CorvanePillBadge, UpperCaseTextAndColoursByStyle) {
    const QColor tint = Color::corvaneAccent();
    EXPECT_EQ(CorvanePillBadge::displayText(QStringLiteral("beta")), QLatin1String("BETA"));
    EXPECT_EQ(CorvanePillBadge::colors(CorvanePillBadgeStyle::soft, tint),
              (CorvanePillBadge::Colors{withOpacity(tint, 0.18), tint}));
    EXPECT_EQ(CorvanePillBadge::colors(CorvanePillBadgeStyle::solid, tint),
              (CorvanePillBadge::Colors{tint, Color::white()}));

    CorvanePillBadge badge(QStringLiteral("beta"), tint, CorvanePillBadgeStyle::solid);
    EXPECT_EQ(badge.text(), QLatin1String("BETA"));
    EXPECT_EQ(foregroundOf(&badge), Color::white());
    EXPECT_EQ(badge.contentsMargins(), QMargins(6, 2, 6, 2));
}

TEST(CorvaneCountBadge, ShowsTheCountInTheTint) {
    for (const auto &[count, text] : std::vector<std::pair<qint64, const char *>>{
             {-3, "-3"},
             {0, "0"},
             {1234, "1234"},
             {-9223372036854775807LL - 1, "-9223372036854775808"}}) {
        EXPECT_EQ(CorvaneCountBadge::displayText(count), QLatin1String(text));
    }
    CorvaneCountBadge badge(-3, Color::orange());
    EXPECT_EQ(badge.text(), QLatin1String("-3"));
    EXPECT_EQ(foregroundOf(&badge), Color::orange());
    EXPECT_EQ(QFontInfo(badge.font()).weight(), QFont::DemiBold);
}

TEST(CorvaneStatusDot, GlowsOnlyWhenAsked) {
    const QColor green = Color::green();
    EXPECT_FALSE(CorvaneStatusDot::glowShadow(green, false).isVisible());
    const Shadow glow = CorvaneStatusDot::glowShadow(green, true);
    EXPECT_EQ(glow, (Shadow{withOpacity(green, 0.5), 4, {0, 0}}));

    CorvaneStatusDot plain(green, 8, false);
    EXPECT_EQ(plain.graphicsEffect(), nullptr);
    CorvaneStatusDot glowing(green, 8, true);
    const auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(glowing.graphicsEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->color(), withOpacity(green, 0.5));
    EXPECT_EQ(effect->offset(), QPointF(0, 0));
}

TEST(CorvaneStatusDot, TakesANewColourWithItsHalo) {
    CorvaneStatusDot plain(Color::green(), 8, false);
    plain.setColor(Color::red());
    EXPECT_EQ(plain.color(), Color::red());
    EXPECT_EQ(plain.graphicsEffect(), nullptr);

    CorvaneStatusDot glowing(Color::green(), 8, true);
    glowing.setColor(Color::red());
    EXPECT_EQ(glowing.color(), Color::red());
    const auto *effect = qobject_cast<QGraphicsDropShadowEffect *>(glowing.graphicsEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->color(), withOpacity(Color::red(), 0.5));
}

TEST(CorvaneSectionHeader, TitleAsWrittenInSecondaryText) {
    CorvaneSectionHeader header(QStringLiteral("Stacked <i>layers</i>"));
    EXPECT_EQ(header.text(), QLatin1String("Stacked <i>layers</i>"));
    EXPECT_EQ(header.textFormat(), Qt::PlainText);
    EXPECT_EQ(foregroundOf(&header), Color::corvaneTextSecondary());
    EXPECT_EQ(QFontInfo(header.font()).weight(), QFont::Medium);
    EXPECT_DOUBLE_EQ(kitPoints(header.font()), 13);
}

TEST(CorvaneDivider, HairlineInsetAtBothEnds) {
    QWidget window;
    window.setPalette(QPalette(Qt::black));
    window.setAutoFillBackground(true);
    window.resize(100, 1);
    auto *divider = new CorvaneDivider(&window);
    divider->setGeometry(0, 0, 100, 1);
    const QImage image = window.grab().toImage();
    EXPECT_EQ(divider->height(), 1);
    EXPECT_EQ(image.pixelColor(11, 0), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(12, 0), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(87, 0), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(88, 0), QColor(Qt::black));
}

TEST(CorvaneDivider, AnInsetOfItsOwn) {
    for (const int inset : {0, 3}) {
        QWidget window;
        window.setPalette(QPalette(Qt::black));
        window.setAutoFillBackground(true);
        window.resize(100, 1);
        auto *divider = new CorvaneDivider(inset, &window);
        divider->setGeometry(0, 0, 100, 1);
        const QImage image = window.grab().toImage();
        EXPECT_NE(image.pixelColor(inset, 0), QColor(Qt::black)) << inset;
        EXPECT_NE(image.pixelColor(99 - inset, 0), QColor(Qt::black)) << inset;
        if (inset > 0) {
            EXPECT_EQ(image.pixelColor(inset - 1, 0), QColor(Qt::black)) << inset;
            EXPECT_EQ(image.pixelColor(100 - inset, 0), QColor(Qt::black)) << inset;
        }
        EXPECT_EQ(divider->sizeHint(), QSize(2 * inset, 1)) << inset;
    }
}
