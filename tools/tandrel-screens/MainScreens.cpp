// The host's main window on the sample library, in the states a user meets it in, the
// plug-in update banner in each of its states, and the choice among the editor's libraries.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/Color.h"
#include "host/app/HostCommands.h"
#include "host/state/AppState.h"
#include "host/views/common/MainWindowAppearance.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/TextButton.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/main/ContentView.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/main/HostNotifications.h"
#include "host/views/main/LibraryPicker.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "host/views/main/ProjectStartTCView.h"
#include "host/views/main/SidebarView.h"
#include "platform/automation/EditorAutomation.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

#include <chrono>
#include <stdexcept>

namespace {

using namespace tandrel;
using namespace std::chrono_literals;
using tandrel::screens::ScreenContext;

// Nothing is fetched from it: it only gives the banner an installer to offer.
constexpr const char *exampleUpdateServer = "https://downloads.ostrevale.example";

enum class Stage {
    empty,
    library,
    serving,
    override,
    collapsed,
    // At the window's minimum size, the sidebar brought over the editor.
    narrowSidebar,
    updateBanner,
    // The full lists while a timeline is served, its card open.
    timelines,
    // The sample and a second library whose events have the same names.
    twoLibraries,
    // The empty sidebar after the editor refused Automation and the reset command was copied.
    detectPermission,
};

// An editor that runs and refuses the host's requests.
class RefusingEditor final : public platform::EditorAutomation {
public:
    std::vector<std::string> runningBundleIdentifiers() const override {
        return {"com.apple.FinalCut"};
    }
    std::int32_t determinePermission(const std::string &) override { return notPermitted; }
    std::optional<ScriptResult> runScript(const std::string &) override { return std::nullopt; }
};

// What a main window of the screens lives on; made once per screen process, never freed
// before the window.
struct Host {
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::unique_ptr<AppState> state;
    Preferences preferences{platform::SettingsKeyValueStore::standardUserDefaults()};
    HostNotifications notifications;
    // The host's menus; nothing here acts on them.
    HostCommands commands{{}};

