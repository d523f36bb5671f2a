#pragma once

#include "designkit/Edge.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

class QWidget;

namespace corvane {

// Where a tooltip pill goes: centred on its anchor, above or below it, and pushed sideways
// to stay 8 points inside its container.
class CorvaneTooltipPositioning {
public:
    CorvaneTooltipPositioning() = delete;

    // How far the pill is moved from above or below the anchor's edge.
    static constexpr double verticalOffset = 30;
    // How far inside the container's sides the pill is kept.
    static constexpr double margin = 8;

    // The rectangle the platform answers for "no bounds": no pill is ever moved inside it.
    static QRectF infiniteRect();

    // The area the pill stays in: the active window's bounds, else those of the anchor's
    // window, else the primary screen's available area, else the infinite rectangle.
    static QRectF currentContainerBounds(QWidget *anchor = nullptr);

    // The sideways shift of a pill of `pillSize` centred on `anchorFrame`: none when either
    // the pill or the container has no width; else what brings its left side 8 points inside
    // the container, or failing that its right side. The left side wins, so a pill wider
    // than the container less 16 points sits at the left margin and runs over the right.
    static double horizontalCorrection(const QRectF &anchorFrame, const QSizeF &pillSize,
                                       const QRectF &container);

    // The pill's frame: centred on the anchor and shifted by `correction`; a pill of one line
    // (`oneLineHeight` high) has, for `top`, its top 30 points above the anchor's top, for
    // every other edge its bottom 30 points below the anchor's bottom. A taller pill grows
    // away from the anchor from there, so that its text never covers the control it tells
    // about: below, its first line stays where a one-line pill's is; above, its last line.
    // Without `oneLineHeight` every pill is placed as one of one line.
    static QRectF pillFrame(const QRectF &anchorFrame, const QSizeF &pillSize, Edge edge,
                            double correction, std::optional<double> oneLineHeight = {});

    // The edge the pill goes to: `edge`, unless there the pill would run out of `window`, the
    // window that clips it, while on the other side of the anchor it fits (a control at the
    // window's foot shows its tooltip above it rather than none).
    static Edge fittingEdge(const QRectF &anchorFrame, const QSizeF &pillSize, Edge edge,
                            double oneLineHeight, const QRectF &window);
};

} // namespace corvane
