#pragma once

#include <QColor>
#include <QPalette>

namespace tandrel {

// The platform's label, separator and accent colours, taken from the palette the editor gives
// its panel, so that the panel follows the editor's light or dark look.
struct PanelColors {
    static QColor secondaryLabel(const QPalette &palette) { return faded(palette, 0.55); }
    static QColor tertiaryLabel(const QPalette &palette) { return faded(palette, 0.3); }
    static QColor separator(const QPalette &palette) { return faded(palette, 0.18); }
    static QColor controlAccent(const QPalette &palette) { return palette.color(QPalette::Highlight); }

private:
    static QColor faded(const QPalette &palette, double alpha) {
        QColor color = palette.color(QPalette::WindowText);
        color.setAlphaF(static_cast<float>(alpha));
        return color;
    }
};

} // namespace tandrel
