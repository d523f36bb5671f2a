// The host's main window on the sample library, in the states a user meets it in, also at its
// smallest and with the kit's tooltips of its controls; the plug-in update banner in each of
// its states, the status bar while it refreshes, the project start timecode with each of its
// hints, the choice among the editor's libraries, and a timeline served whose snapshot
// could not be written.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "designkit/Color.h"
#include "designkit/CorvaneAppearancePreset.h"
#include "designkit/CorvaneMaterial.h"
#include "designkit/Painting.h"
#include "host/state/AppState.h"
#include "host/update/PluginUpdateInstaller.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/common/MainWindowAppearance.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/TextButton.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/main/ContentView.h"
#include "host/views/main/DetectFromFCPButton.h"
#include "host/views/main/LibrariesBar.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "host/views/main/ProjectStartTCView.h"
#include "host/views/main/SidebarView.h"
#include "host/views/main/StatusBarView.h"
#include "host/views/main/TimelineListView.h"
#include "host/views/settings/SettingsContent.h"
#include "platform/automation/EditorAutomation.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-screens/ScreenHover.h"
#include "tools/tandrel-screens/ScreenMainWindow.h"
#include "tools/tandrel-screens/ScreenState.h"

#include <QAbstractButton>
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
using tandrel::screens::Host;
using tandrel::screens::host;
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
    // The same under the translucent "Soft" look.
    narrowSidebarSoft,
    // At the window's minimum size with all four of the editor's panels open.
    allPanels,
    // At the size it opens at, serving, a marker element in the editor.
    element,
    updateBanner,
    // The full lists while a timeline is served, its card open.
    timelines,
    // The sample and a second library whose events have the same names.
    twoLibraries,
    // The empty sidebar after the editor refused Automation and the reset command was copied.
    detectPermission,
    // Serving, but the snapshot could not be written: its folder is refused.
    writeFailed,
    // The same with the full lists, the served timeline's card open.
    timelinesWriteFailed,
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

