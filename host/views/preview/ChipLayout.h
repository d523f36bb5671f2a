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

// What an element's chip on the position preview shows and how large it is. A chip is the
// effect's text box in miniature: the text the element draws on a sample frame (its label or
// field name where that frame draws nothing, sample rows for a stacked-layer block), measured
// as the effect measures it (the monospaced font at medium weight at the element's size in
// frame pixels, lines 2 apart, 8 pixels of padding a side) and scaled into the canvas. Its box
// is thus the same fraction of the frame at any canvas size, and it is placed by the effect's
// own rule (ElementPlacement), so the preview shows where the text burns in.
class ChipLayout {
public:
    // Padding on each side, in frame pixels, as the effect's 8.
    static constexpr double padding = 8;
    // Between the lines of a text, in frame pixels.
    static constexpr double lineSpacing = 2;

    // The size of `text` (lines joined with "\n") laid out in the monospaced font at medium
    // weight, `pixelSize` pixels, with `lineSpacing` between lines: the widest line and the
    // lines' height. Injected: the views measure with Qt, tests with whatever shows a fault.
    using TextMeasure = std::function<QSizeF(std::string_view text, double pixelSize)>;

    // One sample row of a stacked-layer block: its left and right cells.
    struct SampleRow {
        std::string left;
        std::string right;
        friend bool operator==(const SampleRow &, const SampleRow &) = default;
    };

    // The chip's text lines: the sample rows of a stacked-layer block; else the element's text
    // on the sample frame (ChipSampleFrame), or its label, or the field's name, the first of
    // them that is not empty; followed by two sample lower layers for a stackable field while
    // the preset shows stacked layers.
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

    // The chip's box in canvas points: the text measured at `fontSize` frame pixels, rounded
    // up, with the padding, all at `scale` canvas points a pixel. Nothing for a scale that is
    // not above 0; only the padding for a size the effect draws nothing at.
    static QSizeF chipSize(const std::vector<std::string> &lines, double fontSize, double scale,
                           const TextMeasure &measure);

    // Where the effect draws a box of `chipSize` stored at (posX, posY): the position, as
    // fractions of `visibleRect`, after the effect's placement has kept the box inside the
    // visible picture (when constrained) and inside `frameRect`. The stored position itself
    // when neither moves it.
    static std::pair<double, double> placedPosition(const QRectF &frameRect,
                                                    const QRectF &visibleRect, double posX,
                                                    double posY, const QSizeF &chipSize,
                                                    bool constrainToVisiblePicture);

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

    // Where a selected chip's centring toolbar and close button go, as top-left corners.
    struct Controls {
        QPointF toolbar;
        QPointF close;
        friend bool operator==(const Controls &, const Controls &) = default;
    };
    // Out of the text's way: the box is the text at true scale, often only a few points high,
    // so the controls stand beside it rather than on it. The toolbar begins 8 points left of
    // the box's left edge and the close button ends 8 points right of its right edge, as they
    // would on a chip with a padding of 8 points, both 2 points above the box; below it when
    // `bounds` (where they can be seen) has no room above. Within `bounds` across, and the
    // close button never under the toolbar.
    static Controls controlsPlacement(const QRectF &box, const QSizeF &toolbar, const QSizeF &close,
                                      const QRectF &bounds);
};

} // namespace tandrel
