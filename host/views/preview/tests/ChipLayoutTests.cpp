#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/RenderBox.h"

#include "core/support/UnicodeText.h"

#include <gtest/gtest.h>

#include <limits>

namespace tandrel {
namespace {

using Lines = std::vector<std::string>;

BurnInElement element(MetadataField field, std::string label, std::string secondary = {}) {
    BurnInElement made(field);
    made.label = std::move(label);
    made.secondaryLabel = std::move(secondary);
    return made;
}

// A monospaced stand-in: 7 points a character, 14 a line, 2 between lines. It notes the size
// it was asked for.
struct FakeMeasure {
    double askedSize = 0;
    std::string askedText;

    ChipLayout::TextMeasure function() {
        return [this](std::string_view text, double pixelSize) {
            askedSize = pixelSize;
            askedText = std::string(text);
            double widest = 0;
            double lines = 0;
            std::size_t start = 0;
            while (true) {
                const std::size_t end = text.find('\n', start);
                const std::string_view line = text.substr(start, end - start);
                widest = std::max(widest, 7.0 * graphemeCount(line));
                ++lines;
                if (end == std::string_view::npos) {
                    break;
                }
                start = end + 1;
            }
            return QSizeF(widest, 14 * lines + 2 * (lines - 1));
        };
    }
};

TEST(ChipLayout, ShowsTheLabelOrTheFieldsNameWithSampleLayersForStackableFields) {
    struct Case {
        const char *name;
        BurnInElement element;
        bool showStackedLayers;
        Lines lines;
        bool block;
        // The text the effect draws, which the chip stands on.
        std::string rendered;
    };
    const Case cases[] = {
        {"label",
         element(MetadataField::sourceTC, "TC:"),
         false,
         {"TC:"},
         false,
         "TC: 01:00:00:00"},
        {"stacked",
         element(MetadataField::sourceTC, "TC:"),
         true,
         {"TC:", "V2 (sample)", "V3 (sample)"},
         true,
         "TC: 01:00:00:00\nV2 (sample)\nV3 (sample)"},
        {"empty label: the field's name",
         element(MetadataField::clipName, ""),
         false,
         {"Clip Name"},
         false,
         "A001C001_250101_ABCD"},
        {"empty label, stacked",
         element(MetadataField::sourceFrame, ""),
         true,
         {"Source Frame", "V2 (sample)", "V3 (sample)"},
         true,
         "86400\nV2 (sample)\nV3 (sample)"},
        {"a change the frame shows",
         element(MetadataField::speed, "Speed:"),
         false,
         {"Speed:"},
         false,
         "Speed: 50%"},
        {"not stackable", element(MetadataField::custom, "Hello"), true, {"Hello"}, false, "Hello"},
        // Which roles are active only a timeline knows: the effect's box is the chip's text.
        {"no text on the sample frame",
         element(MetadataField::roleText, "Temp ADR"),
         false,
         {"Temp ADR"},
         false,
         "Temp ADR"},
        {"no text and no label",
         element(MetadataField::roleText, ""),
         false,
         {"Role Text"},
         false,
         "Role Text"},
        {"a label of two lines stays one title",
         element(MetadataField::notes, "a\nb"),
         false,
         {"a\nb"},
         false,
         "a\nb Note"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChipLayout::displayLines(c.element, c.showStackedLayers), c.lines);
        EXPECT_EQ(ChipLayout::isBlock(c.element, c.showStackedLayers), c.block);
        EXPECT_EQ(RenderBox::text(c.element, c.showStackedLayers), c.rendered);
    }
    // A one-line chip draws its title's first line and "…" for the rest; a block all lines.
    EXPECT_EQ(ChipLayout::shownLines({"a\nb"}, false), (Lines{"a\u2026"}));
    EXPECT_EQ(ChipLayout::shownLines({"TC:", "V2 (sample)"}, false), (Lines{"TC:"}));
    EXPECT_EQ(ChipLayout::shownLines({"x\ny", "z"}, true), (Lines{"x", "y", "z"}));
}

TEST(ChipLayout, SampleBlocksLineUpTheirRightColumn) {
    const Lines reel{
        "[REEL V1] A001C001_250101_ABCD.mov  337 [SRC FRM# V1]",
        "[REEL V2] B002C002_250101_ABCD.mov 1704 [SRC FRM# V2]",
        "[REEL V3] C003C003_250101_ABCD.mov  991 [SRC FRM# V3]",
    };
    const Lines slate{
        "[SLATE V3] 24-3-6 Cam B 21:09:16:02 [SRC V3]",
        "[SLATE V2] 24p-1-8 MOS  19:15:56:22 [SRC V2]",
        "[SLATE V1] 21-9-6       16:17:15:09 [SRC V1]",
    };
    for (const bool stacked : {false, true}) {
        EXPECT_EQ(ChipLayout::displayLines(
                      element(MetadataField::stackedLayerReel, "REEL", "SRC FRM#"), stacked),
                  reel);
        EXPECT_EQ(ChipLayout::displayLines(
                      element(MetadataField::stackedLayerSlate, "SLATE", "SRC"), stacked),
                  slate);
    }
    EXPECT_TRUE(ChipLayout::isBlock(element(MetadataField::stackedLayerReel, "REEL"), false));
}

TEST(ChipLayout, ColumnsAndTagPositionsShapeTheSampleCells) {
    struct Case {
        const char *name;
        std::optional<StackedLayerColumns> columns;
        std::optional<StackedLayerPrefixPosition> prefix;
        Lines lines;
    };
    const Case cases[] = {
        {"left only, no trailing blanks",
         StackedLayerColumns::leftOnly,
         {},
         {"[REEL V1] A001C001_250101_ABCD.mov", "[REEL V2] B002C002_250101_ABCD.mov",
          "[REEL V3] C003C003_250101_ABCD.mov"}},
        {"right only",
         StackedLayerColumns::rightOnly,
         {},
         {"337 [SRC FRM# V1]", "1704 [SRC FRM# V2]", "991 [SRC FRM# V3]"}},
        {"tags before",
         StackedLayerColumns::both,
         StackedLayerPrefixPosition::beforeValue,
         {"[REEL V1] A001C001_250101_ABCD.mov  [SRC FRM# V1] 337",
          "[REEL V2] B002C002_250101_ABCD.mov [SRC FRM# V2] 1704",
          "[REEL V3] C003C003_250101_ABCD.mov  [SRC FRM# V3] 991"}},
        {"tags after",
         {},
         StackedLayerPrefixPosition::afterValue,
         {"A001C001_250101_ABCD.mov [REEL V1]  337 [SRC FRM# V1]",
          "B002C002_250101_ABCD.mov [REEL V2] 1704 [SRC FRM# V2]",
          "C003C003_250101_ABCD.mov [REEL V3]  991 [SRC FRM# V3]"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BurnInElement reel = element(MetadataField::stackedLayerReel, "REEL", "SRC FRM#");
        reel.stackedLayerColumns = c.columns;
        reel.stackedLayerPrefixPosition = c.prefix;
        EXPECT_EQ(ChipLayout::displayLines(reel, false), c.lines);
    }
}

TEST(ChipLayout, BlockWidthsCountUserPerceivedCharacters) {
    // "é" as e + U+0301 and a flag of two code points are one character each: the right
    // cells end in one column on screen, which a count of bytes would miss.
    const std::string accented = "e\xCC\x81";
    const std::string flag = "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA";
    const Lines lines = ChipLayout::formatSampleBlock({
        {accented + "x", "1"},
        {flag, "22"},
        {"abcd", "3"},
    });
    EXPECT_EQ(lines, (Lines{accented + "x   1", flag + "   22", "abcd 3"}));
    // A row wider than the rest still gets one blank.
    EXPECT_EQ(ChipLayout::formatSampleBlock({{"a", "b"}}), (Lines{"a b"}));
}

TEST(ChipLayout, ChipsAreReadableAtAnyScale) {
    // The text at the element's size on the canvas, never under 9 points, measured and
    // rounded up, with 8 points around it, and at least 60 × 24.
    FakeMeasure measure;
    struct Case {
        const char *what;
        Lines lines;
        double fontSize;
        double scale;
        double textSize;
        QSizeF size;
    };
    const Case cases[] = {
        {"a short name: the least width", {"A"}, 24, 0.25, 9, {60, 14 + 16}},
        {"12 at 0.5 is 9, not 6", {"Scene 12 / Take 3"}, 12, 0.5, 9, {17 * 7 + 16, 14 + 16}},
        {"a large text at its size", {"Scene 12"}, 40, 0.5, 20, {8 * 7 + 16, 14 + 16}},
        {"three lines",
         {"TC:", "V2 (sample)", "V3 (sample)"},
         24,
         2,
         48,
         {11 * 7 + 16, 3 * 14 + 2 * 2 + 16}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_DOUBLE_EQ(ChipLayout::textSize(c.fontSize, c.scale), c.textSize);
        EXPECT_EQ(ChipLayout::chipSize(c.lines, c.fontSize, c.scale, measure.function()), c.size);
        EXPECT_DOUBLE_EQ(measure.askedSize, c.textSize);
    }
    EXPECT_EQ(measure.askedText, "TC:\nV2 (sample)\nV3 (sample)");

    // Fractions of a point round up; a scale that is no number draws at the least size.
    const ChipLayout::TextMeasure fractional = [](std::string_view, double) {
        return QSizeF(100.2, 20.01);
    };
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, 1, fractional), QSizeF(117, 37));
    const ChipLayout::TextMeasure tiny = [](std::string_view, double) { return QSizeF(2, 3); };
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, 1, tiny), QSizeF(60, 24));
    EXPECT_DOUBLE_EQ(ChipLayout::textSize(12, std::numeric_limits<double>::quiet_NaN()), 9);

