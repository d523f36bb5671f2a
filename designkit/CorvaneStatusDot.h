#pragma once

#include "designkit/Shadow.h"

#include <QColor>
#include <QWidget>

namespace corvane {

// A filled circle of `color`; with `glow`, a soft halo of the same colour around it.
class CorvaneStatusDot : public QWidget {
    Q_OBJECT

public:
    CorvaneStatusDot(const QColor &color, double size, bool glow, QWidget *parent = nullptr);

    // The halo: the colour at 0.5, radius 4, unshifted; without glow a clear one of radius 0.
    static Shadow glowShadow(const QColor &color, bool glow);

    QColor color() const { return color_; }
    // Repaints the dot, and its halo when it glows, in `color`.
    void setColor(const QColor &color);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_;
    double size_;
    bool glow_;
};

} // namespace corvane
