#include "host/views/layout/ElementColor.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

double unit(float component) {
    const double value = component;
    return std::isfinite(value) ? std::clamp(value, 0.0, 1.0) : 0.0;
}

} // namespace

std::optional<std::array<double, 3>> ElementColor::sRGBComponents(const QColor &colour) {
    if (!colour.isValid()) {
        return std::nullopt;
    }
    // QColor converts HSV, HSL and CMYK into sRGB; extended-range components pass through
    // unclamped and are clamped here.
    const QColor rgb = colour.toExtendedRgb();
    return std::array<double, 3>{unit(rgb.redF()), unit(rgb.greenF()), unit(rgb.blueF())};
}

bool ElementColor::apply(BurnInElement &element, const QColor &colour, bool background) {
    const std::optional<std::array<double, 3>> rgb = sRGBComponents(colour);
    if (!rgb) {
        return false;
    }
    const auto [red, green, blue] = *rgb;
    if (background) {
        element.bgR = red;
        element.bgG = green;
        element.bgB = blue;
    } else {
        element.textR = red;
        element.textG = green;
        element.textB = blue;
    }
    return true;
}

} // namespace tandrel