    // The chip stands on the effect's box: their left and bottom edges are one; at the canvas's
    // right or top edge it moves back in, and one wider than the canvas takes its width.
    const QRectF canvas(0, 0, 400, 300);
    struct Placed {
        const char *what;
        QRectF box;
        QSizeF chip;
        QRectF at;
    };
    const Placed placed[] = {
        {"inside", {100, 200, 30, 9}, {60, 24}, {100, 185, 60, 24}},
        {"larger than the box", {100, 200, 130, 40}, {60, 24}, {100, 216, 60, 24}},
        {"at the right edge", {380, 200, 20, 9}, {60, 24}, {340, 185, 60, 24}},
        {"at the top edge", {100, 0, 30, 9}, {60, 24}, {100, 0, 60, 24}},
        {"wider than the canvas", {10, 200, 30, 9}, {500, 24}, {0, 185, 400, 24}},
    };
    for (const Placed &p : placed) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(ChipLayout::chipRect(p.box, p.chip, canvas), p.at);
    }
}

TEST(RenderBox, IsTheEffectsMeasureAtTheCanvasScale) {
    double askedSize = 0;
    const RenderBox::Measure measure = [&](std::string_view text,
                                           double fontSize) -> std::optional<QSizeF> {
        askedSize = fontSize;
        if (text.empty()) {
            return std::nullopt;
        }
        return QSizeF(100, 40);
    };
    EXPECT_EQ(RenderBox::size("x", 24, 0.5, measure), QSizeF(50, 20));
    EXPECT_DOUBLE_EQ(askedSize, 24); // frame pixels, whatever the scale
    // Nothing drawn, or a collapsed canvas: no box.
    EXPECT_TRUE(RenderBox::size("", 24, 0.5, measure).isEmpty());
    EXPECT_TRUE(RenderBox::size("x", 24, 0, measure).isEmpty());
    EXPECT_TRUE(
        RenderBox::size("x", 24, std::numeric_limits<double>::quiet_NaN(), measure).isEmpty());
}

