#include "designkit/Color.h"
#include "designkit/CorvaneChip.h"
#include "designkit/CorvaneChipAppearance.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneCountBadge.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Palette.h"

#include "TestSupport.h"

#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace corvane;

namespace {

const QColor tint = Color::sRGB(0.9, 0.47, 0.47);
const QColor own = Color::sRGB(0.4, 0.72, 0.52);

// Lays the chip out as it is on screen.
void show(QWidget &widget) {
    widget.show();
    widget.layout()->activate();
}

QRect inChip(const CorvaneChip &chip, const QWidget *child) {
    return QRect(child->mapTo(&chip, QPoint(0, 0)), child->size());
}

} // namespace

TEST(CorvaneChipAppearance, ColoursByStyleAndSelection) {
    const QColor clear = Color::clear();
    struct Case {
        const char *name;
        CorvaneChipStyle style;
        bool isSelected;
        QColor fill;
        QColor stroke;
        QColor foreground;
    };
    const std::vector<Case> cases = {
        {"colored, selected", CorvaneChipStyle::colored(own), true, withOpacity(own, 0.9), clear,
         Color::white()},
        {"colored", CorvaneChipStyle::colored(own), false, Color::corvaneChipFill(),
         withOpacity(own, 0.3), own},
        {"standard, selected", CorvaneChipStyle::standard(), true, withOpacity(tint, 0.2),
         withOpacity(tint, 0.5), tint},
        {"standard", CorvaneChipStyle::standard(), false, Color::corvaneChipFill(), clear,
         Color::corvaneTextSecondary()},
        {"plain, selected", CorvaneChipStyle::plain(), true, clear, withOpacity(tint, 0.5), tint},
        {"plain", CorvaneChipStyle::plain(), false, clear, Color::corvaneAccentStrokeFaint(),
         Color::corvaneTextSecondary()},
        {"tabBare, selected", CorvaneChipStyle::tabBare(), true, clear, clear, Color::white()},
        {"tabBare", CorvaneChipStyle::tabBare(), false, clear, clear,
         Color::corvaneTextSecondary()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ChipColors colours = CorvaneChipAppearance::chrome(c.style, c.isSelected, tint);
        EXPECT_EQ(colours.fill, c.fill);
        EXPECT_EQ(colours.stroke, c.stroke);
        EXPECT_EQ(CorvaneChipAppearance::foreground(c.style, c.isSelected, false, tint),
                  c.foreground);
        // Disabled dims the text only.
        EXPECT_EQ(CorvaneChipAppearance::foreground(c.style, c.isSelected, true, tint),
                  Color::corvaneTextTertiary());
        EXPECT_EQ(CorvaneChipAppearance::labelWeight(c.isSelected),
                  c.isSelected ? CorvaneFontWeight::demiBold : CorvaneFontWeight::medium);
    }
}

TEST(CorvaneChipStyle, ColouredStylesAreEqualOnlyWithEqualColours) {
    EXPECT_EQ(CorvaneChipStyle::colored(own), CorvaneChipStyle::colored(own));
    EXPECT_NE(CorvaneChipStyle::colored(own), CorvaneChipStyle::colored(tint));
    EXPECT_NE(CorvaneChipStyle::colored(own), CorvaneChipStyle::standard());
    EXPECT_EQ(CorvaneChipStyle::plain(), CorvaneChipStyle::plain());
    EXPECT_NE(CorvaneChipStyle::plain(), CorvaneChipStyle::tabBare());
}

TEST(CorvaneChipChrome, SizeChangesThePaddingAndNothingElse) {
    struct Case {
        CorvaneChipSize size;
        int horizontal;
        int vertical;
    };
    const std::vector<Case> cases = {{CorvaneChipSize::compact, 8, 4},
                                     {CorvaneChipSize::comfortable, 10, 6}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.horizontal);
        EXPECT_EQ(c.size.horizontalPadding(), c.horizontal);
        EXPECT_EQ(c.size.verticalPadding(), c.vertical);

        auto *content = new QLabel(QStringLiteral("Scene"));
        CorvaneChipChrome chrome(content, true, tint, CorvaneChipStyle::standard(),
                                 CorvaneChipSize::compact);
        const ChipColors before = chrome.colors();
        chrome.setChipSize(c.size);
        chrome.show();
        chrome.layout()->activate();
        EXPECT_EQ(content->pos(), QPoint(c.horizontal, c.vertical));
        EXPECT_EQ(chrome.size(), content->size() + QSize(2 * c.horizontal, 2 * c.vertical));
        EXPECT_EQ(chrome.colors(), before);
    }
}

