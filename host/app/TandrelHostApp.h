#pragma once

#include "host/state/AppState.h"
#include "host/update/Updater.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/Timer.h"

#include <QObject>

#include <functional>
#include <memory>

namespace tandrel {

class ContentView;
class HostCommands;
class HostNotifications;
class LibraryPicker;
class MenuBarExtra;
class Preferences;
class WindowRegistry;
struct HostAnswer;
struct HostRequest;

// The host application: the one state object of the process, created on first use, and the
// host's updater, created unstarted; its windows (main windows, the single "positionPreview"
// and "fcpxmlValidation" tool windows, the settings window), the commands they share and the
// host-wide notifications; and, once the first main window opens, the menu-bar extra. It draws
// nothing itself.
class TandrelHostApp : public QObject {
    Q_OBJECT

public:
    static constexpr const char *positionPreviewID = "positionPreview";
    static constexpr const char *fcpxmlValidationID = "fcpxmlValidation";
    static constexpr const char *settingsID = "settings";

    // What the host runs on; tests replace any of it.
    struct Environment {
        // The state object's services, asked for once, when the state object is made.
        std::function<AppState::Services()> services;
        std::unique_ptr<Updater> updater;
        // The host's user defaults, for the interface preferences.
        std::shared_ptr<platform::KeyValueStore> userDefaults;
        std::shared_ptr<const platform::Clock> clock;
        platform::TimerFactory timers;
        LibraryPicker *libraryPicker = nullptr;
        PluginVersionWarningBanner::Links bannerLinks;
        // Shows that the host's own updates come from elsewhere, after "Check for Updates…".
        std::function<void(QWidget *parent)> explainUpdates;
        // Sends the feedback that earlier runs kept for retry, once, at the start.
        std::function<void()> sendKeptFeedback;

        // The state object's standard services with the plug-in update check of this build,
        // the logging updater, the standard user defaults, the system clock and event-loop
        // timers, the folder dialog, the build's update server, the desktop, and the feedback
        // service's queue at work when a feedback server is configured.
        static Environment standard();
    };

    explicit TandrelHostApp(Environment environment = Environment::standard(),
                            QObject *parent = nullptr);
    ~TandrelHostApp() override;

    AppState &appState();
    Updater &updater() const { return *environment_.updater; }
    HostCommands &commands() const { return *commands_; }
    WindowRegistry &windows() const { return *windows_; }
    // Null until the first main window opens.
    MenuBarExtra *menuBarExtra() const { return menuBarExtra_.get(); }

    // A new main window, on screen; its updater task starts with it.
    ContentView *newMainWindow();
    // Brings the first main window forward, or opens one when there is none.
    ContentView *showMainWindow();
    // A tool window or the settings window by its id, opened or brought forward.
    QWidget *openWindow(const QString &id);

    // "Open Embrik Host" of the menu-bar extra: the first of the host's windows comes forward;
    // none is made when none is open.
    void bringFirstWindowForward();

    // A start's request: a main window on screen, and its libraries watched; those that
    // cannot be are refused, each with why.
    HostAnswer handle(const HostRequest &request);

private:
    Environment environment_;
    std::unique_ptr<AppState> appState_;
    std::unique_ptr<Preferences> preferences_;
    std::unique_ptr<HostNotifications> notifications_;
    std::unique_ptr<HostCommands> commands_;
    std::unique_ptr<WindowRegistry> windows_;
    std::unique_ptr<MenuBarExtra> menuBarExtra_;
};

} // namespace tandrel
