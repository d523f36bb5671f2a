#pragma once

#include "designkit/CorvaneMaterial.h"

#include <QWidget>

#include <cstdint>

namespace corvane {

// Whether a material stands for what lies behind the window or for the window's own content
// behind the view. Both are painted as the same translucent fill here: no blur is drawn.
class CorvaneBlendingMode {
public:
    enum Case : uint8_t { behindWindow, withinWindow };

    constexpr CorvaneBlendingMode(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

private:
    Case value_;
};

// A material as a view: paints the material's fill over its whole rectangle, always as the
// active form, whatever the window's focus. Children lie over it.
class CorvaneVisualEffectView : public QWidget {
    Q_OBJECT

public:
    CorvaneVisualEffectView(CorvaneMaterial material, CorvaneBlendingMode blendingMode,
                            QWidget *parent = nullptr);

    CorvaneMaterial material() const { return material_; }
    CorvaneBlendingMode blendingMode() const { return blendingMode_; }
    void setMaterial(CorvaneMaterial material);
    void setBlendingMode(CorvaneBlendingMode blendingMode);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CorvaneMaterial material_;
    CorvaneBlendingMode blendingMode_;
};

} // namespace corvane
