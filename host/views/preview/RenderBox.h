#pragma once

#include "core/model/BurnInElement.h"

#include <QSizeF>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The box the effect will draw an element's text in, which the position preview places its
// chip by: the element's text on a made-up sample frame (ChipSampleFrame), or the chip's own
// text where that frame draws nothing, measured by the effect's rasteriser at the element's
// size in frame pixels (cut after 300 characters, wrapped at the frame limit, 8 pixels of
// padding a side) and scaled into the canvas. Its left and bottom edges are where the chip
// stands; clamping, snapping and centring work on it, so that the chip's position is where
// the text burns in, while the chip itself is drawn large enough to read (ChipLayout).
class RenderBox {
public:
    // The box of `text` at `fontSize` pixels in frame pixels; nothing where the effect draws
    // nothing. Injected: the views ask the effect's rasteriser, tests whatever shows a fault.
    using Measure = std::function<std::optional<QSizeF>(std::string_view text, double fontSize)>;

    // The text the effect draws for the element: its text on the sample frame, else its label,
    // else the field's name; the sample rows of a stacked-layer block; two sample lower layers
    // under a stackable field while the preset shows stacked layers. Lines joined with "\n".
    static std::string text(const BurnInElement &element, bool showStackedLayers);

    // The box in canvas points, at `scale` points a frame pixel: nothing (an empty size) for a
    // text the effect draws nothing for or a scale that is not above 0.
    static QSizeF size(std::string_view text, double fontSize, double scale,
                       const Measure &measure);

    // The effect's own rasteriser (TextExtent), its answers kept for texts asked again.
    // Main thread only.
    static Measure effectMeasure();
};

} // namespace tandrel
