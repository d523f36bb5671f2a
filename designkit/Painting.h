#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace corvane {

// Fills `rect` rounded by `radius`: a capsule, or a circle, when the radius is half the short
// side; a plain rectangle at 0.
void fillRounded(QPainter &painter, const QRectF &rect, double radius, const QColor &colour);

// A border of `width` stroked inside the edge of the same rounded rectangle, as the kit's
// hairlines are: nothing of it falls outside `rect`.
void strokeRoundedInside(QPainter &painter, const QRectF &rect, double radius, const QColor &colour,
                         double width = 1);

} // namespace corvane
