// The settings window, at its defaults and with an appearance preset picked.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/CorvaneAppearancePreset.h"
#include "host/state/AppState.h"
#include "host/views/common/Preferences.h"
#include "host/views/settings/SettingsContent.h"
#include "host/views/settings/SettingsView.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QComboBox>
#include <QFile>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

// The state object of a screen, with the preferences beside it; made once per screen process
// and kept for the life of the widget.
struct Backing {
    std::unique_ptr<AppState> state;
    Preferences preferences{platform::SettingsKeyValueStore::standardUserDefaults()};

    Backing() {
        state = std::make_unique<AppState>(screens::standInServices());
        state->start();
    }
};

Backing &backing() {
    static Backing made;
    return made;
}

std::unique_ptr<QWidget> settings(const QString &pickedPresetID) {
    Backing &made = backing();
    auto view = std::make_unique<SettingsView>(*made.state, made.preferences);
    if (!pickedPresetID.isEmpty()) {
        // Picked as a user does.
        view->presetPicker()->setCurrentIndex(
            SettingsContent::presetIndex(pickedPresetID).value_or(-1));
    }
    return view;
}

const tandrel::screens::ScreenRegistration screens{
    {"host-settings-default",
     SettingsView::windowSize,
     [](const ScreenContext &) { return settings({}); }},
    {"host-settings-deep-black",
     SettingsView::windowSize,
     [](const ScreenContext &) { return settings(QStringLiteral("deepBlack")); }},
};

} // namespace
