#include "host/app/TandrelHostApp.h"

#include "designkit/CorvaneTextStyle.h"
#include "host/app/HostCommands.h"
#include "host/app/HostRequest.h"
#include "host/app/MenuBarExtra.h"
#include "host/app/UpdaterStartTask.h"
#include "host/app/WindowRegistry.h"
#include "host/feedback/FeedbackService.h"
#include "host/update/StandardPluginUpdateCheck.h"
#include "host/update/Updater.h"
#include "host/views/common/Preferences.h"
#include "host/views/layout/CanvasCropPicker.h"
#include "host/views/main/ContentView.h"
#include "host/views/main/HostNotifications.h"
#include "host/views/main/LibraryPicker.h"
#include "host/views/preview/PositionPreviewWindow.h"
#include "host/views/settings/SettingsView.h"
#include "host/views/validation/ValidationView.h"

#include "platform/pasteboard/ClipboardPasteboard.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>

namespace tandrel {

TandrelHostApp::Environment TandrelHostApp::Environment::standard() {
    Environment environment;
    environment.services = [] {
        AppState::Services services = AppState::Services::standard();
        services.checkPluginUpdate = standardPluginUpdateCheck(TANDREL_BUILD_NUMBER);
        // Copied elements go through the desktop's clipboard, so they also reach a second
        // host window and survive the window that copied them.
        services.pasteboard = std::make_shared<platform::ClipboardPasteboard>();
        return services;
    };
    environment.updater = std::make_unique<LoggingUpdater>();
    environment.userDefaults = platform::SettingsKeyValueStore::standardUserDefaults();
    environment.clock = platform::Clock::system();
    environment.timers = platform::eventLoopTimers();
    environment.libraryPicker = &LibraryPicker::system();
    environment.bannerLinks = PluginVersionWarningBanner::Links::standard();
    environment.explainUpdates = [](QWidget *parent) {
        auto *box = new QMessageBox(
            QMessageBox::NoIcon, QStringLiteral("Check for Updates"),
            QStringLiteral("Embrik Host is kept up to date by your system's package manager."),
            QMessageBox::Ok, parent);
        box->setInformativeText(QStringLiteral(
            "The Final Cut Pro plugin is brought up to this version by Embrik Host itself."));
        box->setAttribute(Qt::WA_DeleteOnClose);
        corvane::corvaneBody(box);
        box->open();
    };
    // Without this, what an earlier run kept would wait for the user's next send.
    environment.sendKeptFeedback = [] { FeedbackService::drainAtStart(); };
    return environment;
}

TandrelHostApp::TandrelHostApp(Environment environment, QObject *parent)
    : QObject(parent), environment_(std::move(environment)),
      preferences_(std::make_unique<Preferences>(environment_.userDefaults)),
      notifications_(std::make_unique<HostNotifications>()),
      windows_(std::make_unique<WindowRegistry>()) {
    commands_ = std::make_unique<HostCommands>(HostCommands::Handlers{
        .checkForUpdates =
            [this] {
                updater().checkForUpdates();
                if (environment_.explainUpdates) {
                    environment_.explainUpdates(QApplication::activeWindow());
                }
            },
        .sendFeedback = [this] { notifications_->postShowFeedbackSheet(); },
        .settings = [this] { openWindow(QString::fromUtf8(settingsID)); },
        .newWindow = [this] { newMainWindow(); },
        .quit = [] { QCoreApplication::quit(); },
    });
    // Every window answers the host's shortcuts, tool windows too.
    connect(windows_.get(), &WindowRegistry::windowCreated, this,
            [this](QWidget *window) { window->addActions(commands_->all()); });

    const auto scene = [this](const char *title, QSize size, auto content) {
        return WindowRegistry::Scene{QString::fromUtf8(title), size,
                                     [this, content] { return content(appState()); }};
    };
    windows_->declare(QString::fromUtf8(positionPreviewID),
                      scene("Position Preview", {1200, 800}, [](AppState &state) {
                          return new PositionPreviewWindow(state,
                                                           {.cropPicker = &makeCanvasCropPicker});
                      }));
    windows_->declare(QString::fromUtf8(fcpxmlValidationID),
                      scene("Validate Against FCPXML", {720, 680}, [](AppState &state) {
                          return new ValidationView(
                              state, ValidationRunController::checkingActiveTimeline(state));
                      }));
    windows_->declare(QString::fromUtf8(settingsID),
                      scene("Settings", SettingsView::windowSize, [this](AppState &state) {
                          return new SettingsView(state, *preferences_);
                      }));
    if (environment_.sendKeptFeedback) {
        environment_.sendKeptFeedback();
    }
}

TandrelHostApp::~TandrelHostApp() {
    // Windows and the menu go first: their tasks and views use the state object and the
    // updater.
    menuBarExtra_.reset();
    windows_.reset();
}

AppState &TandrelHostApp::appState() {
    if (!appState_) {
        appState_ = std::make_unique<AppState>(environment_.services());
    }
    return *appState_;
}

ContentView *TandrelHostApp::newMainWindow() {
    auto *window = new ContentView({
        .state = &appState(),
        .preferences = preferences_.get(),
        .notifications = notifications_.get(),
        .libraryPicker = environment_.libraryPicker,
        .bannerLinks = environment_.bannerLinks,
        .clock = environment_.clock,
        .timers = environment_.timers,
        .fillMenuBar = [this](QMenuBar *menuBar) { commands_->fillMenuBar(menuBar); },
        .openWindow = [this](const QString &id) { openWindow(id); },
    });
    new UpdaterStartTask(window, updater(), environment_.timers);
    windows_->addMainWindow(window);
    bringForward(window);
    if (!menuBarExtra_) {
        menuBarExtra_ = std::make_unique<MenuBarExtra>(
            appState(), MenuBarView::Actions{.openHost = [this] { bringFirstWindowForward(); },
                                             .quit = [this] { commands_->quit()->trigger(); }});
    }
    return window;
}

void TandrelHostApp::bringFirstWindowForward() {
    const std::vector<QWidget *> windows = windows_->allWindows();
    if (!windows.empty()) {
        bringForward(windows.front());
    }
}

ContentView *TandrelHostApp::showMainWindow() {
    const std::vector<QWidget *> windows = windows_->mainWindows();
    if (windows.empty()) {
        return newMainWindow();
    }
    bringForward(windows.front());
    return static_cast<ContentView *>(windows.front());
}

QWidget *TandrelHostApp::openWindow(const QString &id) {
    return windows_->open(id);
}

HostAnswer TandrelHostApp::handle(const HostRequest &request) {
    // The window first: it starts the state object, which then watches what is added.
    showMainWindow();
    HostAnswer answer;
    for (const std::filesystem::path &library : request.libraries) {
        // Checked here too: the start checked before handing over, on its own view of the
        // files, and the folder may be gone by now.
        if (std::optional<std::string> refusal = HostRequest::refusalOf(library)) {
            answer.refused.push_back({library, std::move(*refusal)});
        } else {
            appState().addLibrary(library);
        }
    }
    return answer;
}

} // namespace tandrel
