#include "host/views/settings/SettingsContent.h"

#include "host/views/common/MainWindowAppearance.h"
#include "host/views/common/Preferences.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

std::optional<int> SettingsContent::presetIndex(const QString &id) {
    const std::vector<corvane::CorvaneAppearancePreset> &presets =
        corvane::CorvaneAppearancePreset::builtIn();
    for (size_t i = 0; i < presets.size(); ++i) {
        if (presets[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

void SettingsContent::apply(const corvane::CorvaneAppearancePreset &preset,
                            Preferences &preferences) {
    // One choice, one write of the settings file.
    preferences.setValues({
        {QString::fromUtf8(Preferences::appearancePresetIDKey), preset.id},
        {QString::fromUtf8(Preferences::baseColorHexKey), preset.baseColorHex},
        {QString::fromUtf8(Preferences::sidebarColorHexKey),
         preset.sidebarColorHex.value_or(QString())},
        {QString::fromUtf8(Preferences::sidebarDarknessDeltaKey), preset.sidebarDarknessDelta},
        {QString::fromUtf8(Preferences::glassDarknessKey), preset.baseDarkness},
    });
}

QString SettingsContent::percentLabel(double darkness) {
    if (!std::isfinite(darkness)) {
        darkness = AppearanceSettings::defaults().glassDarkness;
    }
    // Values written by hand may be anything; far beyond any slider they still read as a
    // number.
    constexpr double limit = 1e12;
    const double percent = std::clamp(darkness * 100, -limit, limit);
    const double rounded = std::round(percent * 1e6) / 1e6;
    return QStringLiteral("%1%").arg(static_cast<long long>(std::trunc(rounded)));
}

int SettingsContent::sliderPosition(double darkness) {
    if (!std::isfinite(darkness)) {
        return darkness > 0 ? sliderSteps : 0;
    }
    return static_cast<int>(std::lround(std::clamp(darkness, 0.0, 1.0) * sliderSteps));
}

double SettingsContent::darkness(int sliderPosition) {
    return static_cast<double>(sliderPosition) / sliderSteps;
}

} // namespace tandrel
