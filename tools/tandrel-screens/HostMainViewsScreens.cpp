// The host's windows beside the main window: the choice among the editor's open libraries,
// the menu-bar extra's menu while a timeline is served, and the settings window.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/CorvaneAppearancePreset.h"
#include "host/state/AppState.h"
#include "host/views/common/Preferences.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/menubar/MenuBarView.h"
#include "host/views/settings/SettingsContent.h"
#include "host/views/settings/SettingsView.h"
#include "platform/runtime/MainQueue.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
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

std::unique_ptr<QWidget> choiceDialog(const ScreenContext &) {
    const std::vector<std::filesystem::path> libraries{
        "/Volumes/Media/Feature Film.fcpbundle",
        "/Volumes/Media/Trailer.fcpbundle",
        "/Users/editor/Movies/Interviews and B-Roll for the Director's Cut.fcpbundle",
    };
    return std::make_unique<LibraryChoiceDialog>(libraries, [](const std::filesystem::path &) {});
}

std::unique_ptr<QWidget> menuServing(const ScreenContext &context) {
    AppState &state = *backing().state;
    state.addLibrary(screens::sampleLibrary(context));
    platform::MainQueue::runPending();
    for (const TimelineChoice &timeline : state.availableTimelines()) {
        if (timeline.name == "Sample") {
            state.setActiveTimeline(timeline.id);
        }
    }
    auto menu = std::make_unique<MenuBarView>(state, MenuBarView::Actions{});
    // As it opens.
    emit menu->aboutToShow();
    return menu;
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
    {"host-detect-dialog", {320, 253}, choiceDialog},
    {"host-menu-bar-extra-serving", {260, 140}, menuServing},
    {"host-settings-default",
     SettingsView::windowSize,
     [](const ScreenContext &) { return settings({}); }},
    {"host-settings-deep-black",
     SettingsView::windowSize,
     [](const ScreenContext &) { return settings(QStringLiteral("deepBlack")); }},
};

} // namespace
