#pragma once

#include <QColor>
#include <QPointF>

class QWidget;

namespace corvane {

// One drop shadow: a colour (its opacity included), a blur radius in points and an offset.
struct Shadow {
    QColor color;
    double radius = 0;
    QPointF offset;

    // A clear or unblurred, unshifted shadow draws nothing.
    bool isVisible() const;
    friend bool operator==(const Shadow &, const Shadow &) = default;
};

// Gives `view` the shadow, drawn outside its bounds over its parent, or takes its shadow away
// when the shadow is not visible. A widget has one graphics effect: this replaces any other.
void applyShadow(QWidget *view, const Shadow &shadow);

} // namespace corvane
