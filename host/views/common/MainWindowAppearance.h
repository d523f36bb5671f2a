#pragma once

#include <QColor>
#include <QString>

namespace tandrel {

// The four interface preferences that colour a main window, as the settings window writes
// them; their defaults are the kit's "Saffra Colors" look.
struct AppearanceSettings {
    // Opacity of the base tint over the window material.
    double glassDarkness = 0;
    QString baseColorHex;
    // Empty: the sidebar card takes the base colour.
    QString sidebarColorHex;
    // Taken off the darkness for the sidebar card when it has no colour of its own.
    double sidebarDarknessDelta = 0;

    static AppearanceSettings defaults();

    friend bool operator==(const AppearanceSettings &, const AppearanceSettings &) = default;
};

// The colours a main window draws with, derived from its appearance settings. Colour text
// that is not a colour (the kit's reading of "#RRGGBB") never fails the window: the base
// falls back to black and the sidebar card to the base.
struct MainWindowAppearance {
    QColor baseColor;
    double baseOpacity = 0;
    QColor sidebarCardColor;
    double sidebarCardOpacity = 0;
    // Behind the update banner and the status bar: the base colour at the base opacity.
    QColor bandColor;

    static MainWindowAppearance from(const AppearanceSettings &settings);

    friend bool operator==(const MainWindowAppearance &, const MainWindowAppearance &) = default;
};

} // namespace tandrel
