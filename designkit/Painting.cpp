#include "designkit/Painting.h"

#include <QPainter>

#include <algorithm>

namespace corvane {

void fillRounded(QPainter &painter, const QRectF &rect, double radius, const QColor &colour) {
    if (colour.alpha() == 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(rect, radius, radius);
    painter.restore();
}

void strokeRoundedInside(QPainter &painter, const QRectF &rect, double radius, const QColor &colour,
                         double width) {
    if (colour.alpha() == 0 || width <= 0) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, width));
    painter.setBrush(Qt::NoBrush);
    const double half = width / 2;
    painter.drawRoundedRect(rect.adjusted(half, half, -half, -half), std::max(0.0, radius - half),
                            std::max(0.0, radius - half));
    painter.restore();
}

} // namespace corvane
