#pragma once

#include "designkit/CorvaneGlassBackground.h"

#include <QColor>

namespace corvane {

// The HUD window material behind content, under a rectangle of `color` at `opacity`, to the
// edges of the wrapper.
class CorvaneHudBackground : public GlassWrapper {
    Q_OBJECT

public:
    CorvaneHudBackground(QWidget *content, const QColor &color, double opacity,
                         QWidget *parent = nullptr);
    static GlassLayers layers(const QColor &color, double opacity);
};

// Puts the HUD background behind `content`; the wrapper takes the content's place.
CorvaneHudBackground *corvaneHudBackground(QWidget *content, const QColor &color, double opacity);

} // namespace corvane