TEST(ChipLayout, PlacesTheBoxByItsLeftAndBottomEdges) {
    const QRectF visible(100, 50, 600, 300);
    const QSizeF chip(60, 24);
    EXPECT_EQ(ChipLayout::topLeft(visible, 0.25, 0.1, chip), QPointF(250, 296));
    EXPECT_EQ(ChipLayout::topLeft(visible, 0, 0, chip), QPointF(100, 326));
    EXPECT_EQ(ChipLayout::topLeft(visible, 1, 1, chip), QPointF(700, 26));

    // Centring moves one coordinate so that the box's middle meets the picture's.
    const auto [dx, dy] = ChipLayout::centredHorizontally(visible, 0.25, chip);
    EXPECT_DOUBLE_EQ(dx, 0.2);
    EXPECT_EQ(dy, 0);
    EXPECT_DOUBLE_EQ(ChipLayout::topLeft(visible, 0.25 + dx, 0.1, chip).x() + chip.width() / 2,
                     visible.center().x());
    const auto [vx, vy] = ChipLayout::centredVertically(visible, 0.1, chip);
    EXPECT_EQ(vx, 0);
    EXPECT_DOUBLE_EQ(vy, 0.5 - 12.0 / 300 - 0.1);
    EXPECT_DOUBLE_EQ(ChipLayout::topLeft(visible, 0.25, 0.1 + vy, chip).y() + chip.height() / 2,
                     visible.center().y());
}

