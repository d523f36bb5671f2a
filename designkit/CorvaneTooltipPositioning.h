#pragma once

#include "designkit/Edge.h"

#include <QRectF>
#include <QSizeF>

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

    // The pill's frame: centred on the anchor and shifted by `correction`; for `top` its top
    // 30 points above the anchor's top, for every other edge its bottom 30 points below the
    // anchor's bottom.
    static QRectF pillFrame(const QRectF &anchorFrame, const QSizeF &pillSize, Edge edge,
                            double correction);
};

} // namespace corvane
