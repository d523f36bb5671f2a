#include "designkit/CorvaneHudBackground.h"

#include "designkit/Color.h"

namespace corvane {

CorvaneHudBackground::CorvaneHudBackground(QWidget *content, const QColor &color, double opacity,
                                           QWidget *parent)
    : GlassWrapper(content, layers(color, opacity), parent) {}

GlassLayers CorvaneHudBackground::layers(const QColor &color, double opacity) {
    return {CorvaneMaterial::hudWindow, withOpacity(color, opacity), 0, std::nullopt};
}

CorvaneHudBackground *corvaneHudBackground(QWidget *content, const QColor &color, double opacity) {
    return new CorvaneHudBackground(content, color, opacity);
}

} // namespace corvane
