#include "designkit/Shadow.h"

#include <QGraphicsDropShadowEffect>
#include <QWidget>

namespace corvane {

bool Shadow::isVisible() const {
    return color.alpha() > 0 && (radius > 0 || !offset.isNull());
}

void applyShadow(QWidget *view, const Shadow &shadow) {
    if (!shadow.isVisible()) {
        view->setGraphicsEffect(nullptr);
        return;
    }
    auto *effect = new QGraphicsDropShadowEffect(view);
    effect->setColor(shadow.color);
    // The radius is the extent of the blur; Qt's blur radius spans both sides of the edge.
    effect->setBlurRadius(shadow.radius * 2);
    effect->setOffset(shadow.offset);
    view->setGraphicsEffect(effect);
}

} // namespace corvane
