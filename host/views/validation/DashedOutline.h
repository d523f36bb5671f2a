#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tandrel {

// The outline of a drop zone: a rounded rectangle stroked `width` wide inside `rect`'s edge,
// `dash` points drawn, then `dash` points left out, all the way round.
void strokeDashedRoundedInside(QPainter &painter, const QRectF &rect, double radius,
                               const QColor &colour, double width, double dash);

} // namespace tandrel
