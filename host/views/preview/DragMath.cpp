#include "host/views/preview/DragMath.h"

#include "core/model/ElementPlacement.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

// A rectangle positions can be fractions of.
bool measurable(const QRectF &rect) {
    return rect.width() > 0 && rect.height() > 0 && std::isfinite(rect.width()) &&
           std::isfinite(rect.height());
}

} // namespace

DragMath::DragMath(Inputs inputs) : in_(std::move(inputs)) {}

std::pair<double, bool> DragMath::closestGuide(double value, const std::vector<double> &guides,
                                               double threshold) {
    if (guides.empty()) {
        return {value, false};
    }
    double best = guides.front();
    for (const double guide : guides) {
        if (std::abs(guide - value) < std::abs(best - value)) {
            best = guide;
        }
    }
    if (std::abs(best - value) < threshold) {
        return {best, true};
    }
    return {value, false};
}

std::pair<double, double> DragMath::clampToFrame(double posX, double posY) const {
    const QRectF &v = in_.visibleRect;
    const QRectF &f = in_.canvasRect;
    if (!measurable(v)) {
        return {posX, posY};
    }
    const double wF = in_.chipSize.width() / v.width();
    const double hF = in_.chipSize.height() / v.height();
    const double a = (f.left() - v.left()) / v.width();
    const double b = (f.right() - v.left()) / v.width() - wF;
    const double c = 1 - (f.top() - v.top()) / v.height() - hF;
    const double d = 1 - (f.bottom() - v.top()) / v.height();
    return {std::min(std::max(a, b), std::max(std::min(a, b), posX)),
            std::min(std::max(c, d), std::max(std::min(c, d), posY))};
}

DragMath::Result DragMath::resolvedPosition(const QSizeF &translation,
                                            DragModifiers modifiers) const {
    const QRectF &v = in_.visibleRect;
    const QRectF &f = in_.canvasRect;
    const double w = in_.chipSize.width();
    const double h = in_.chipSize.height();
    if (!measurable(v)) {
        return {{0, 0}, in_.posX, in_.posY, std::nullopt, std::nullopt};
    }
    const double wF = w / v.width();
    const double hF = h / v.height();

    double dx = translation.width();
    double dy = translation.height();
    if (modifiers.shift) {
        // A tie keeps the move horizontal.
        if (std::abs(dy) <= std::abs(dx)) {
            dy = 0;
        } else {
            dx = 0;
        }
    }

    const double left0 = v.left() + in_.posX * v.width();
    const double top0 = v.top() + (1 - in_.posY) * v.height() - h;
    const double rawX = (left0 + dx - v.left()) / v.width();
    const double rawY = 1 - (top0 + dy + h - v.top()) / v.height();

    double x = rawX;
    double y = rawY;
    bool snappedX = false;
    bool snappedY = false;
    if (modifiers.option && !in_.constrainToVisiblePicture) {
        std::tie(x, y) = clampToFrame(rawX, rawY);
    } else {
        const int divisions = in_.gridDivisions;
        if (in_.snapToGrid && divisions >= 1 && !modifiers.option) {
            const double step = 1.0 / divisions;
            x = step * std::round(rawX / step);
            y = step * std::round(rawY / step);
        }
        const double thresholdX = modifiers.option ? 0 : in_.alignSnapPoints / v.width();
        const double thresholdY = modifiers.option ? 0 : in_.alignSnapPoints / v.height();

        std::vector<double> guidesX{0, 0.5 - wF / 2, 1 - wF};
        std::vector<double> guidesY{0, 0.5 - hF / 2, 1 - hF};
        for (const auto &[siblingX, siblingY] : in_.siblingPositions) {
            guidesX.push_back(siblingX);
            guidesY.push_back(siblingY);
        }
        if (f.width() != v.width()) {
            guidesX.push_back((f.left() - v.left()) / v.width());
            guidesX.push_back((f.right() - v.left()) / v.width() - wF);
        }
        if (f.height() != v.height()) {
            guidesY.push_back(1 - (f.top() - v.top()) / v.height() - hF);
            guidesY.push_back(1 - (f.bottom() - v.top()) / v.height());
        }
        std::tie(x, snappedX) = closestGuide(x, guidesX, thresholdX);
        std::tie(y, snappedY) = closestGuide(y, guidesY, thresholdY);

        if (in_.constrainToVisiblePicture) {
            // Where the effect keeps it: a chip larger than the visible picture is pinned at its
            // left or bottom edge.
            x = ElementPlacement<double>::keptInside(x, w, v.width());
            y = ElementPlacement<double>::keptInside(y, h, v.height());
        }
        std::tie(x, y) = clampToFrame(x, y);
    }

    const double resolvedLeft = v.left() + x * v.width();
    const double resolvedBottom = v.top() + (1 - y) * v.height();
    Result result{
        {resolvedLeft - left0, resolvedBottom - h - top0}, x, y, std::nullopt, std::nullopt};
    // Guides mark the chip's own left and bottom edges, whichever guide caught it.
    if (snappedX) {
        result.guideX = resolvedLeft;
    }
    if (snappedY) {
        result.guideY = resolvedBottom;
    }
    return result;
}

} // namespace tandrel
