#pragma once

#include <algorithm>
#include <concepts>
#include <limits>

namespace tandrel {

// Where a burn-in element's box (its text with the padding around it) lands in the frame. The
// effect draws by this rule and the position preview places its chips by it, so that what the
// preview shows is where the text burns in.
//
// Lengths are in one unit of the caller's (the effect's pixels as 32-bit floats, the preview's
// canvas points as doubles) and measured from the frame's lower-left corner, y growing upward.
// posX and posY are fractions of the visible picture from its left and bottom edges to the
// box's left and bottom edges; they may lie outside 0…1.
template <std::floating_point T> struct ElementPlacement {
    struct Rect {
        T x = 0;
        T y = 0;
        T width = 0;
        T height = 0;
    };
    struct Point {
        T x = 0;
        T y = 0;
    };

    // A fraction as T; a double beyond the range of T is brought to its end first, as
    // converting it would be undefined.
    static T fraction(double value) {
        if constexpr (sizeof(T) < sizeof(double)) {
            constexpr double limit = std::numeric_limits<T>::max();
            value = std::clamp(value, -limit, limit);
        }
        return static_cast<T>(value);
    }

    // A fraction kept in 0…1 − extent ÷ length, or 0 when the extent is the longer.
    static T keptInside(T fraction, T extent, T length) {
        const T bound = 1 - extent / length;
        if (bound < 0) {
            return 0;
        }
        return std::clamp(fraction, T(0), bound);
    }

    // A distance from the frame's edge kept in 0…length − extent, or 0 when the extent is the
    // longer: the box never leaves the frame, and one larger than it starts at its edge.
    static T insideFrame(T distance, T extent, T length) {
        if (distance <= 0 || length - extent < 0) {
            return 0;
        }
        return std::min(distance, length - extent);
    }

    // The box's lower-left corner from its position alone. Constrained, the box is kept inside
    // the visible picture (from its left or bottom edge when it is the larger).
    static Point corner(const Rect &visible, double posX, double posY, T width, T height,
                        bool constrainToVisiblePicture) {
        T fx = fraction(posX);
        T fy = fraction(posY);
        if (constrainToVisiblePicture) {
            fx = keptInside(fx, width, visible.width);
            fy = keptInside(fy, height, visible.height);
        }
        return {visible.x + visible.width * fx, visible.y + visible.height * fy};
    }

    // The box's lower-left corner as drawn in a frame of frameWidth × frameHeight: the corner
    // moved inside the frame. (The effect clamps rows from the tile's first one; for a tile
    // whose rows run down, a box taller than the frame then hangs from the top instead.)
    static Point placed(const Rect &visible, double posX, double posY, T width, T height,
                        bool constrainToVisiblePicture, T frameWidth, T frameHeight) {
        const Point at = corner(visible, posX, posY, width, height, constrainToVisiblePicture);
        return {insideFrame(at.x, width, frameWidth), insideFrame(at.y, height, frameHeight)};
    }
};

} // namespace tandrel
