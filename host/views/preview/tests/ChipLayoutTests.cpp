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

TEST(ChipLayout, ShowsTheLabelOrTheFieldsNameWithSampleLayersForStackableFields) {
    struct Case {
        const char *name;
        BurnInElement element;
        bool showStackedLayers;
        Lines lines;
        bool block;
    };
    const Case cases[] = {
        {"label", element(MetadataField::sourceTC, "TC:"), false, {"TC:"}, false},
        {"stacked",
         element(MetadataField::sourceTC, "TC:"),
         true,
         {"TC:", "V2 (sample)", "V3 (sample)"},
         true},
        {"empty label", element(MetadataField::clipName, ""), false, {"Clip Name"}, false},
        {"empty label, stacked",
         element(MetadataField::sourceFrame, ""),
         true,
         {"Source Frame", "V2 (sample)", "V3 (sample)"},
         true},
        {"not stackable", element(MetadataField::custom, "Hello"), true, {"Hello"}, false},
        {"a label of two lines stays one title",
         element(MetadataField::notes, "a\nb"),
         false,
         {"a\nb"},
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

TEST(ChipLayout, ChipsMeasureTheirTextWithPaddingAndMinimums) {
    FakeMeasure measure;
    // Font size 12 at scale 0.5 measures at the 9-point minimum, not 6.
    EXPECT_DOUBLE_EQ(ChipLayout::fontPixelSize(12, 0.5), 9);
    EXPECT_DOUBLE_EQ(ChipLayout::fontPixelSize(24, 1.5), 36);
    EXPECT_DOUBLE_EQ(ChipLayout::fontPixelSize(24, std::numeric_limits<double>::quiet_NaN()), 9);

    struct Case {
        Lines lines;
        QSizeF size;
    };
    const Case cases[] = {
        {{"A"}, {60, 30}},                          // the minimum width
        {{"Scene 12 / Take 3"}, {17 * 7 + 16, 30}}, // 119 + 16 wide, 14 + 16 high
        {{"TC:", "V2 (sample)", "V3 (sample)"}, {11 * 7 + 16, 3 * 14 + 2 * 2 + 16}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ChipLayout::chipSize(c.lines, 9, measure.function()), c.size);
    }
    EXPECT_EQ(measure.askedText, "TC:\nV2 (sample)\nV3 (sample)");
    EXPECT_DOUBLE_EQ(measure.askedSize, 9);
    // Fractions of a point round up.
    const ChipLayout::TextMeasure fractional = [](std::string_view, double) {
        return QSizeF(100.2, 20.01);
    };
    EXPECT_EQ(ChipLayout::chipSize({"x"}, 12, fractional), QSizeF(117, 37));
    const ChipLayout::TextMeasure tiny = [](std::string_view, double) { return QSizeF(3, 5); };
    EXPECT_EQ(ChipLayout::chipSize({"."}, 9, tiny), QSizeF(60, 24));
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

} // namespace
} // namespace tandrel
