// The main window: its colours from the interface preferences, its shell and header row, the
// update banner, dropped libraries and the feedback sheet.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/Color.h"
#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneSplitShell.h"
#include "host/views/common/MainWindowAppearance.h"
#include "host/views/feedback/FeedbackSheet.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/main/LibraryDrop.h"
#include "host/views/main/PluginVersionWarningBanner.h"
#include "host/views/main/SidebarFit.h"
#include "host/views/main/SidebarView.h"

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollArea>
#include <QTest>

namespace tandrel {
namespace {

using corvane::Color;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using MainWindow = testing::HostViewsTest;

QColor opaque(const char *hex) {
    return *Color::fromHex(QString::fromLatin1(hex));
}

TEST(MainWindowAppearance, ColoursFollowTheSettingsAndNeverFail) {
    struct Case {
        const char *what;
        AppearanceSettings settings;
        QColor base;
        QColor card;
        double cardOpacity;
    };
    const Case cases[] = {
        {"the defaults", AppearanceSettings::defaults(), opaque("#0D0D0D"), opaque("#121212"),
         0.95},
        {"a sidebar colour that is none: the base at the full darkness, no delta",
         {0.8, "#203040", "not a colour", 0.3},
         opaque("#203040"),
         opaque("#203040"),
         0.8},
        {"no sidebar colour: the base, less the delta",
         {0.7, "#000000", "", 0.05},
         Color::black(),
         Color::black(),
         0.65},
        {"no sidebar colour and a delta above the darkness: clear, never below 0",
         {0.4, "#000000", "", 0.9},
         Color::black(),
         Color::black(),
         0},
        {"a base that is no colour: black, and the sidebar without a colour follows",
         {0.95, "#GGGGGG", "", 0},
         Color::black(),
         Color::black(),
         0.95},
    };
    for (const Case &c : cases) {
        const MainWindowAppearance appearance = MainWindowAppearance::from(c.settings);
        EXPECT_EQ(appearance.baseColor, c.base) << c.what;
        EXPECT_EQ(appearance.baseOpacity, c.settings.glassDarkness) << c.what;
        EXPECT_EQ(appearance.sidebarCardColor, c.card) << c.what;
        EXPECT_DOUBLE_EQ(appearance.sidebarCardOpacity, c.cardOpacity) << c.what;
        // The band: the base at the darkness.
        EXPECT_EQ(appearance.bandColor, corvane::withOpacity(c.base, c.settings.glassDarkness))
            << c.what;
    }
}

TEST_F(MainWindow, EveryWindowTakesAChangedPreferenceAtOnce) {
    ContentView &first = mainWindow();
    ContentView &second = mainWindow();
    EXPECT_EQ(first.appearance(), MainWindowAppearance::from(AppearanceSettings::defaults()));
    // As a settings file keeps a number: as text.
    preferences.setValue(Preferences::glassDarknessKey, QStringLiteral("0.4"));
    preferences.setValue(Preferences::baseColorHexKey, QStringLiteral("#102030"));
    for (ContentView *window : {&first, &second}) {
        EXPECT_EQ(window->appearance().baseColor, opaque("#102030"));
        EXPECT_DOUBLE_EQ(window->appearance().baseOpacity, 0.4);
    }
}

TEST_F(MainWindow, StartsTheStateObjectWhenShownAndKeepsItsMinimumSize) {
    ContentView window(environment());
    EXPECT_FALSE(state().hasStarted());
    window.show();
    EXPECT_TRUE(state().hasStarted());
    EXPECT_EQ(window.minimumSize(), QSize(760, 560));
    window.resize(300, 200);
    EXPECT_EQ(window.size(), QSize(760, 560));
    // A new window has room for the sidebar, the layout editor and its panels.
    EXPECT_EQ(ContentView(environment()).size(), QSize(1240, 800));
}

TEST_F(MainWindow, TheSidebarOpensAtItsStoredWidthWithinItsBounds) {
    platform::KeyValueStore &userDefaults = *preferences.userDefaults();
    const std::pair<std::optional<double>, double> cases[] = {
        {std::nullopt, 300}, {500, 400}, {100, 220}, {260, 260}};
    for (const auto &[stored, width] : cases) {
        if (stored) {
            userDefaults.setValue(Preferences::sidebarWidthKey, *stored);
        } else {
            userDefaults.remove(Preferences::sidebarWidthKey);
        }
        EXPECT_EQ(ContentView(environment()).shell()->sidebarWidth(), width) << stored.value_or(0);
    }
}

// The width a drag leaves goes where the host keeps its settings, which refuses another user's
// settings folder: never past it, into the application's default settings.
TEST_F(MainWindow, TheSidebarKeepsItsWidthInTheHostsUserDefaults) {
    ContentView &window = mainWindow();
    QWidget *handle = window.shell()->resizeHandle();
    const QPoint press(4, 300);
    QTest::mousePress(handle, Qt::LeftButton, {}, press);
    QTest::mouseMove(handle, press + QPoint(40, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, press + QPoint(40, 0));
    EXPECT_EQ(window.shell()->sidebarWidth(), 340);
    EXPECT_EQ(preferences.userDefaults()->value(Preferences::sidebarWidthKey).toDouble(), 340);
    EXPECT_FALSE(QSettings().contains(Preferences::sidebarWidthKey));
    EXPECT_EQ(ContentView(environment()).shell()->sidebarWidth(), 340);
}

// Beside the narrowest sidebar the header row (its menus last) reaches over the editor's pane:
// the editor's header starts clear of it; beside a wide one it keeps its place.
TEST_F(MainWindow, TheEditorsHeaderStaysClearOfTheHeaderRowBesideANarrowSidebar) {
    for (const double stored : {220.0, 400.0}) {
        SCOPED_TRACE(stored);
        preferences.userDefaults()->setValue(Preferences::sidebarWidthKey, stored);
        // The host's two menus, as its commands fill the bar.
        ContentView::Environment withMenus = environment();
        withMenus.fillMenuBar = [](QMenuBar *bar) {
            bar->addMenu(QStringLiteral("File"));
            bar->addMenu(QStringLiteral("Help"));
        };
        ContentView window(withMenus);
        window.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        window.layout()->activate();
        const QWidget *row = window.headerRow();
        const QWidget *icon = window.displaySettings()->headerIcon();
        const int rowEnd = row->mapTo(&window, QPoint(row->sizeHint().width(), 0)).x();
        const int iconAt = icon->mapTo(&window, QPoint(0, 0)).x();
        EXPECT_GE(iconAt, rowEnd + 12);
        EXPECT_EQ(window.displaySettings()->headerInset() > 0, stored == 220.0);
    }
}

TEST_F(MainWindow, TheSidebarToggleSaysWhatItWillDo) {
    ContentView &window = mainWindow();
    QAbstractButton *toggle = window.sidebarToggle();
    EXPECT_EQ(toggle->accessibleName(), "Hide Sidebar");
    toggle->click();
    EXPECT_TRUE(window.isSidebarCollapsed());
    EXPECT_TRUE(window.shell()->isSidebarCollapsed());
    EXPECT_EQ(toggle->accessibleName(), "Show Sidebar");
    toggle->click();
    EXPECT_FALSE(window.shell()->isSidebarCollapsed());
    EXPECT_EQ(toggle->accessibleName(), "Hide Sidebar");
    // Each window keeps its own.
    EXPECT_FALSE(mainWindow().isSidebarCollapsed());
}

TEST(MainWindowSidebarFit, TheSidebarDocksOnlyBesideACentreColumnOfItsMinimum) {
    struct Case {
        int shellWidth;
        double sidebarWidth;
        int panels;
        bool docks;
    };
    // The docked sidebar takes its width and 17 points (card margins, handle).
    const Case cases[] = {
        {760, 300, 368, false},  {760, 220, 368, false}, {760, 300, 0, true},
        {760, 400, 0, true},     {1240, 300, 368, true}, {1005, 300, 368, true},
        {1004, 300, 368, false}, {0, 300, 0, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SidebarFit::docks(c.shellWidth, c.sidebarWidth, c.panels, 320), c.docks)
            << c.shellWidth << " " << c.sidebarWidth << " " << c.panels;
    }
}

TEST_F(MainWindow, AtItsMinimumSizeTheEditorKeepsItsCentreColumnAndTheSidebarFloats) {
    corvane::ManualClock kitClock;
    corvane::ScopedClock scopedKitClock(kitClock);
    loaded({solo_});
    ContentView &window = mainWindow();
    DisplaySettingsView *editor = window.displaySettings();
    ASSERT_FALSE(editor->activePanels().empty());
    QAbstractButton *toggle = window.sidebarToggle();
    const auto settle = [&] {
        kitClock.advance(1s);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    };
    const auto centre = [&] { return editor->mainColumn()->width(); };
    const auto sidebarOnTop = [&] {
        const QPoint inside = window.sidebar()->mapTo(&window, window.sidebar()->rect().center());
        QWidget *at = window.childAt(inside);
        return at == window.sidebar() || window.sidebar()->isAncestorOf(at);
    };
    settle();
    EXPECT_FALSE(window.isSidebarFloating());
    EXPECT_FALSE(window.isSidebarCollapsed());

    window.resize(ContentView::minimumWidth, ContentView::minimumHeight);
    settle();
    EXPECT_GE(centre(), DisplaySettingsView::columnMinimumWidth);
    EXPECT_TRUE(window.isSidebarFloating());
    EXPECT_TRUE(window.isSidebarCollapsed());
    EXPECT_FALSE(window.sidebar()->isVisible());
    EXPECT_EQ(toggle->accessibleName(), "Show Sidebar");

    // Shown, it lies over the editor, which keeps its width.
    toggle->click();
    settle();
    EXPECT_FALSE(window.isSidebarCollapsed());
    EXPECT_TRUE(window.sidebar()->isVisible());
    EXPECT_TRUE(sidebarOnTop());
    EXPECT_GE(centre(), DisplaySettingsView::columnMinimumWidth);
    EXPECT_EQ(toggle->accessibleName(), "Hide Sidebar");
    toggle->click();
    settle();
    EXPECT_TRUE(window.isSidebarCollapsed());

    // With the panels closed there is room for it in the row.
    for (const RightPanel panel : RightPanel::allCases()) {
        editor->removePanel(panel);
    }
    settle();
    EXPECT_FALSE(window.isSidebarFloating());
    EXPECT_FALSE(window.isSidebarCollapsed());
    EXPECT_GE(centre(), DisplaySettingsView::columnMinimumWidth);
    editor->insertPanel(RightPanel::editor);
    settle();
    EXPECT_TRUE(window.isSidebarFloating());
    EXPECT_GE(centre(), DisplaySettingsView::columnMinimumWidth);

    // Wide again, it takes its place as the user left it there: collapsed stays collapsed.
    window.resize(ContentView::defaultWidth, ContentView::defaultHeight);
    settle();
    EXPECT_FALSE(window.isSidebarFloating());
    EXPECT_FALSE(window.isSidebarCollapsed());
    toggle->click();
    window.resize(ContentView::minimumWidth, ContentView::minimumHeight);
    settle();
    window.resize(ContentView::defaultWidth, ContentView::defaultHeight);
    settle();
    EXPECT_TRUE(window.isSidebarCollapsed());
    EXPECT_FALSE(window.isSidebarFloating());

    // Shown while it floats, it stays shown when the window widens.
    window.resize(ContentView::minimumWidth, ContentView::minimumHeight);
    settle();
    ASSERT_TRUE(window.isSidebarFloating());
    toggle->click();
    settle();
    ASSERT_FALSE(window.isSidebarCollapsed());
    window.resize(ContentView::defaultWidth, ContentView::defaultHeight);
    settle();
    EXPECT_FALSE(window.isSidebarFloating());
    EXPECT_FALSE(window.isSidebarCollapsed());
    EXPECT_TRUE(window.sidebar()->isVisible());
}

TEST_F(MainWindow, AddLibraryAsksTheFolderDialogAndWatchesTheChoice) {
    ContentView &window = mainWindow();
    window.addLibraryButton()->click();
    EXPECT_EQ(picker.asked, 1);
    EXPECT_TRUE(state().watchedLibraries().empty());
    picker.answer = solo_;
    window.addLibraryButton()->click();
    ASSERT_EQ(state().watchedLibraries().size(), 1u);
    EXPECT_EQ(state().watchedLibraries()[0].url, solo_);
}

TEST(MainWindowDrop, OnlyLocalFoldersNamedFcpbundleAreLibraries) {
    const QList<QUrl> dropped{
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/A.fcpbundle")),
        QUrl(QStringLiteral("file:///Volumes/Media/B.fcpbundle/")),
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/X.FCPBUNDLE")),
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/Folder")),
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/notes.txt")),
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/.fcpbundle")),
        QUrl(QStringLiteral("https://example.com/C.fcpbundle")),
        QUrl::fromLocalFile(QStringLiteral("/Volumes/Media/D.fcpbundle")),
    };
    EXPECT_EQ(droppedLibraries(dropped),
              (std::vector<fs::path>{"/Volumes/Media/A.fcpbundle", "/Volumes/Media/B.fcpbundle",
                                     "/Volumes/Media/D.fcpbundle"}));
    EXPECT_TRUE(droppedLibraries({}).empty());
}

TEST_F(MainWindow, DroppedLibrariesAreAddedFromTheMainQueueAndEveryDropIsTaken) {
    ContentView &window = mainWindow();
    testing::ScratchFolder more;
    const fs::path third = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Third", {{"Gamma", 1}}), more.path());
    fs::create_directories(more.path() / "X.FCPBUNDLE");
    fs::create_directories(more.path() / "Folder");
    testing::writeFile(more.path() / "notes.txt", "text");

    const auto drop = [&](const std::vector<fs::path> &paths) {
        QList<QUrl> urls;
        for (const fs::path &path : paths) {
            urls << QUrl::fromLocalFile(QString::fromStdString(path.string()));
        }
        QMimeData data;
        data.setUrls(urls);
        // As a drag arrives: it enters the window, then is dropped there.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&window, &enter);
        QDropEvent event(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, {});
        event.setAccepted(false);
        QCoreApplication::sendEvent(&window, &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(drop({solo_, pair_, third}));
    // Added on a later turn, not while the drop is delivered.
    EXPECT_TRUE(state().watchedLibraries().empty());
    platform::MainQueue::runPending();
    ASSERT_EQ(state().watchedLibraries().size(), 3u);
    EXPECT_EQ(state().watchedLibraries()[2].name, "Third");

    EXPECT_TRUE(drop(
        {more.path() / "X.FCPBUNDLE", more.path() / "Folder", more.path() / "notes.txt", solo_}));
    EXPECT_TRUE(drop({}));
    platform::MainQueue::runPending();
    EXPECT_EQ(state().watchedLibraries().size(), 3u);
}

TEST_F(MainWindow, TheUpdateBannerAndItsRuleShowUnlessThePlugInIsUpToDate) {
    std::function<void(PluginUpdateState)> publish;
    services.checkPluginUpdate = [&](std::function<void(PluginUpdateState)> setState) {
        publish = std::move(setState);
    };
    ContentView &window = mainWindow();
    platform::MainQueue::runPending();
    ASSERT_TRUE(publish);
    EXPECT_FALSE(window.showsUpdateBanner());
    const std::pair<PluginUpdateState, bool> states[] = {
        {PluginUpdateState::installing(), true},
        {PluginUpdateState::installed("58"), true},
        {PluginUpdateState::upToDate(), false},
        {PluginUpdateState::failed("Download server returned HTTP 404."), true},
        {PluginUpdateState::needsAppManagementPermission(), true},
        {PluginUpdateState::upToDate(), false},
    };
    for (const auto &[updateState, shown] : states) {
        publish(updateState);
        EXPECT_EQ(window.showsUpdateBanner(), shown) << updateState.text();
        EXPECT_EQ(window.updateBanner()->state(), updateState);
    }
}

TEST(MainWindowUpdateBanner, ShowsEachStatesIconMessageAndButtons) {
    testing::FakeUrlOpener opener;
    const QUrl installer(QStringLiteral("https://downloads.example/installer.pkg"));
    PluginVersionWarningBanner banner(PluginUpdateState::upToDate(), {installer, &opener});
    banner.resize(900, 80);
    banner.show();
    using Icon = PluginVersionWarningBannerModel::Icon;
    struct Case {
        PluginUpdateState state;
        Icon icon;
        bool settingsButton;
        bool installerButton;
    };
    const Case cases[] = {
        {PluginUpdateState::installed("58"), Icon::checkmark, false, false},
        {PluginUpdateState::failed("Download server returned HTTP 404."), Icon::warning, false,
         true},
        {PluginUpdateState::needsAppManagementPermission(), Icon::warning, true, true},
        {PluginUpdateState::installing(), Icon::spinner, false, false},
    };
    for (const Case &c : cases) {
        banner.setState(c.state);
        EXPECT_EQ(banner.model().icon, c.icon);
        EXPECT_EQ(banner.message()->text().toStdString(), banner.model().message);
        EXPECT_EQ(banner.appManagementButton()->isVisible(), c.settingsButton);
        EXPECT_EQ(banner.downloadInstallerButton()->isVisible(), c.installerButton);
    }
    banner.setState(PluginUpdateState::needsAppManagementPermission());
    EXPECT_LT(banner.appManagementButton()->x(), banner.downloadInstallerButton()->x());
    banner.appManagementButton()->click();
    banner.downloadInstallerButton()->click();
    EXPECT_EQ(opener.opened,
              (std::vector<QUrl>{QUrl(QStringLiteral("x-apple.systempreferences:com.apple."
                                                     "preference.security?Privacy_AppManagement")),
                                 installer}));

    // Where nothing opens the settings pane and no server is configured, neither is offered.
    opener.opensEverything = false;
    PluginVersionWarningBanner bare(PluginUpdateState::needsAppManagementPermission(),
                                    {std::nullopt, &opener});
    EXPECT_FALSE(bare.model().showsAppManagementButton);
    EXPECT_FALSE(bare.model().showsDownloadInstallerButton);
}

TEST_F(MainWindow, PresentsOneFeedbackSheetWhenAskedWhileOnScreen) {
    ContentView &shown = mainWindow();
    ContentView hidden(environment());
    notifications.postShowFeedbackSheet();
    ASSERT_NE(shown.feedbackSheet(), nullptr);
    EXPECT_TRUE(shown.feedbackSheet()->isVisible());
    EXPECT_EQ(shown.feedbackSheet()->model().herkunft(), "Main Window");
    EXPECT_EQ(shown.feedbackSheet()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(hidden.feedbackSheet(), nullptr);

    FeedbackSheet *sheet = shown.feedbackSheet();
    notifications.postShowFeedbackSheet();
    EXPECT_EQ(shown.feedbackSheet(), sheet);
    // Dismissed, the next request presents a new one.
    sheet->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(shown.feedbackSheet(), nullptr);
    notifications.postShowFeedbackSheet();
    EXPECT_NE(shown.feedbackSheet(), nullptr);
}

} // namespace
} // namespace tandrel
