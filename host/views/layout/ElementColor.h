#pragma once

#include "core/model/BurnInElement.h"

#include <QColor>

#include <array>
#include <optional>

namespace tandrel {

// How a picked colour becomes an element's text or background colour. An element keeps red,
// green and blue from 0 to 1 in sRGB, and its opacities apart; so a picked colour of any kind
// (grey, HSV, CMYK, extended-range RGB) is converted to sRGB first and clamped into 0 … 1,
// and its own opacity is never taken. An invalid colour (a cancelled picker gives none) writes
// nothing. The bulk style panel and the element editor both use it.
class ElementColor {
public:
    // Red, green and blue in sRGB, 0 … 1; nothing for an invalid colour.
    static std::optional<std::array<double, 3>> sRGBComponents(const QColor &colour);
    // Writes the colour into the text colour, or into the background colour; false, leaving
    // the element as it was, for an invalid colour.
    static bool apply(BurnInElement &element, const QColor &colour, bool background);
};

} // namespace tandrel
