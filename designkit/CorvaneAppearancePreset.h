#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace corvane {

// One look of the host's glass windows: how dark the tint over the window is, how much darker
// the sidebar is, and the base, sidebar and selection colours as "#" and six hex digits.
// Lists and pickers key presets by `id`; equality compares every field.
struct CorvaneAppearancePreset {
    QString id;
    QString name;
    double baseDarkness = 0;
    double sidebarDarknessDelta = 0;
    QString baseColorHex;
    std::optional<QString> sidebarColorHex;
    std::optional<QString> selectionColorHex;

    friend bool operator==(const CorvaneAppearancePreset &,
                           const CorvaneAppearancePreset &) = default;

    static const CorvaneAppearancePreset &deepBlack();
    static const CorvaneAppearancePreset &soft();
    // The default look of the host.
    static const CorvaneAppearancePreset &saffraColors();
    // deepBlack, soft, saffraColors, in that order.
    static const std::vector<CorvaneAppearancePreset> &builtIn();
};

} // namespace corvane
