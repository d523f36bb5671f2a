#pragma once

#include "host/views/preview/ChipLayout.h"

#include <QFont>

class QPaintDevice;

namespace tandrel {

// The chips' type: the plug-in's monospaced family at a size in pixels, the frame's (a chip
// lays its text out as the plug-in does and draws it scaled into the canvas). A point size
// would add the screen's DPI.
class ChipFont {
public:
    // The family the plug-in draws its texts in.
    static constexpr const char *family = "Monospace";

    // The family at `pixelSize` pixels and `weight`, for text drawn on `device`.
    static QFont font(double pixelSize, QFont::Weight weight, const QPaintDevice &device);

    // Measures as the plug-in does, at medium weight: the widest line's advance, and per line
    // the font's ascent and descent each rounded up to whole pixels (the plug-in's hinted
    // metrics), lines `ChipLayout::lineSpacing` apart. `device` must outlive the measure.
    static ChipLayout::TextMeasure measure(const QPaintDevice &device);
};

} // namespace tandrel
