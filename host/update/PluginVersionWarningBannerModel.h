#pragma once

#include "host/update/PluginUpdateCheck.h"

#include <string>

namespace tandrel {

// What the plug-in update banner shows for a state of the update check: an icon, the message
// and which of its two link buttons ("Open App Management Settings" first, then "Download Full
// Installer") are offered. The view lays them out in one row; the buttons change no state.
struct PluginVersionWarningBannerModel {
    enum class Icon {
        none,
        // A small indeterminate progress indicator.
        spinner,
        // The symbol "checkmark.circle.fill", green.
        checkmark,
        // The symbol "exclamationmark.triangle.fill", yellow.
        warning,
    };

    static constexpr const char *openAppManagementSettingsTitle = "Open App Management Settings";
    static constexpr const char *downloadFullInstallerTitle = "Download Full Installer";
    // The system settings pane the first button opens.
    static constexpr const char *appManagementSettingsAddress =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_AppManagement";

    Icon icon = Icon::none;
    std::string message;
    bool showsAppManagementButton = false;
    bool showsDownloadInstallerButton = false;

    friend bool operator==(const PluginVersionWarningBannerModel &,
                           const PluginVersionWarningBannerModel &) = default;
};

// The banner for the state. A failure's reason sits in the message's parenthesis as one line
// without a final stop. `hasInstallerAddress`: whether the full installer has an address (an
// update server is configured); without one "Download Full Installer" would lead nowhere and
// is left out, as the settings button is without its address, and the message says the check
// runs again at the next start instead of sending the user to the installer.
// `hasAppManagementSettingsAddress`: whether that address could be made.
PluginVersionWarningBannerModel bannerModel(const PluginUpdateCheck::State &state,
                                            bool hasInstallerAddress = true,
                                            bool hasAppManagementSettingsAddress = true);

} // namespace tandrel
