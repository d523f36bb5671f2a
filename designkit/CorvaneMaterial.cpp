#include "designkit/CorvaneMaterial.h"

#include "designkit/Color.h"

namespace corvane {

const std::array<CorvaneMaterial, 6> CorvaneMaterial::allCases = {ultraThin, thin,       regular,
                                                                  thick,     ultraThick, hudWindow};

QColor CorvaneMaterial::fill() const {
    const QColor grey = Color::sRGB(0.16, 0.16, 0.18);
    switch (value_) {
    case ultraThin:
        return withOpacity(grey, 0.35);
    case thin:
        return withOpacity(grey, 0.5);
    case regular:
        return withOpacity(grey, 0.65);
    case thick:
        return withOpacity(grey, 0.8);
    case ultraThick:
        return withOpacity(grey, 0.9);
    case hudWindow:
        return withOpacity(Color::sRGB(0.12, 0.12, 0.13), 0.8);
    }
    return grey;
}

} // namespace corvane
