#include "designkit/SidebarWidth.h"

#include <algorithm>
#include <cmath>

namespace corvane {

double SidebarWidth::clamped(double width, double minimum, double maximum) {
    return std::min(std::max(width, minimum), maximum);
}

double SidebarWidth::seeded(std::optional<double> stored, double minimum, double ideal,
                            double maximum) {
    if (stored && *stored > 0) { // false for NaN too
        return clamped(*stored, minimum, maximum);
    }
    return ideal;
}

std::optional<double> SidebarDrag::moved(QPointF translation, double currentWidth) {
    if (!startWidth_ && std::hypot(translation.x(), translation.y()) < minimumDistance) {
        return std::nullopt;
    }
    const double start = startWidth_.value_or(currentWidth);
    startWidth_ = start;
    return SidebarWidth::clamped(start + translation.x(), minimum_, maximum_);
}

} // namespace corvane
