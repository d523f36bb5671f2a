#include "designkit/CorvaneTooltipPositioning.h"

#include "designkit/CorvaneTransparentWindow.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace corvane {

QRectF CorvaneTooltipPositioning::infiniteRect() {
    constexpr double origin = -4.4942328371557893e307;
    constexpr double extent = 8.988465674311579e307;
    return QRectF(origin, origin, extent, extent);
}

QRectF CorvaneTooltipPositioning::currentContainerBounds(QWidget *anchor) {
    if (const QWidget *active = QApplication::activeWindow()) {
        return QRectF(QPointF(0, 0), active->size());
    }
    if (const QWidget *window = hostingWindow(anchor)) {
        return QRectF(QPointF(0, 0), window->size());
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        return screen->availableGeometry();
    }
    return infiniteRect();
}

double CorvaneTooltipPositioning::horizontalCorrection(const QRectF &anchorFrame,
                                                       const QSizeF &pillSize,
                                                       const QRectF &container) {
    const double width = pillSize.width();
    if (!(width > 0) || !(container.width() > 0)) {
        return 0;
    }
    const double middle = anchorFrame.center().x();
    const double left = middle - width / 2;
    const double right = middle + width / 2;
    if (left < container.left() + margin) {
        return container.left() + margin - left;
    }
    if (right > container.right() - margin) {
        return container.right() - margin - right;
    }
    return 0;
}

QRectF CorvaneTooltipPositioning::pillFrame(const QRectF &anchorFrame, const QSizeF &pillSize,
                                            Edge edge, double correction,
                                            std::optional<double> oneLineHeight) {
    const double x = anchorFrame.center().x() - pillSize.width() / 2 + correction;
    // How much taller than one line the pill is: it grows by that away from the anchor.
    const double extra =
        std::max(0.0, pillSize.height() - oneLineHeight.value_or(pillSize.height()));
    const double y = edge == Edge::top
                         ? anchorFrame.top() - verticalOffset - extra
                         : anchorFrame.bottom() + verticalOffset - pillSize.height() + extra;
    return QRectF(QPointF(x, y), pillSize);
}

Edge CorvaneTooltipPositioning::fittingEdge(const QRectF &anchorFrame, const QSizeF &pillSize,
                                            Edge edge, double oneLineHeight, const QRectF &window) {
    const auto fits = [&](Edge side) {
        const QRectF frame = pillFrame(anchorFrame, pillSize, side, 0, oneLineHeight);
        return frame.top() >= window.top() && frame.bottom() <= window.bottom();
    };
    const Edge other = edge == Edge::top ? Edge::bottom : Edge::top;
    return !fits(edge) && fits(other) ? other : edge;
}

} // namespace corvane
