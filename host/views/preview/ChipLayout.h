#pragma once

#include "core/model/BurnInElement.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel {

// What an element's chip on the position preview shows and how large it is. A chip is an
// approximation of the plug-in's text: it has the plug-in's anchor (its left and bottom edges
// at posX, posY of the visible picture) and measure (the monospaced font at medium weight,
// line spacing 2, 8 points of padding a side), but it shows the element's label or field name
// rather than the frame's text, keeps its padding in points whatever the scale, and is never
// smaller than 9-point text in a 60 × 24 box.
class ChipLayout {
public:
    static constexpr double minimumFontSize = 9;
    static constexpr double minimumWidth = 60;
    static constexpr double minimumHeight = 24;
    // Padding on each side, as the plug-in's 8.
    static constexpr double padding = 8;
    // Between the lines of a text.
    static constexpr double lineSpacing = 2;

    // The size of `text` (lines joined with "\n") laid out in the monospaced font at medium
    // weight, `pixelSize` canvas points, with `lineSpacing` between lines: the widest line and
    // the lines' height. Injected: the views measure with Qt, tests with whatever shows a fault.
    using TextMeasure = std::function<QSizeF(std::string_view text, double pixelSize)>;

    // One sample row of a stacked-layer block: its left and right cells.
    struct SampleRow {
        std::string left;
        std::string right;
        friend bool operator==(const SampleRow &, const SampleRow &) = default;
    };

    // The chip's text lines: the sample rows of a stacked-layer block; else the label (the
    // field's name when it is empty), followed by two sample lower layers for a stackable
    // field while the preset shows stacked layers.
    static std::vector<std::string> displayLines(const BurnInElement &element,
                                                 bool showStackedLayers);
    // The block field's sample rows as (left, right) cells, tagged with the element's labels
    // on the sides its column and prefix options say.
    static std::vector<SampleRow> sampleRows(const BurnInElement &element);
    // Rows as lines: only the left cells when every right cell is empty, only the right ones
    // when every left cell is, else the right cells ending in one column, at least one blank
    // after the left cell. Lengths count user-perceived characters.
    static std::vector<std::string> formatSampleBlock(const std::vector<SampleRow> &rows);
    // Whether the chip shows all its lines (a block) or one.
    static bool isBlock(const BurnInElement &element, bool showStackedLayers);
    // The two stacked-layer block fields, which show sample rows.
    static bool isBlockField(MetadataField field);

    // The chip's text size in canvas points: the element's size in frame pixels at `scale`,
    // at least the minimum.
    static double fontPixelSize(double fontSize, double scale);
    // The chip's box: the measured text rounded up, plus the padding, at least the minimum box.
    static QSizeF chipSize(const std::vector<std::string> &lines, double pixelSize,
                           const TextMeasure &measure);

    // The box's top-left corner in canvas points: its left edge posX and its bottom edge posY
    // of the way into `visibleRect` (the bottom edge measured up).
    static QPointF topLeft(const QRectF &visibleRect, double posX, double posY,
                           const QSizeF &chipSize);
    // The position changes that centre the box in the visible picture across and up, the
    // other coordinate unchanged.
    static std::pair<double, double> centredHorizontally(const QRectF &visibleRect, double posX,
                                                         const QSizeF &chipSize);
    static std::pair<double, double> centredVertically(const QRectF &visibleRect, double posY,
                                                       const QSizeF &chipSize);
};

} // namespace tandrel