    explicit Host(AppState::PluginUpdateCheck check,
                  std::shared_ptr<platform::EditorAutomation> editor = nullptr) {
        AppState::Services services = screens::standInServices(clock);
        if (editor) {
            services.editorAutomation = std::move(editor);
        }
        services.checkPluginUpdate = std::move(check);
        state = std::make_unique<AppState>(std::move(services));
    }
};

Host &host(AppState::PluginUpdateCheck check = nullptr,
           std::shared_ptr<platform::EditorAutomation> editor = nullptr) {
    static Host made(std::move(check), std::move(editor));
    return made;
}

std::string timelineID(const AppState &state, const std::string &name) {
    for (const TimelineChoice &timeline : state.availableTimelines()) {
        if (timeline.name == name) {
            return timeline.id;
        }
    }
    throw std::runtime_error("the sample library has no timeline " + name);
}

std::unique_ptr<QWidget> mainWindow(const ScreenContext &context, Stage stage) {
    qputenv("TANDREL_UPDATE_SERVER", exampleUpdateServer);
    Host &made = host(stage == Stage::updateBanner ? AppState::PluginUpdateCheck([](auto publish) {
        publish(PluginUpdateState::installed("58"));
    })
                                                   : nullptr,
                      stage == Stage::detectPermission ? std::make_shared<RefusingEditor>()
                                                       : nullptr);
    AppState &state = *made.state;
    auto window = std::make_unique<ContentView>(ContentView::Environment{
        .state = &state,
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
    state.start();
    if (stage != Stage::empty && stage != Stage::detectPermission) {
        state.addLibrary(screens::sampleLibrary(context));
    }
    if (stage == Stage::twoLibraries) {
        sample::LibraryDescription trailer = sample::standardSampleLibrary();
        trailer.name = "Trailer";
        state.addLibrary(sample::SampleLibraryWriter::write(
            trailer, QFile::encodeName(context.home).toStdString()));
    }
    if (stage == Stage::timelines || stage == Stage::twoLibraries) {
        // The "Day 1" cards open, as a user left them.
        made.preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                                  QString::fromUtf8("Sample\x02" "Day 1\x01Trailer\x02" "Day 1"));
    }
    platform::MainQueue::runPending();
    if (stage == Stage::detectPermission) {
        for (auto *detect : window->findChildren<DetectFromFCPButton *>()) {
            if (!detect->isCompact()) {
                detect->detect();
                detect->copyResetCommandButton()->click();
            }
        }
    }
    if (stage == Stage::timelines) {
        window->sidebar()->setShowManualLibraryPicker(true);
    }
    if (stage == Stage::serving || stage == Stage::override || stage == Stage::collapsed ||
        stage == Stage::narrowSidebar || stage == Stage::updateBanner ||
        stage == Stage::timelines) {
        state.setActiveTimeline(timelineID(state, "Sample"));
        // Written a while ago.
        made.clock->advance(2min);
    }
    if (stage == Stage::override) {
        // Typed into the field, as a user does.
        QTest::keyClicks(window->findChild<ProjectStartTCView *>()->field(), "00:59:50:00");
    }
    if (stage == Stage::collapsed) {
        window->setSidebarCollapsed(true);
    }
    if (stage == Stage::narrowSidebar) {
        // Once the window is on screen at its size, as "Show Sidebar" leaves it when its slide
        // is over.
        QMetaObject::invokeMethod(
            window.get(), [view = window.get()] { view->setSidebarCollapsed(false); },
            Qt::QueuedConnection);
    }
    return window;
}

// The banner alone, on the band behind it, as wide as a main window.
std::unique_ptr<QWidget> banner(PluginUpdateState state) {
    qputenv("TANDREL_UPDATE_SERVER", exampleUpdateServer);
    auto band = std::make_unique<QWidget>();
    band->setAutoFillBackground(true);
    QPalette palette = band->palette();
    palette.setColor(QPalette::Window,
                     MainWindowAppearance::from(AppearanceSettings::defaults()).bandColor);
    band->setPalette(palette);
    auto *layout = new QVBoxLayout(band.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new PluginVersionWarningBanner(state, PluginVersionWarningBanner::Links::standard()));
    layout->addStretch(1);
    return band;
}

// The choice among the editor's open libraries that detection offers: names that widen it,
// and one too long for its widest, which wraps.
std::unique_ptr<QWidget> choiceDialog(bool tooLong) {
    std::vector<std::filesystem::path> libraries{
        "/Volumes/Media/Feature Film.fcpbundle",
        "/Volumes/Media/Trailer.fcpbundle",
        "/Users/editor/Movies/Interviews and B-Roll for the Director's Cut.fcpbundle",
    };
    if (tooLong) {
        libraries.emplace_back("/Volumes/Archive/Interviews, B-Roll, Pick-ups and Archive Material "
                               "for the Director's Extended Cut (Reel 4).fcpbundle");
    }
    return std::make_unique<LibraryChoiceDialog>(libraries, [](const std::filesystem::path &) {});
}

const tandrel::screens::ScreenRegistration screens{
    {"host-main-window-empty",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::empty); }},
    {"host-main-window-library",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::library); }},
    {"host-main-window-serving",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::serving); }},
    {"host-main-window-override",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::override); }},
    {"host-main-window-minimum",
     {ContentView::minimumWidth, ContentView::minimumHeight},
     [](const ScreenContext &c) { return mainWindow(c, Stage::serving); }},
    {"host-main-window-minimum-sidebar",
     {ContentView::minimumWidth, ContentView::minimumHeight},
     [](const ScreenContext &c) { return mainWindow(c, Stage::narrowSidebar); }},
    {"host-main-window-collapsed",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::collapsed); }},
    {"host-main-window-update-banner",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::updateBanner); }},
    {"host-main-window-timelines",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::timelines); }},
    {"host-main-window-two-libraries",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::twoLibraries); }},
    {"host-sidebar-detect-permission",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::detectPermission); }},
    {"host-detect-dialog", {329, 253}, [](const ScreenContext &) { return choiceDialog(false); }},
    {"host-detect-dialog-long-names",
     {480, 305},
     [](const ScreenContext &) { return choiceDialog(true); }},
    {"update-banner-installing",
     {760, 70},
     [](const ScreenContext &) { return banner(PluginUpdateState::installing()); }},
    {"update-banner-installed",
     {760, 70},
     [](const ScreenContext &) { return banner(PluginUpdateState::installed("58")); }},
    {"update-banner-failed",
     {760, 70},
     [](const ScreenContext &) {
         return banner(PluginUpdateState::failed("Download server returned HTTP 404."));
     }},
    {"update-banner-permission",
     {760, 90},
     [](const ScreenContext &) {
         return banner(PluginUpdateState::needsAppManagementPermission());
     }},
};

} // namespace
