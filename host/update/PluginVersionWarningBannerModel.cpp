#include "host/update/PluginVersionWarningBannerModel.h"

namespace tandrel {

PluginVersionWarningBannerModel bannerModel(const PluginUpdateCheck::State &state,
                                            bool hasInstallerAddress,
                                            bool hasAppManagementSettingsAddress) {
    using Case = PluginUpdateCheck::State::Case;
    using Icon = PluginVersionWarningBannerModel::Icon;
    PluginVersionWarningBannerModel model;
    switch (state.stateCase()) {
    case Case::installed:
        model.icon = Icon::checkmark;
        model.message = "Final Cut Pro plugin updated to build " + state.text() +
                        ". Restart Final Cut Pro to use it — it keeps the old version loaded "
                        "until then.";
        break;
    case Case::failed:
        model.icon = Icon::warning;
        model.message = "Couldn't automatically update your Final Cut Pro plugin (" + state.text() +
                        "). Please download the full installer instead.";
        model.showsDownloadInstallerButton = hasInstallerAddress;
        break;
    case Case::upToDate:
        break;
    case Case::installing:
        model.icon = Icon::spinner;
        model.message = "Updating your Final Cut Pro plugin in the background — Sparkle only "
                        "updates this Host app, so Embrik now fetches the matching plugin itself.";
        break;
    case Case::needsAppManagementPermission:
        model.icon = Icon::warning;
        model.message =
            "Couldn't update your Final Cut Pro plugin: macOS won't let Embrik Host replace "
            "Embrik.app in /Applications until it has the “App Management” permission. Turn it "
            "on under Privacy & Security → App Management, then relaunch Embrik Host. If it's "
            "already on, use the full installer instead.";
        model.showsAppManagementButton = hasAppManagementSettingsAddress;
        model.showsDownloadInstallerButton = hasInstallerAddress;
        break;
    }
    return model;
}

} // namespace tandrel
