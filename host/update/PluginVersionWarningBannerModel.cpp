#include "host/update/PluginVersionWarningBannerModel.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

namespace {

constexpr std::size_t maxReasonCharacters = 300;

// A reason as the banner's parenthesis holds it: one line (line breaks and runs of spaces
// become one space) and no final stop, which the sentence around it brings.
std::string inlineReason(const std::string &reason) {
    std::string text;
    bool space = false;
    for (char c : reason) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            space = !text.empty();
            continue;
        }
        if (space) {
            text += ' ';
            space = false;
        }
        text += c;
    }
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) {
        text.pop_back();
    }
    // It may quote a server's answer or a tool's output: bounded, and its controls shown
    // (names it quotes are shown already, and keep their escapes).
    text = withStrayControlsShown(elidedLine(text, maxReasonCharacters));
    return text;
}

} // namespace

PluginVersionWarningBannerModel bannerModel(const PluginUpdateCheck::State &state,
                                            bool hasInstallerAddress,
                                            bool hasAppManagementSettingsAddress) {
    using Case = PluginUpdateCheck::State::Case;
    using Icon = PluginVersionWarningBannerModel::Icon;
    PluginVersionWarningBannerModel model;
    switch (state.stateCase()) {
    case Case::installed:
        model.icon = Icon::checkmark;
        // The build as the installed application's own files say it.
        model.message = "Final Cut Pro plugin updated to build " +
                        shownName(state.text(), shownNameCharacters) +
                        ". Restart Final Cut Pro to use it — it keeps the old version loaded "
                        "until then.";
        break;
    case Case::failed:
        model.icon = Icon::warning;
        // Without an installer to offer, the one thing still to come is the next launch's
        // check.
        model.message = "Couldn't automatically update your Final Cut Pro plugin (" +
                        inlineReason(state.text()) + "). " +
                        (hasInstallerAddress ? "Please download the full installer instead."
                                             : "Embrik Host tries again at its next start.");
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