// The second library's name: a line break and an override in it, drawn from the hostile
// library.
std::string trailerName(const ScreenContext &context) {
    return context.hostile ? sample::folderNameOf("Trailer\nServing 'Sample' \u202E(2)")
                           : std::string("Trailer");
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
    Host &made =
        host(stage == Stage::updateBanner ? AppState::PluginUpdateCheck([](auto publish) {
                 publish(PluginUpdateState::installed("58"));
             })
                                          : nullptr,
             stage == Stage::detectPermission ? std::make_shared<RefusingEditor>() : nullptr,
             stage == Stage::writeFailed || stage == Stage::timelinesWriteFailed
                 ? &screens::refusedSnapshotFolder
                 : nullptr);
    AppState &state = *made.state;
    if (stage == Stage::narrowSidebarSoft) {
        // As the settings window leaves it when the user picks the look.
        const corvane::CorvaneAppearancePreset &soft = corvane::CorvaneAppearancePreset::soft();
        SettingsContent::apply(soft, made.preferences);
    }
    std::unique_ptr<ContentView> window = screens::mainWindowOn(made);
    state.start();
    if (stage != Stage::empty && stage != Stage::detectPermission) {
        state.addLibrary(screens::sampleLibrary(context));
    }
    if (stage == Stage::twoLibraries) {
        sample::LibraryDescription trailer =
            context.hostile ? sample::hostileSampleLibrary(screens::hostileTextsTable())
                            : sample::standardSampleLibrary();
        trailer.name = trailerName(context);
        state.addLibrary(sample::SampleLibraryWriter::write(
            trailer, QFile::encodeName(context.home).toStdString()));
    }
    if (stage == Stage::timelines || stage == Stage::twoLibraries ||
        stage == Stage::timelinesWriteFailed) {
        // The "Day 1" cards open, as a user left them.
        const std::string day1 = screens::folderNamed(context, "Day 1");
        const std::string open = screens::folderNamed(context, "Sample") + '\x02' + day1 + '\x01' +
                                 trailerName(context) + '\x02' + day1;
        made.preferences.setValue(QString::fromUtf8(Preferences::expandedEventsKey),
                                  QString::fromStdString(open));
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
    if (stage == Stage::timelines || stage == Stage::timelinesWriteFailed) {
        window->sidebar()->setShowManualLibraryPicker(true);
    }
    if (stage == Stage::serving || stage == Stage::override || stage == Stage::collapsed ||
        stage == Stage::narrowSidebar || stage == Stage::narrowSidebarSoft ||
        stage == Stage::updateBanner || stage == Stage::timelines || stage == Stage::allPanels ||
        stage == Stage::element || stage == Stage::writeFailed ||
        stage == Stage::timelinesWriteFailed) {
        state.setActiveTimeline(timelineID(state, screens::named(context, "Sample")));
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
    if (stage == Stage::allPanels || stage == Stage::element) {
        // A marker element in the editor, as the user left it.
        const DisplayConfig &active = state.presets().at(*state.activePresetIndex());
        state.selectElement(active.elements.at(0).id, false);
    }
    if (stage == Stage::allPanels) {
        window->displaySettings()->insertPanel(RightPanel::validate);
    }
    if (stage == Stage::narrowSidebar || stage == Stage::narrowSidebarSoft) {
        // Once the window is on screen at its size, as "Show Sidebar" leaves it when its slide
        // is over.
        QMetaObject::invokeMethod(
            window.get(), [view = window.get()] { view->setSidebarCollapsed(false); },
            Qt::QueuedConnection);
    }
    return window;
}

// Which control of a main window the pointer rests on, its tooltip shown.
enum class Hovered {
    sidebarToggle,
    // The header's wand, after a detection the editor refused: its tooltip tells why.
    detectError,
    refresh,
    timelineName,
};

std::unique_ptr<QWidget> mainWindowTooltip(const ScreenContext &context, Hovered hovered) {
    const Stage stage = hovered == Hovered::detectError    ? Stage::detectPermission
                        : hovered == Hovered::timelineName ? Stage::timelines
                                                           : Stage::serving;
    std::unique_ptr<QWidget> made = mainWindow(context, stage);
    auto *window = static_cast<ContentView *>(made.get());
    QWidget *anchor = nullptr;
    switch (hovered) {
    case Hovered::sidebarToggle:
        anchor = window->sidebarToggle();
        break;
    case Hovered::detectError:
        for (auto *detect : window->findChildren<DetectFromFCPButton *>()) {
            if (detect->isCompact()) {
                anchor = detect->button();
            }
        }
        break;
    case Hovered::refresh:
        anchor = window->statusBar()->refreshButton();
        break;
    case Hovered::timelineName:
        for (auto *row : window->findChildren<TimelineRow *>()) {
            if (row->content().timeline.name == screens::named(context, "Multicam Edit")) {
                anchor = row->nameLabel();
            }
        }
        break;
    }
    if (anchor == nullptr) {
        throw std::runtime_error("the main window has no such control");
    }
    screens::showTooltipWhenShown(anchor);
    return made;
}

// Behind a part of the sidebar: the window's glass under the sidebar's card, in the default
// appearance.
class SidebarCard : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override {
        const MainWindowAppearance appearance =
            MainWindowAppearance::from(AppearanceSettings::defaults());
        QPainter painter(this);
        painter.fillRect(rect(),
                         corvane::CorvaneMaterial(corvane::CorvaneMaterial::hudWindow).fill());
        painter.fillRect(rect(),
                         corvane::withOpacity(appearance.baseColor, appearance.baseOpacity));
        painter.fillRect(rect(), corvane::withOpacity(appearance.sidebarCardColor,
                                                      appearance.sidebarCardOpacity));
    }
};

// A library row as the sidebar shows it at its default width, read but for two event
// databases, the pointer on its red triangle: the tooltip lists them, one a line.
std::unique_ptr<QWidget> unreadableLibraryTooltip() {
    WatchedLibrary library = WatchedLibrary::forURL("/Volumes/Media/Sample.fcpbundle");
    library.isLoaded = true;
    library.unreadableDatabases = {
        "Shoot Days / Day 2: Failed to open FCP database: file is not a database",
        "Day 1: permission denied",
    };
    auto card = std::make_unique<SidebarCard>();
    auto *layout = new QVBoxLayout(card.get());
    layout->setContentsMargins(12, 8, 12, 8);
    auto *row = new LibraryRow(library, [] {});
    layout->addWidget(row);
    layout->addStretch(1);
    screens::showTooltipWhenShown(row->statusIcon());
    return card;
}

// The project start timecode field as the sidebar shows it, at the sidebar's default width,
// with each of its hints.
enum class StartTC {
    // Nothing served yet.
    noTimeline,
    detected,
    // Served, but the library gave no start timecode.
    notReported,
    override,
};

std::unique_ptr<QWidget> startTC(const ScreenContext &context, StartTC which) {
    Host &made = host();
    AppState &state = *made.state;
    state.start();
    if (which == StartTC::detected || which == StartTC::override) {
        state.addLibrary(screens::sampleLibrary(context));
        platform::MainQueue::runPending();
        state.setActiveTimeline(timelineID(state, screens::named(context, "Sample")));
    } else if (which == StartTC::notReported) {
        // A timeline no watched library offers: nothing to read its start from.
        state.setActiveTimeline("4B2F0C1E-0000-4000-8000-000000000001");
    }
    auto card = std::make_unique<SidebarCard>();
    auto *layout = new QVBoxLayout(card.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto *view = new ProjectStartTCView(state);
    layout->addWidget(view);
    layout->addStretch(1);
    if (which == StartTC::override) {
        // Typed into the field, as a user does, who is still in it.
        QTest::keyClicks(view->field(), "00:59:50:00");
    } else {
        // In the sidebar the field waits for a click: the keyboard is elsewhere.
        card->setFocusPolicy(Qt::StrongFocus);
        QMetaObject::invokeMethod(
            card.get(), [to = card.get()] { to->setFocus(); }, Qt::QueuedConnection);
    }
    return card;
}

// `band` as the band of a main window in the default appearance, its parts in a column.
QVBoxLayout *onTheBand(QWidget &band) {
    band.setAutoFillBackground(true);
    QPalette palette = band.palette();
    palette.setColor(QPalette::Window,
                     MainWindowAppearance::from(AppearanceSettings::defaults()).bandColor);
    band.setPalette(palette);
    auto *layout = new QVBoxLayout(&band);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// The status bar while a refresh it asked for runs, on the band behind it, as wide as the
// smallest main window.
std::unique_ptr<QWidget> statusBarRefreshing(const ScreenContext &context) {
    Host &made = host();
    AppState &state = *made.state;
    state.start();
    state.addLibrary(screens::sampleLibrary(context));
    platform::MainQueue::runPending();
    state.setActiveTimeline(timelineID(state, screens::named(context, "Sample")));
    made.clock->advance(2min);
    auto band = std::make_unique<QWidget>();
    auto *layout = onTheBand(*band);
    auto *bar = new StatusBarView(state, made.clock, made.clock->timers());
    layout->addWidget(bar);
    // The state object's refresh is under way: it reads the libraries again on its queue.
    StatusBarContent refreshing = bar->content();
    refreshing.isRefreshing = true;
    bar->display(refreshing);
    return band;
}

// The banner alone, on the band behind it, as wide as a main window.
std::unique_ptr<QWidget> banner(PluginUpdateState state) {
    qputenv("TANDREL_UPDATE_SERVER", exampleUpdateServer);
    auto band = std::make_unique<QWidget>();
    auto *layout = onTheBand(*band);
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
    {"host-main-window-minimum-sidebar-soft",
     {ContentView::minimumWidth, ContentView::minimumHeight},
     [](const ScreenContext &c) { return mainWindow(c, Stage::narrowSidebarSoft); }},
    {"host-main-window-minimum-panels",
     {ContentView::minimumWidth, ContentView::minimumHeight},
     [](const ScreenContext &c) { return mainWindow(c, Stage::allPanels); }},
    {"host-main-window-element",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::element); }},
    {"host-main-window-collapsed",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::collapsed); }},
    {"host-main-window-update-banner",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::updateBanner); }},
    {"host-main-window-timelines",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::timelines); }},
    {"host-main-window-write-failed",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::writeFailed); }},
    {"host-main-window-timelines-write-failed",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindow(c, Stage::timelinesWriteFailed); }},
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
    {"host-tooltip-sidebar-toggle",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindowTooltip(c, Hovered::sidebarToggle); }},
    {"host-tooltip-detect-error",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindowTooltip(c, Hovered::detectError); }},
    {"host-tooltip-refresh",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindowTooltip(c, Hovered::refresh); }},
    {"host-tooltip-timeline-name",
     {1240, 800},
     [](const ScreenContext &c) { return mainWindowTooltip(c, Hovered::timelineName); }},
    {"host-tooltip-library-unreadable",
     {300, 170},
     [](const ScreenContext &) { return unreadableLibraryTooltip(); }},
    {"host-status-bar-refreshing", {760, 36}, statusBarRefreshing},
    {"host-start-tc-no-timeline",
     {300, 90},
     [](const ScreenContext &c) { return startTC(c, StartTC::noTimeline); }},
    {"host-start-tc-detected",
     {300, 90},
     [](const ScreenContext &c) { return startTC(c, StartTC::detected); }},
    {"host-start-tc-not-reported",
     {300, 90},
     [](const ScreenContext &c) { return startTC(c, StartTC::notReported); }},
    {"host-start-tc-override",
     {300, 90},
     [](const ScreenContext &c) { return startTC(c, StartTC::override); }},
    {"update-banner-installing",
     {760, 70},
     [](const ScreenContext &) { return banner(PluginUpdateState::installing()); }},
    {"update-banner-installed",
     {760, 70},
     [](const ScreenContext &) { return banner(PluginUpdateState::installed("58")); }},
    {"update-banner-failed",
     {760, 70},
     [](const ScreenContext &) {
         // As the check reports a download whose signature is refused.
         return banner(PluginUpdateState::failed(
             PluginUpdateInstaller::InstallError::codeSignatureMismatch("").reason()));
     }},
    {"update-banner-failed-open-folder",
     {760, 70},
     [](const ScreenContext &) {
         // The longest reason: the applications folder is open to other users.
         return banner(PluginUpdateState::failed(
             PluginUpdateInstaller::InstallError::applicationsOpenToOthers("").reason()));
     }},
    {"update-banner-permission",
     {760, 90},
     [](const ScreenContext &) {
         return banner(PluginUpdateState::needsAppManagementPermission());
     }},
};

} // namespace
