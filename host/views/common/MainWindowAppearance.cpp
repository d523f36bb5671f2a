#include "host/views/common/MainWindowAppearance.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"

#include <algorithm>

namespace tandrel {

using corvane::Color;

AppearanceSettings AppearanceSettings::defaults() {
    const corvane::CorvaneAppearancePreset &preset =
        corvane::CorvaneAppearancePreset::saffraColors();
    return {preset.baseDarkness, preset.baseColorHex, preset.sidebarColorHex.value_or(QString()),
            preset.sidebarDarknessDelta};
}

MainWindowAppearance MainWindowAppearance::from(const AppearanceSettings &settings) {
    MainWindowAppearance appearance;
    appearance.baseColor = Color::fromHex(settings.baseColorHex).value_or(Color::black());
    appearance.baseOpacity = settings.glassDarkness;
    const bool ownSidebarColor = !settings.sidebarColorHex.isEmpty();
    appearance.sidebarCardColor =
        ownSidebarColor ? Color::fromHex(settings.sidebarColorHex).value_or(appearance.baseColor)
                        : appearance.baseColor;
    // A sidebar colour that does not parse still counts as set: full darkness, no delta.
    appearance.sidebarCardOpacity =
        ownSidebarColor ? settings.glassDarkness
                        : std::max(0.0, settings.glassDarkness - settings.sidebarDarknessDelta);
    appearance.bandColor = corvane::withOpacity(appearance.baseColor, settings.glassDarkness);
    return appearance;
}

} // namespace tandrel
