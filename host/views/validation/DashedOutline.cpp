#include "host/views/validation/DashedOutline.h"

#include <QPainter>

#include <algorithm>

namespace tandrel {

void strokeDashedRoundedInside(QPainter &painter, const QRectF &rect, double radius,
                               const QColor &colour, double width, double dash) {
    const double inset = width / 2;
    const QRectF path = rect.adjusted(inset, inset, -inset, -inset);
    const double innerRadius = std::max(0.0, radius - inset);
    QPen pen(colour, width);
    // Flat ends: a square cap would lengthen each dash by half the width at both ends, eating
    // into the gaps until the outline reads almost solid.
    pen.setCapStyle(Qt::FlatCap);
    // A pen's dashes are counted in pen widths.
    pen.setDashPattern({dash / width, dash / width});
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(path, innerRadius, innerRadius);
    painter.restore();
}

} // namespace tandrel
