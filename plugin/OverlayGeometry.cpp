#include "plugin/OverlayGeometry.h"

namespace tandrel {

OverlayGeometry::Rect OverlayGeometry::visiblePicture(float width, float height,
                                                      std::optional<double> aspectRatio) {
    Rect visible{0, 0, width, height};
    if (aspectRatio && *aspectRatio > 0) {
        const float ratio = Placement::fraction(*aspectRatio);
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
    return Placement::corner(visible, posX, posY, static_cast<float>(tw), static_cast<float>(th),
                             constrain);
}

OverlayGeometry::Point OverlayGeometry::statusCorner(float width, float height, int tw, int th) {
    return {width * Placement::keptInside(0.05f, static_cast<float>(tw), width),
            height * Placement::keptInside(0.95f, static_cast<float>(th), height)};
}

std::array<TandrelVertex2D, 4> OverlayGeometry::quad(Point corner, int tw, int th, float width,
                                                     float height, platform::FxImageOrigin origin) {
    const float textWidth = static_cast<float>(tw);
    const float textHeight = static_cast<float>(th);
    const bool bottomFirst = origin == platform::FxImageOrigin::bottomLeft;
    const float left = Placement::insideFrame(corner.x, textWidth, width);
    // From the tile's first row to the quad's nearest edge.
    const float near = Placement::insideFrame(
        bottomFirst ? corner.y : height - corner.y - textHeight, textHeight, height);

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
