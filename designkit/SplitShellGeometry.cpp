#include "designkit/SplitShellGeometry.h"

#include <algorithm>
#include <cmath>

namespace corvane {

SplitShellGeometry SplitShellGeometry::compute(QSize size, double sidebarWidth, double revealed,
                                               bool floating) {
    const int width = static_cast<int>(std::lround(std::max(0.0, sidebarWidth)));
    // The sidebar's space: card with its margins, and the handle's one point beyond them.
    const int space = 2 * cardMargin + width + (handleWidth - handleOverlap);
    const int shown = static_cast<int>(std::lround(space * std::clamp(revealed, 0.0, 1.0)));
    const int shift = shown - space;
    SplitShellGeometry geometry;
    geometry.card =
        QRect(cardMargin + shift, cardMargin, width, std::max(0, size.height() - 2 * cardMargin));
    geometry.handle = QRect(cardMargin + width + shift, 0, handleWidth, size.height());
    const int taken = floating ? 0 : shown;
    geometry.content = QRect(taken, 0, std::max(0, size.width() - taken), size.height());
    return geometry;
}

} // namespace corvane
