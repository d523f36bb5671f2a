#include "designkit/CorvaneGlassBackground.h"

#include "designkit/Color.h"
#include "designkit/Painting.h"

#include <QPainter>

namespace corvane {

void paintGlass(QPainter &painter, const QRectF &rect, const GlassLayers &layers) {
    fillRounded(painter, rect, layers.cornerRadius, layers.material.fill());
    fillRounded(painter, rect, layers.cornerRadius, layers.tint);
    if (layers.border) {
        strokeRoundedInside(painter, rect, layers.cornerRadius, *layers.border);
    }
}

GlassWrapper::GlassWrapper(QWidget *content, GlassLayers layers, QWidget *parent)
    : ContentWrapper(content, parent), layers_(std::move(layers)) {}

void GlassWrapper::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintGlass(painter, rect(), layers_);
}

CorvaneGlassBackground::CorvaneGlassBackground(QWidget *content, double cornerRadius,
                                               double opacity, QWidget *parent)
    : GlassWrapper(content, layers(cornerRadius, opacity), parent) {}

GlassLayers CorvaneGlassBackground::layers(double cornerRadius, double opacity) {
    return {CorvaneMaterial::ultraThin, withOpacity(Color::black(), opacity), cornerRadius,
            withOpacity(Color::white(), 0.08)};
}

CorvaneGlassBackgroundCompact::CorvaneGlassBackgroundCompact(QWidget *content, double cornerRadius,
                                                             double opacity, QWidget *parent)
    : GlassWrapper(content, layers(cornerRadius, opacity), parent) {}

GlassLayers CorvaneGlassBackgroundCompact::layers(double cornerRadius, double opacity) {
    return {CorvaneMaterial::ultraThin, withOpacity(Color::black(), opacity), cornerRadius,
            withOpacity(Color::white(), 0.10)};
}

CorvaneGlassBackgroundEdgeToEdge::CorvaneGlassBackgroundEdgeToEdge(QWidget *content, double opacity,
                                                                   QWidget *parent)
    : GlassWrapper(content, layers(opacity), parent) {}

GlassLayers CorvaneGlassBackgroundEdgeToEdge::layers(double opacity) {
    return {CorvaneMaterial::ultraThin, withOpacity(Color::black(), opacity), 0, std::nullopt};
}

CorvaneGlassBackground *corvaneGlass(QWidget *content, double cornerRadius, double opacity) {
    return new CorvaneGlassBackground(content, cornerRadius, opacity);
}

CorvaneGlassBackgroundCompact *corvaneGlassCompact(QWidget *content, double cornerRadius,
                                                   double opacity) {
    return new CorvaneGlassBackgroundCompact(content, cornerRadius, opacity);
}

CorvaneGlassBackgroundEdgeToEdge *corvaneGlassEdgeToEdge(QWidget *content, double opacity) {
    return new CorvaneGlassBackgroundEdgeToEdge(content, opacity);
}

} // namespace corvane
