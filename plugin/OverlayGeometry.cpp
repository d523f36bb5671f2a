#include "plugin/OverlayGeometry.h"

#include <algorithm>
#include <limits>

namespace tandrel {

namespace {

// Converting a double beyond the float range is undefined; such a value is clamped first.
float narrow(double value) {
    constexpr double limit = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(value, -limit, limit));
}

// A position fraction kept in 0…1 − extent ÷ length, or 0 when the extent is longer.
float keptInside(float fraction, float extent, float length) {
    const float bound = 1 - extent / length;
    if (bound < 0) {
        return 0;
    }
    return std::clamp(fraction, 0.0f, bound);
}

// A distance from the tile's edge kept inside 0…length − extent, or 0 when the extent is
// longer.
float clampedInside(float distance, float extent, float length) {
    if (distance <= 0 || length - extent < 0) {
        return 0;
    }
    return std::min(distance, length - extent);
}

} // namespace

OverlayGeometry::Rect OverlayGeometry::visiblePicture(float width, float height,
                                                      std::optional<double> aspectRatio) {
    Rect visible{0, 0, width, height};
    if (aspectRatio && *aspectRatio > 0) {
        const float ratio = narrow(*aspectRatio);
        if (width / height <= ratio) {
            visible.height = width / ratio;
        } else {
            visible.width = height * ratio;
        }
        visible.x = (width - visible.width) * 0.5f;
        visible.y = (height - visible.height) * 0.5f;
    }
    return visible;
}

OverlayGeometry::Point OverlayGeometry::elementCorner(const Rect &visible, double posX, double posY,
                                                      int tw, int th, bool constrain) {
    float fx = narrow(posX);
    float fy = narrow(posY);
    if (constrain) {
        fx = keptInside(fx, static_cast<float>(tw), visible.width);
        fy = keptInside(fy, static_cast<float>(th), visible.height);
    }
    return {visible.x + visible.width * fx, visible.y + visible.height * fy};
}

OverlayGeometry::Point OverlayGeometry::statusCorner(float width, float height, int tw, int th) {
    const auto fraction = [](float preferred, float extent, float length) {
        const float bound = 1 - extent / length;
        return bound < 0 ? 0.0f : std::min(preferred, bound);
    };
    return {width * fraction(0.05f, static_cast<float>(tw), width),
            height * fraction(0.95f, static_cast<float>(th), height)};
}

std::array<TandrelVertex2D, 4> OverlayGeometry::quad(Point corner, int tw, int th, float width,
                                                     float height, platform::FxImageOrigin origin) {
    const float textWidth = static_cast<float>(tw);
    const float textHeight = static_cast<float>(th);
    const bool bottomFirst = origin == platform::FxImageOrigin::bottomLeft;
    const float left = clampedInside(corner.x, textWidth, width);
    // From the tile's first row to the quad's nearest edge.
    const float near =
        clampedInside(bottomFirst ? corner.y : height - corner.y - textHeight, textHeight, height);

    const float xL = 2 * left / width - 1;
    const float xR = 2 * (left + textWidth) / width - 1;
    const float yNear = 1 - 2 * near / height;
    const float yFar = 1 - 2 * (near + textHeight) / height;
    // Upright text: the text's bottom row faces the picture's bottom.
    const float vNear = bottomFirst ? 1 : 0;
    const float vFar = bottomFirst ? 0 : 1;
    return {{
        {{xR, yFar}, {1, vFar}},
        {{xL, yFar}, {0, vFar}},
        {{xR, yNear}, {1, vNear}},
        {{xL, yNear}, {0, vNear}},
    }};
}

} // namespace tandrel
