#include "designkit/CorvaneVisualEffectView.h"

#include <QPainter>

namespace corvane {

CorvaneVisualEffectView::CorvaneVisualEffectView(CorvaneMaterial material,
                                                 CorvaneBlendingMode blendingMode, QWidget *parent)
    : QWidget(parent), material_(material), blendingMode_(blendingMode) {}

void CorvaneVisualEffectView::setMaterial(CorvaneMaterial material) {
    material_ = material;
    update();
}

void CorvaneVisualEffectView::setBlendingMode(CorvaneBlendingMode blendingMode) {
    blendingMode_ = blendingMode;
    update();
}

void CorvaneVisualEffectView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), material_.fill());
}

} // namespace corvane
