#include "host/views/preview/PreviewGeometry.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

// Movements smaller than this are rounding, not a position outside the frame.
constexpr double clampTolerance = 1e-6;

// The element of the preset at `presetIndex` with that id, or nothing.
BurnInElement *findElement(std::vector<DisplayConfig> &presets,
                           std::optional<std::size_t> presetIndex, const Uuid &id) {
    if (!presetIndex || *presetIndex >= presets.size()) {
        return nullptr;
    }
    std::vector<BurnInElement> &elements = presets[*presetIndex].elements;
    const auto found = std::ranges::find(elements, id, &BurnInElement::id);
    return found == elements.end() ? nullptr : &*found;
}

void moveTo(BurnInElement &element, double posX, double posY) {
    if (std::isfinite(posX) && std::isfinite(posY)) {
        element.posX = posX;
        element.posY = posY;
    }
}

} // namespace

PreviewGeometry::PreviewGeometry(const std::optional<Size> &resolution) {
    if (resolution && std::isfinite(resolution->width) && std::isfinite(resolution->height) &&
        resolution->width > 0 && resolution->height > 0) {
        resolution_ = resolution;
    }
}

double PreviewGeometry::frameAspect() const {
    return resolution_ ? resolution_->width / resolution_->height : defaultFrameAspect;
}

double PreviewGeometry::frameWidthInPixels() const {
    return resolution_ ? resolution_->width : referenceFrameWidth;
}

QRectF PreviewGeometry::fittedCanvasRect(const QSizeF &canvas) const {
    const double width = canvas.width();
    const double height = canvas.height();
    const double canvasAspect = width / (height <= 1 ? 1 : height);
    const double aspect = frameAspect();
    QSizeF frame;
    if (aspect < canvasAspect) {
        frame = {aspect * height, height};
    } else {
        frame = {width, width / aspect};
    }
    return {(width - frame.width()) * 0.5, (height - frame.height()) * 0.5, frame.width(),
            frame.height()};
}

QRectF PreviewGeometry::visibleRect(const QRectF &frame, std::optional<double> aspectRatio) const {
    if (!aspectRatio || !(*aspectRatio > 0)) {
        return frame;
    }
    // The frame was fitted at the frame aspect, so comparing with it decides as the frame's
    // own sides would, without their rounding.
    QSizeF visible;
    if (frameAspect() > *aspectRatio) {
        visible = {frame.height() * *aspectRatio, frame.height()};
    } else {
        visible = {frame.width(), frame.width() / *aspectRatio};
    }
    return {frame.x() + (frame.width() - visible.width()) * 0.5,
            frame.y() + (frame.height() - visible.height()) * 0.5, visible.width(),
            visible.height()};
}

double PreviewGeometry::scale(const QRectF &frame) const {
    return frame.width() / frameWidthInPixels();
}

PreviewGeometry::Grid PreviewGeometry::gridOverlay(const QRectF &rect, int divisions) {
    Grid grid;
    if (divisions < 2) {
        return grid;
    }
    const bool even = divisions % 2 == 0;
    for (int i = 1; i < divisions; ++i) {
        if (even && i == divisions / 2) {
            continue;
        }
        const double x = rect.left() + rect.width() * i / divisions;
        const double y = rect.top() + rect.height() * i / divisions;
        grid.vertical.emplace_back(x, rect.top(), x, rect.bottom());
        grid.horizontal.emplace_back(rect.left(), y, rect.right(), y);
    }
    if (even) {
        const QPointF centre = rect.center();
        grid.centre.emplace_back(centre.x(), rect.top(), centre.x(), rect.bottom());
        grid.centre.emplace_back(rect.left(), centre.y(), rect.right(), centre.y());
    }
    return grid;
}

bool PreviewGeometry::identical(const QRectF &a, const QRectF &b) {
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

std::vector<DisplayConfig> PreviewGeometry::committedPosition(
    std::vector<DisplayConfig> presets, std::optional<std::size_t> presetIndex,
    const std::set<Uuid> &selection, const Uuid &elementID, double deltaX, double deltaY) {
    if (!std::isfinite(deltaX) || !std::isfinite(deltaY)) {
        return presets;
    }
    const bool groupDrag = selection.contains(elementID);
    const std::set<Uuid> moved = groupDrag ? selection : std::set<Uuid>{elementID};
    for (const Uuid &id : moved) {
        BurnInElement *element = findElement(presets, presetIndex, id);
        if (!element) {
            continue;
        }
        if (id == elementID) {
            // Its drag rules bounded the delta already.
            moveTo(*element, element->posX + deltaX, element->posY + deltaY);
        } else {
            // A follower stops at the unit square's edge.
            moveTo(*element, std::clamp(element->posX + deltaX, 0.0, 1.0),
                   std::clamp(element->posY + deltaY, 0.0, 1.0));
        }
    }
    return presets;
}

std::vector<DisplayConfig>
PreviewGeometry::autoClampedPosition(std::vector<DisplayConfig> presets,
                                     std::optional<std::size_t> presetIndex, const Uuid &elementID,
                                     const Clamp &clamp) {
    BurnInElement *element = findElement(presets, presetIndex, elementID);
    if (!element) {
        return presets;
    }
    const auto [x, y] = clamp(element->posX, element->posY);
    if (std::abs(x - element->posX) > clampTolerance ||
        std::abs(y - element->posY) > clampTolerance) {
        moveTo(*element, x, y);
    }
    return presets;
}

std::vector<DisplayConfig>
PreviewGeometry::withCropAspectRatio(std::vector<DisplayConfig> presets,
                                     std::optional<std::size_t> presetIndex,
                                     std::optional<double> aspectRatio) {
    if (presetIndex && *presetIndex < presets.size() &&
        (!aspectRatio || std::isfinite(*aspectRatio))) {
        presets[*presetIndex].visiblePictureAspectRatio = aspectRatio;
    }
    return presets;
}

} // namespace tandrel
