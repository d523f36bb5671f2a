#pragma once

// What the screens of a main window share: what the window lives on, made once per screen
// process, and the window over it.

#include "host/app/HostCommands.h"
#include "host/state/AppState.h"
#include "host/views/common/Preferences.h"
#include "host/views/main/ContentView.h"
#include "host/views/main/HostNotifications.h"
#include "host/views/main/LibraryPicker.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "platform/automation/EditorAutomation.h"
#include "platform/runtime/ManualClock.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <functional>
#include <memory>

namespace tandrel::screens {

// Never freed before the window.
struct Host {
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::unique_ptr<AppState> state;
    Preferences preferences{platform::SettingsKeyValueStore::standardUserDefaults()};
    HostNotifications notifications;
    // The host's menus; nothing here acts on them.
    HostCommands commands{{}};

    explicit Host(AppState::PluginUpdateCheck check,
                  std::shared_ptr<platform::EditorAutomation> editor = nullptr,
                  std::function<void(const TandrelSnapshot &)> writeSnapshot = nullptr) {
        AppState::Services services = standInServices(clock);
        if (editor) {
            services.editorAutomation = std::move(editor);
        }
        if (writeSnapshot) {
            services.writeSnapshot = std::move(writeSnapshot);
        }
        services.checkPluginUpdate = std::move(check);
        state = std::make_unique<AppState>(std::move(services));
    }
};

// The process's one host, made on the first call with what it is given.
inline Host &host(AppState::PluginUpdateCheck check = nullptr,
                  std::shared_ptr<platform::EditorAutomation> editor = nullptr,
                  std::function<void(const TandrelSnapshot &)> writeSnapshot = nullptr) {
    static Host made(std::move(check), std::move(editor), std::move(writeSnapshot));
    return made;
}

// A main window over `made`, kept when it is closed.
inline std::unique_ptr<ContentView> mainWindowOn(Host &made) {
    auto window = std::make_unique<ContentView>(ContentView::Environment{
        .state = made.state.get(),
        .preferences = &made.preferences,
        .notifications = &made.notifications,
        .libraryPicker = &LibraryPicker::system(),
        .bannerLinks = PluginVersionWarningBanner::Links::standard(),
        .clock = made.clock,
        .timers = made.clock->timers(),
        .fillMenuBar = [&made](QMenuBar *menuBar) { made.commands.fillMenuBar(menuBar); },
        .openWindow = [](const QString &) {},
    });
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

} // namespace tandrel::screens
