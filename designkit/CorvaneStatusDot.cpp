#include "designkit/CorvaneStatusDot.h"

#include "designkit/Color.h"
#include "designkit/Painting.h"

#include <QPainter>

#include <cmath>

namespace corvane {

CorvaneStatusDot::CorvaneStatusDot(const QColor &color, double size, bool glow, QWidget *parent)
    : QWidget(parent), color_(color), size_(size), glow_(glow) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    applyShadow(this, glowShadow(color_, glow));
}

void CorvaneStatusDot::setColor(const QColor &color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    if (glow_) {
        applyShadow(this, glowShadow(color_, glow_));
    }
    update();
}

Shadow CorvaneStatusDot::glowShadow(const QColor &color, bool glow) {
    if (!glow) {
        return {Color::clear(), 0, {0, 0}};
    }
    return {withOpacity(color, 0.5), 4, {0, 0}};
}

QSize CorvaneStatusDot::sizeHint() const {
    const int side = static_cast<int>(std::ceil(size_));
    return {side, side};
}

void CorvaneStatusDot::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    fillRounded(painter, QRectF((width() - size_) / 2, (height() - size_) / 2, size_, size_),
                size_ / 2, color_);
}

} // namespace corvane