// A selected chip's buttons sit on its top corners, moved 8 points out: the toolbar's top-left
// corner 8 left of and above the chip's, the close button's top-right corner 8 right of and
// above it, neither reaching into the chip past its padding; where the canvas leaves no room
// for that above the chip, on its bottom corners the same way; kept in the canvas, the close
// button never under the toolbar.
TEST(ChipLayout, TheControlsOfASelectedChipSitOnItsTopCornersMovedOut) {
    const QSizeF toolbar(38, 19);
    const QSizeF close(15, 15);
    const QRectF canvas(0, 0, 800, 450);
    struct Case {
        const char *what;
        QRectF chip;
        ChipLayout::Controls at;
    };
    const Case cases[] = {
        // The toolbar, 19 high, reaches 8 points into the chip at most: 11 above it.
        {"inside", {100, 100, 80, 24}, {{92, 89}, {173, 92}}},
        {"the least chip", {100, 100, 60, 24}, {{92, 89}, {153, 92}}},
        // Pushed down onto the chip's text, they would cover it: below, 8 points out, no
        // higher than the padding there.
        {"at the canvas's top", {100, 3, 80, 24}, {{92, 19}, {173, 20}}},
        {"at its top edge itself", {100, 0, 80, 24}, {{92, 16}, {173, 17}}},
        {"just room above", {100, 11, 80, 24}, {{92, 0}, {173, 3}}},
        // No room below either: kept in the canvas.
        {"as high as the canvas", {100, 0, 80, 450}, {{92, 0}, {173, 0}}},
        {"at its left edge", {2, 100, 80, 24}, {{0, 89}, {75, 92}}},
        {"at its right edge", {740, 100, 60, 24}, {{732, 89}, {785, 92}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ChipLayout::Controls at =
            ChipLayout::controlsPlacement(c.chip, toolbar, close, canvas);
        EXPECT_EQ(at, c.at);
        EXPECT_FALSE(QRectF(at.toolbar, toolbar).intersects(QRectF(at.close, close)));
    }
}

// Whether an axis-aligned `line` passes through `rect`.
bool crosses(const QLineF &line, const QRectF &rect) {
    const QRectF span = QRectF(line.p1(), line.p2()).normalized();
    return span.left() <= rect.right() && span.right() >= rect.left() &&
           span.top() <= rect.bottom() && span.bottom() >= rect.top();
}

// The dashed outline of the effect's box keeps off the chip's own lines: an edge through them
// is cut around them (with the gap), the other edges stay whole.
TEST(ChipLayout, TheOutlineOfTheEffectsBoxNeverStrikesThroughTheChipsText) {
    const QRectF text(104, 108, 40, 11);
    struct Case {
        const char *what;
        QRectF box;
        // How many pieces the outline is in, and how long they are together.
        std::size_t pieces;
        double length;
    };
    const Case cases[] = {
        // The pane: the box smaller than the chip, its top edge through the text's middle.
        {"top edge through the text", {100, 113, 30, 14}, 4, 2 + 30 + 14 + 6},
        {"top edge through all of it", {100, 113, 60, 14}, 5, 2 + 14 + 60 + 14 + 14},
        // The window: the box larger than the chip and its text.
        {"around the text", {96, 100, 80, 30}, 4, 2 * 80 + 2 * 30},
        {"away from it", {300, 300, 40, 20}, 4, 2 * 40 + 2 * 20},
        {"a side through it", {120, 90, 50, 40}, 5, 2 * 50 + 40 + (40 - 15)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<QLineF> outline = ChipLayout::outlineClearOf(c.box, text, 2);
        double length = 0;
        for (const QLineF &line : outline) {
            EXPECT_FALSE(crosses(line, text.adjusted(-1.9, -1.9, 1.9, 1.9)));
            EXPECT_TRUE(c.box.adjusted(-0.01, -0.01, 0.01, 0.01).contains(line.p1()));
            EXPECT_TRUE(c.box.adjusted(-0.01, -0.01, 0.01, 0.01).contains(line.p2()));
            length += line.length();
        }
        EXPECT_EQ(outline.size(), c.pieces);
        EXPECT_NEAR(length, c.length, 1e-9);
    }
}

} // namespace
} // namespace tandrel
