#pragma once

#include "core/model/DisplayConfig.h"
#include "core/model/Size.h"
#include "core/support/Uuid.h"

#include <QLineF>
#include <QRectF>
#include <QSizeF>

#include <cstddef>
#include <functional>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace tandrel {

// The geometry under the position preview: where the active timeline's frame sits in the
// canvas, where the visible picture (a crop of narrower or wider ratio) sits in the frame,
// the scale from frame pixels to canvas points and the reference grid; and the edits through
// which the preview changes element positions in the preset list.
//
// Canvas space is points from the canvas's top-left corner, y down. Element positions are
// fractions of the visible picture: posX its left edge, posY its bottom edge measured up.
class PreviewGeometry {
public:
    // A frame without a usable timeline resolution: 16:9 and 1920 pixels wide.
    static constexpr double defaultFrameAspect = 16.0 / 9.0;
    static constexpr double referenceFrameWidth = 1920;

    // A resolution with a side ≤ 0 or not finite counts as absent.
    explicit PreviewGeometry(const std::optional<Size> &resolution);

    // The usable resolution, or nothing.
    const std::optional<Size> &resolution() const { return resolution_; }
    // Width ÷ height of the frame.
    double frameAspect() const;
    // The frame's width in pixels (the plug-in sizes text in these).
    double frameWidthInPixels() const;

    // The frame fitted into a canvas of `canvas` size and centred in it: full height when the
    // canvas is wider than the frame, else full width (a tie included). A canvas at most 1
    // point high counts as 1 point high in the comparison.
    QRectF fittedCanvasRect(const QSizeF &canvas) const;
    // The visible picture inside `frame`, centred: the frame itself without a ratio or with one
    // that is not above 0; else full height when the frame is wider than the ratio, full width
    // otherwise (a tie included).
    QRectF visibleRect(const QRectF &frame, std::optional<double> aspectRatio) const;
    // Canvas points per frame pixel: the frame's width over the timeline's, whatever the crop,
    // since the plug-in sizes text in pixels of the whole frame.
    double scale(const QRectF &frame) const;

    // The reference grid over `rect` with `divisions` cells each way: the inner lines of both
    // directions without the middle ones, and for an even count the centre cross. Nothing for
    // fewer than 2 divisions but the cross for 2.
    struct Grid {
        std::vector<QLineF> vertical;   // white 0.18, 0.5 wide
        std::vector<QLineF> horizontal; // white 0.4, 0.75 wide
        std::vector<QLineF> centre;     // white 0.55, 0.75 wide
    };
    static Grid gridOverlay(const QRectF &rect, int divisions);

    // Whether two rectangles are the same to the last bit (QRectF's own == is fuzzy).
    static bool identical(const QRectF &a, const QRectF &b);

    // Edits of the preset list. Each returns the list to assign (the same list when nothing
    // applies: an index outside it, an element no longer there, a change that is not a finite
    // number); none clamps the dragged element itself.

    // A drag of `elementID` by (deltaX, deltaY) fractions ends: the element takes the whole
    // delta; when it is part of `selection`, every other selected element moves by the same
    // delta, each coordinate kept in 0…1.
    static std::vector<DisplayConfig> committedPosition(std::vector<DisplayConfig> presets,
                                                        std::optional<std::size_t> presetIndex,
                                                        const std::set<Uuid> &selection,
                                                        const Uuid &elementID, double deltaX,
                                                        double deltaY);

    // The position as it is stored now, brought back inside the frame by `clamp`. Written only
    // when it moves by more than 1e-6, so asking again, or from another view whose clamp
    // allows at least as much, changes nothing.
    using Clamp = std::function<std::pair<double, double>(double posX, double posY)>;
    static std::vector<DisplayConfig> autoClampedPosition(std::vector<DisplayConfig> presets,
                                                          std::optional<std::size_t> presetIndex,
                                                          const Uuid &elementID,
                                                          const Clamp &clamp);

    // The crop ratio of the preset at `presetIndex`; a ratio that is not finite is refused.
    static std::vector<DisplayConfig> withCropAspectRatio(std::vector<DisplayConfig> presets,
                                                          std::optional<std::size_t> presetIndex,
                                                          std::optional<double> aspectRatio);

private:
    std::optional<Size> resolution_;
};

} // namespace tandrel
