#pragma once

#include "core/model/BurnInElement.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel {

// What an element's chip on the position preview shows and how large it is drawn. A chip names
// its element (its label, or the field's name; sample rows for a stacked-layer block) in the
// monospaced font at the element's size scaled into the canvas, never under 9 points, in a box
// with 8 points around the text and at least 60 × 24 points, so that it can be read and
// grasped on a small canvas. Where it stands is the effect's: its left and bottom edges are
// those of the box the effect draws the element's text in (RenderBox), placed by the effect's
// own rule (ElementPlacement); the chip grows from that corner to the right and up, and moves
// back in where that would carry it out of the canvas.
class ChipLayout {
public:
    // Room around the text on each side, in points, and the text's inset across inside it.
    static constexpr double padding = 8;
    static constexpr double textInset = 4;
    // Between the lines of a text, in points.
    static constexpr double lineSpacing = 2;
    // The smallest text and box a chip is drawn with, in points.
    static constexpr double minimumTextSize = 9;
    static constexpr double minimumWidth = 60;
    static constexpr double minimumHeight = 24;

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

    // The chip's text lines: the sample rows of a stacked-layer block; else the element's label,
    // or the field's name when it has none, followed by two sample lower layers for a
    // stackable field while the preset shows stacked layers.
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

    // The lines a chip draws: a block's all, else the first with "…" in place of the rest.
    static std::vector<std::string> shownLines(const std::vector<std::string> &lines, bool isBlock);
    // The size of the chip's text in points: the element's size at the canvas's scale, at
    // least minimumTextSize.
    static double textSize(double fontSize, double scale);
    // The chip's box in points: its shown lines measured at textSize(), rounded up, with the
    // padding, at least minimumWidth × minimumHeight.
    static QSizeF chipSize(const std::vector<std::string> &shownLines, double fontSize,
                           double scale, const TextMeasure &measure);
    // The chip's box in the canvas for the effect's box `renderBox`: their left and bottom
    // edges are one, unless that would carry the chip past the right or top edge of `bounds`
    // (where it can be seen): then it moves back in just far enough, no narrower than `bounds`.
    static QRectF chipRect(const QRectF &renderBox, const QSizeF &chipSize, const QRectF &bounds);

    // Where the effect draws a box of `boxSize` stored at (posX, posY): the position, as
    // fractions of `visibleRect`, after the effect's placement has kept the box inside the
    // visible picture (when constrained) and inside `frameRect`. The stored position itself
    // when neither moves it.
    static std::pair<double, double> placedPosition(const QRectF &frameRect,
                                                    const QRectF &visibleRect, double posX,
                                                    double posY, const QSizeF &boxSize,
                                                    bool constrainToVisiblePicture);

    // A box's top-left corner in canvas points: its left edge posX and its bottom edge posY
    // of the way into `visibleRect` (the bottom edge measured up).
    static QPointF topLeft(const QRectF &visibleRect, double posX, double posY,
                           const QSizeF &boxSize);
    // The position changes that centre a box in the visible picture across and up, the other
    // coordinate unchanged.
    static std::pair<double, double> centredHorizontally(const QRectF &visibleRect, double posX,
                                                         const QSizeF &boxSize);
    static std::pair<double, double> centredVertically(const QRectF &visibleRect, double posY,
                                                       const QSizeF &boxSize);

    // Where a selected chip's centring toolbar and close button go, as top-left corners.
    struct Controls {
        QPointF toolbar;
        QPointF close;
        friend bool operator==(const Controls &, const Controls &) = default;
    };
    // On the chip's top corners, moved 8 points out: the toolbar's top-left corner 8 points
    // left of and above the chip's, the close button's top-right corner 8 points right of and
    // above the chip's; a control taller than that reaches into the chip no further than its
    // padding, clear of its text. Where `bounds` (where they can be seen) leave no room above
    // the chip for that, as at the frame's top edge, they sit on its bottom corners the same
    // way, 8 points out and down. Where they would cover text of `keepClear` (the other chips'
    // lines) there, they go where they cover none: on its bottom corners, else beside it, 8
    // points out to the right or to the left, the toolbar first; where none is, they stay on
    // the top corners (the bottom ones at the top edge). Kept within `bounds`, the close button
    // never under the toolbar.
    static Controls controlsPlacement(const QRectF &chip, const QSizeF &toolbar,
                                      const QSizeF &close, const QRectF &bounds,
                                      const std::vector<QRectF> &keepClear = {});

    // Where a chip's lines of `textSize` are drawn in `chip`: inset across and aligned as the
    // element aligns its text, in the middle of the chip's height.
    static QRectF textRect(const QRectF &chip, const QSizeF &textSize,
                           BurnInTextAlignment alignment);
    // The edges of the effect's box `box` as a selected chip outlines it: whole, but for what
    // would cross `text` (the chip's own lines) or pass within `gap` of them, left out so that
    // the outline never strikes through them.
    static std::vector<QLineF> outlineClearOf(const QRectF &box, const QRectF &text, double gap);
};

} // namespace tandrel
