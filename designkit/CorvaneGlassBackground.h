#pragma once

#include "designkit/ContentWrapper.h"
#include "designkit/CorvaneDesign.h"
#include "designkit/CorvaneMaterial.h"

#include <QColor>

#include <optional>

namespace corvane {

// What a glass background paints behind its content, back to front: the material, a black
// tint of the given strength, and for the rounded forms a 1-point hairline inside the edge.
struct GlassLayers {
    CorvaneMaterial material = CorvaneMaterial::ultraThin;
    QColor tint;
    double cornerRadius = 0; // 0: a plain rectangle
    std::optional<QColor> border;

    friend bool operator==(const GlassLayers &, const GlassLayers &) = default;
};

// A wrapper that paints glass layers behind its content.
class GlassWrapper : public ContentWrapper {
    Q_OBJECT

public:
    const GlassLayers &glassLayers() const { return layers_; }

protected:
    GlassWrapper(QWidget *content, GlassLayers layers, QWidget *parent);
    void paintEvent(QPaintEvent *event) override;

private:
    GlassLayers layers_;
};

// The glass behind content of any size: rounded, hairline white at 0.08.
class CorvaneGlassBackground : public GlassWrapper {
    Q_OBJECT

public:
    CorvaneGlassBackground(QWidget *content, double cornerRadius, double opacity,
                           QWidget *parent = nullptr);
    static GlassLayers layers(double cornerRadius, double opacity);
};

// The glass of small, dense surfaces: the same with a stronger hairline (white at 0.10).
class CorvaneGlassBackgroundCompact : public GlassWrapper {
    Q_OBJECT

public:
    CorvaneGlassBackgroundCompact(QWidget *content, double cornerRadius, double opacity,
                                  QWidget *parent = nullptr);
    static GlassLayers layers(double cornerRadius, double opacity);
};

// Glass to the edges of the window: a plain rectangle without hairline.
class CorvaneGlassBackgroundEdgeToEdge : public GlassWrapper {
    Q_OBJECT

public:
    CorvaneGlassBackgroundEdgeToEdge(QWidget *content, double opacity, QWidget *parent = nullptr);
    static GlassLayers layers(double opacity);
};

// Paints `layers` into `rect` of `painter` (also used by other kit surfaces).
void paintGlass(QPainter &painter, const QRectF &rect, const GlassLayers &layers);

// The operations that put glass behind `content`; the wrapper takes the content's place.
CorvaneGlassBackground *corvaneGlass(QWidget *content,
                                     double cornerRadius = CorvaneDesign::CornerRadius::panel,
                                     double opacity = 0.3);
CorvaneGlassBackgroundCompact *
corvaneGlassCompact(QWidget *content, double cornerRadius = CorvaneDesign::CornerRadius::card,
                    double opacity = 0.3);
CorvaneGlassBackgroundEdgeToEdge *corvaneGlassEdgeToEdge(QWidget *content, double opacity = 0.3);

} // namespace corvane
