#pragma once

#include <QRectF>
#include <QSizeF>

#include <optional>
#include <utility>
#include <vector>

namespace tandrel {

// The keys that change a chip's drag, as they are held at the moment of an evaluation.
struct DragModifiers {
    // Locks the drag to its longer axis (and extends the selection on a click).
    bool shift = false;
    // Moves freely: no grid, no guide snapping.
    bool option = false;
};

// Where a dragged chip goes: the drag's translation made a candidate position, locked to an
// axis, rounded to the grid, snapped to guides (the visible picture's edges and centre, the
// other elements, the frame's edges) and kept inside the frame. Pure: it reads only its
// inputs, the translation and the modifiers.
//
// Positions are fractions of the visible rectangle V: posX the chip's left edge, posY its
// bottom edge measured up. The frame rectangle F holds V.
class DragMath {
public:
    struct Inputs {
        double posX = 0;
        double posY = 0;
        QRectF visibleRect = {};
        QRectF canvasRect = {};
        bool constrainToVisiblePicture = false;
        // The stored positions of the other elements shown, in preset order.
        std::vector<std::pair<double, double>> siblingPositions = {};
        bool snapToGrid = false;
        int gridDivisions = 3;
        // The magnetic distance in canvas points.
        double alignSnapPoints = 6;
        QSizeF chipSize = {};
    };

    struct Result {
        // From the stored top-left corner to the resolved one, in points.
        QSizeF offset;
        double posX = 0;
        double posY = 0;
        // The resolved left edge's canvas x, set only when x snapped to a guide.
        std::optional<double> guideX;
        // The resolved bottom edge's canvas y, set only when y snapped to a guide.
        std::optional<double> guideY;
    };

    explicit DragMath(Inputs inputs);

    // The chip's position after a drag by `translation` (points, x right, y down).
    Result resolvedPosition(const QSizeF &translation, DragModifiers modifiers) const;
    // The nearest position whose chip box lies inside the frame; a box larger than the frame
    // one way is pinned between the swapped bounds.
    std::pair<double, double> clampToFrame(double posX, double posY) const;
    // The guide nearest to `value` (the earliest of equally near ones) when it is closer than
    // `threshold` (strictly), with true; else the value itself, with false.
    static std::pair<double, bool> closestGuide(double value, const std::vector<double> &guides,
                                                double threshold);

private:
    Inputs in_;
};

} // namespace tandrel
