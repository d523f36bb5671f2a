#include "host/views/preview/ChipLayout.h"

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

TEST(ChipLayout, ShowsTheTextOfASampleFrameOrTheLabelWithSampleLayersForStackableFields) {
    struct Case {
        const char *name;
        BurnInElement element;
        bool showStackedLayers;
        Lines lines;
        bool block;
    };
    const Case cases[] = {
        // The text the effect draws: the label and the value, as wide as on a real frame.
        {"label and value",
         element(MetadataField::sourceTC, "TC:"),
         false,
         {"TC: 01:00:00:00"},
         false},
        {"stacked",
         element(MetadataField::sourceTC, "TC:"),
         true,
         {"TC: 01:00:00:00", "V2 (sample)", "V3 (sample)"},
         true},
        {"empty label",
         element(MetadataField::clipName, ""),
         false,
         {"A001C001_250101_ABCD"},
         false},
        {"empty label, stacked",
         element(MetadataField::sourceFrame, ""),
         true,
         {"86400", "V2 (sample)", "V3 (sample)"},
         true},
        {"a change the frame shows",
         element(MetadataField::speed, "Speed:"),
         false,
         {"Speed: 50%"},
         false},
        {"not stackable", element(MetadataField::custom, "Hello"), true, {"Hello"}, false},
        // Which roles are active only a timeline knows: the label, else the field's name.
        {"no text on the sample frame",
         element(MetadataField::roleText, "Temp ADR"),
         false,
         {"Temp ADR"},
         false},
        {"no text and no label", element(MetadataField::roleText, ""), false, {"Role Text"}, false},
        {"a label of two lines stays one title",
         element(MetadataField::notes, "a\nb"),
         false,
         {"a\nb Note"},
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChipLayout::displayLines(c.element, c.showStackedLayers), c.lines);
        EXPECT_EQ(ChipLayout::isBlock(c.element, c.showStackedLayers), c.block);
    }
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

TEST(ChipLayout, ChipsAreTheEffectsTextBoxAtTheCanvasScale) {
    // The text measured at its size in frame pixels, rounded up, with 8 pixels of padding a
    // side, then scaled: the box is the same fraction of the frame on any canvas.
    FakeMeasure measure;
    struct Case {
        Lines lines;
        double scale;
        QSizeF size;
    };
    const Case cases[] = {
        {{"A"}, 1, {7 + 16, 14 + 16}},
        {{"A"}, 0.25, {(7 + 16) * 0.25, (14 + 16) * 0.25}}, // no minimum at a small scale
        {{"Scene 12 / Take 3"}, 0.5, {(17 * 7 + 16) * 0.5, (14 + 16) * 0.5}},
        {{"TC:", "V2 (sample)", "V3 (sample)"}, 2, {(11 * 7 + 16) * 2, (3 * 14 + 2 * 2 + 16) * 2}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ChipLayout::chipSize(c.lines, 12, c.scale, measure.function()), c.size);
    }
    EXPECT_EQ(measure.askedText, "TC:\nV2 (sample)\nV3 (sample)");
    EXPECT_DOUBLE_EQ(measure.askedSize, 12); // frame pixels, whatever the scale

    // Fractions of a pixel round up before the scale.
    const ChipLayout::TextMeasure fractional = [](std::string_view, double) {
        return QSizeF(100.2, 20.01);
    };
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, 0.5, fractional), QSizeF(58.5, 18.5));
    // A size the effect draws nothing at keeps only the padding; a collapsed canvas, nothing.
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 0, 1, fractional), QSizeF(16, 16));
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, 0, fractional), QSizeF(0, 0));
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, std::numeric_limits<double>::quiet_NaN(), fractional),
              QSizeF(0, 0));
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

// A selected chip's buttons stand clear of its text: 2 points above the box (below it where
// there is no room above), the toolbar from 8 points left of it, the close button to 8 points
// right of it and never under the toolbar, within the canvas across.
TEST(ChipLayout, TheControlsOfASelectedChipStandClearOfItsText) {
    const QSizeF toolbar(38, 19);
    const QSizeF close(15, 15);
    const QRectF canvas(0, 0, 800, 450);
    struct Case {
        const char *what;
        QRectF box;
        ChipLayout::Controls at;
    };
    const Case cases[] = {
        {"above", {100, 100, 40, 10}, {{92, 79}, {133, 83}}},
        {"a narrow box: beside the toolbar", {100, 100, 10, 10}, {{92, 79}, {132, 83}}},
        {"at the canvas's top: below", {100, 5, 40, 10}, {{92, 17}, {133, 17}}},
        {"at its left edge", {2, 100, 40, 10}, {{0, 79}, {40, 83}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ChipLayout::Controls at =
            ChipLayout::controlsPlacement(c.box, toolbar, close, canvas);
        EXPECT_EQ(at, c.at);
        EXPECT_FALSE(QRectF(at.toolbar, toolbar).intersects(c.box));
        EXPECT_FALSE(QRectF(at.close, close).intersects(c.box));
    }
}

} // namespace
} // namespace tandrel