TEST(CorvaneChip, DisabledChipIgnoresClicksAndKeepsItsSelectedFill) {
    int taps = 0;
    CorvaneChip chip({.label = QStringLiteral("16:9"),
                      .isSelected = true,
                      .tint = tint,
                      .isDisabled = true,
                      .action = [&] { ++taps; }});
    show(chip);
    QTest::mouseClick(&chip, Qt::LeftButton, {}, chip.rect().center());
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(chip.chrome()->colors().fill, withOpacity(tint, 0.2));
    EXPECT_EQ(foregroundOf(chip.labelView()), Color::corvaneTextTertiary());

    chip.setEnabled(true);
    // A click anywhere on the chip, padding included, taps it.
    QTest::mouseClick(&chip, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(foregroundOf(chip.labelView()), tint);
}

TEST(CorvaneChip, IconLabelAndTrailingContentSitInOneRow) {
    // Without an icon the label starts right at the padding: no gap is left for it.
    CorvaneChip bare({.label = QStringLiteral("Reel"), .size = CorvaneChipSize::comfortable});
    show(bare);
    EXPECT_EQ(bare.iconView(), nullptr);
    EXPECT_EQ(inChip(bare, bare.labelView()).left(), 10);

    auto *count = new CorvaneCountBadge(3, Color::corvaneAccent());
    auto *uncoloured = new QLabel(QStringLiteral("+"));
    auto *trailing = new QWidget;
    auto *trailingLayout = new QHBoxLayout(trailing);
    trailingLayout->setContentsMargins(0, 0, 0, 0);
    trailingLayout->addWidget(count);
    trailingLayout->addWidget(uncoloured);
    CorvaneChip chip({.label = QStringLiteral("Markers"),
                      .icon = QStringLiteral("film"),
                      .style = CorvaneChipStyle::colored(own),
                      .trailing = trailing});
    show(chip);
    const QRect icon = inChip(chip, chip.iconView());
    const QRect label = inChip(chip, chip.labelView());
    EXPECT_EQ(icon.left(), 8);
    EXPECT_EQ(label.left(), icon.right() + 1 + 4);
    EXPECT_EQ(inChip(chip, trailing).left(), label.right() + 1 + 4);
    // Trailing content shares the chip's colour unless it sets its own.
    EXPECT_EQ(foregroundOf(uncoloured), own);
    EXPECT_EQ(foregroundOf(chip.iconView()), own);
    EXPECT_EQ(foregroundOf(count), Color::corvaneAccent());
}

TEST(CorvaneChip, LabelIsVerbatimAndHeavierWhenSelected) {
    CorvaneChip chip({.label = QStringLiteral("<b>Take</b> &amp; 2")});
    EXPECT_EQ(chip.labelView()->textFormat(), Qt::PlainText);
    EXPECT_EQ(chip.labelView()->text(), QStringLiteral("<b>Take</b> &amp; 2"));
    EXPECT_EQ(QFontInfo(chip.labelView()->font()).weight(), QFont::Medium);
    chip.setSelected(true);
    EXPECT_EQ(QFontInfo(chip.labelView()->font()).weight(), QFont::DemiBold);
    EXPECT_EQ(foregroundOf(chip.labelView()), Color::corvaneAccent());
}
