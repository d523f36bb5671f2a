#pragma once

#include "core/model/ElementPlacement.h"
#include "platform/fxplug/FxImageTile.h"
#include "plugin/TandrelVertex2D.h"

#include <array>
#include <optional>

namespace tandrel {

// Where the overlay puts its texts, in pixels of a W × H tile, measured from the picture's
// lower-left corner with y growing upward (whichever way the tile's rows run). Lengths are
// 32-bit floats, as the GPU takes them. An element's box is placed by the rule the position
// preview shares (ElementPlacement).
struct OverlayGeometry {
    using Placement = ElementPlacement<float>;
    using Rect = Placement::Rect;
    using Point = Placement::Point;

    // The visible picture: the whole frame, or, for a ratio (width ÷ height) above 0, the
    // largest centred rectangle of that ratio.
    static Rect visiblePicture(float width, float height, std::optional<double> aspectRatio);

    // The lower-left corner of an element's tw × th text: posX and posY are fractions of the
    // visible picture from its left and bottom edges. Constrained, the text is kept inside the
    // visible picture (from its left or bottom edge when it is larger).
    static Point elementCorner(const Rect &visible, double posX, double posY, int tw, int th,
                               bool constrain);

    // The status text's lower-left corner: 5 % in from the left of the whole frame and 95 %
    // up, lowered until the text's top edge touches the frame's top.
    static Point statusCorner(float width, float height, int tw, int th);

    // The quad that draws a tw × th texture with its lower-left corner at `corner`, moved
    // inside the tile (to its left or first row when the text is larger), for a tile whose
    // rows run from `origin`. The texture's first row is the top of the text.
    static std::array<TandrelVertex2D, 4> quad(Point corner, int tw, int th, float width,
                                               float height, platform::FxImageOrigin origin);
};

} // namespace tandrel
