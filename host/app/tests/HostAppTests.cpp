// The host application: its windows and the commands they share, the updater's start, and one
// host per user.
#include "core/support/Json.h"
#include "core/tests/HostileTexts.h"
#include "host/app/HostCommands.h"
#include "host/app/HostRequest.h"
#include "host/app/MenuBarExtra.h"
#include "host/app/SingleInstance.h"
#include "host/app/TandrelHostApp.h"
#include "host/app/UpdaterStartTask.h"
#include "host/app/WindowRegistry.h"
#include "host/app/tests/HostProcess.h"
#include "host/update/Updater.h"
#include "host/views/common/Preferences.h"
#include "host/views/feedback/FeedbackSheet.h"
#include "host/views/main/tests/HostViewsFixture.h"
#include "host/views/settings/SettingsView.h"
#include "wrapper/PluginVersionMarker.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QScreen>
#include <QTest>
#include <QThread>

#include <future>
#include <mutex>

namespace tandrel {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The updater, counting what it is asked.
class CountingUpdater final : public Updater {
public:
    explicit CountingUpdater(int &starts, int &checks) : starts_(starts), checks_(checks) {}
    void startUpdater() override { ++starts_; }
    void checkForUpdates() override { ++checks_; }
    bool isStarted() const override { return starts_ > 0; }

private:
    int &starts_;
    int &checks_;
};

class HostApp : public testing::HostViewsTest {
protected:
    TandrelHostApp &host() {
        if (!host_) {
            TandrelHostApp::Environment environment;
            environment.services = [this] { return services; };
            environment.updater = std::make_unique<CountingUpdater>(starts, checks);
            environment.userDefaults = hostDefaults;
            environment.clock = clock;
            environment.timers = clock->timers();
            environment.libraryPicker = &picker;
            environment.bannerLinks = {std::nullopt, &opener};
            environment.explainUpdates = [this](QWidget *) { ++explained; };
            host_ = std::make_unique<TandrelHostApp>(std::move(environment));
        }
        return *host_;
    }
    void TearDown() override {
        host_.reset();
        HostViewsTest::TearDown();
    }

    std::shared_ptr<platform::MemoryKeyValueStore> hostDefaults =
        std::make_shared<platform::MemoryKeyValueStore>();

    // The sheets the main windows present.
    int sheets() {
        int count = 0;
        for (QWidget *window : host().windows().mainWindows()) {
            count += static_cast<ContentView *>(window)->feedbackSheet() != nullptr ? 1 : 0;
        }
        return count;
    }
    void dismissSheets() {
        for (QWidget *window : host().windows().mainWindows()) {
            if (FeedbackSheet *sheet = static_cast<ContentView *>(window)->feedbackSheet()) {
                sheet->reject();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int starts = 0;
    int checks = 0;
    int explained = 0;
    std::unique_ptr<TandrelHostApp> host_;
};

TEST_F(HostApp, TheUpdaterStartsThreeSecondsAfterAMainWindowShowsAndNeverBefore) {
    host();
    clock->advance(1h);
    EXPECT_EQ(starts, 0) << "no main window yet";
    host().newMainWindow();
    clock->advance(UpdaterStartTask::delay - 1ms);
    EXPECT_EQ(starts, 0);
    clock->advance(1ms);
    EXPECT_EQ(starts, 1);
    clock->advance(1h);
    EXPECT_EQ(starts, 1);
    // Each further main window runs its own task.
    host().newMainWindow();
    clock->advance(UpdaterStartTask::delay);
    EXPECT_EQ(starts, 2);
}

TEST_F(HostApp, AMainWindowClosedWithinTheWaitStartsTheUpdaterAtOnce) {
    ContentView *window = host().newMainWindow();
    clock->advance(1s);
    window->close();
    EXPECT_EQ(starts, 1);
    clock->advance(1h);
    EXPECT_EQ(starts, 1);
    // One that goes without being closed too.
    delete host().newMainWindow();
    EXPECT_EQ(starts, 2);
}

TEST_F(HostApp, SendFeedbackGivesEveryOpenMainWindowItsOwnSheet) {
    // No main window: nothing to present, nothing presented.
    host().commands().sendFeedback()->trigger();
    EXPECT_TRUE(host().windows().mainWindows().empty());

    ContentView *first = host().newMainWindow();
    host().newMainWindow();
    host().commands().sendFeedback()->trigger();
    EXPECT_EQ(sheets(), 2);
    dismissSheets();
    ASSERT_EQ(sheets(), 0);

    // From the keyboard, in the window that has it.
    first->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), first);
    QTest::keyClick(first, Qt::Key_Question, Qt::ControlModifier);
    EXPECT_EQ(sheets(), 2);
}

TEST_F(HostApp, ToolWindowsAreOpenedByIdAndStaySingle) {
    struct Case {
        const char *id;
        const char *title;
        QSize size;
    };
    const Case cases[] = {
        {TandrelHostApp::positionPreviewID, "Position Preview", {1200, 800}},
        {TandrelHostApp::fcpxmlValidationID, "Validate Against FCPXML", {720, 680}},
        {TandrelHostApp::settingsID, "Settings", SettingsView::windowSize},
    };
    for (const Case &c : cases) {
        const QString id = QString::fromUtf8(c.id);
        QWidget *window = host().openWindow(id);
        ASSERT_NE(window, nullptr) << c.id;
        EXPECT_EQ(window->windowTitle(), c.title);
        // At its size, where the screen has room for it.
        const QRect room = window->screen()->availableGeometry();
        EXPECT_EQ(window->size(),
                  c.size.boundedTo(room.size() - QSize(0, 32)).expandedTo(window->minimumSize()));
        if (window->minimumSize().height() + 32 <= room.height() &&
            window->minimumSize().width() <= room.width()) {
            EXPECT_TRUE(room.contains(window->frameGeometry())) << c.id;
        }
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(host().openWindow(id), window) << "brought forward, not made again";
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(host().windows().window(id), nullptr);
        EXPECT_NE(host().openWindow(id), nullptr) << "made afresh after closing";
    }
    EXPECT_EQ(host().openWindow(QStringLiteral("nothing")), nullptr);
    // Settings… opens the one settings window.
    QWidget *settings = host().windows().window(QString::fromUtf8(TandrelHostApp::settingsID));
    host().commands().settings()->trigger();
    EXPECT_EQ(host().windows().window(QString::fromUtf8(TandrelHostApp::settingsID)), settings);
    // A main window's pane opens them by id too.
    ContentView *main = host().newMainWindow();
    EXPECT_EQ(host().windows().mainWindows(), std::vector<QWidget *>{main});
}

// A tool window opens whole on the screen: at its size where the screen has the room, over the
// window it was opened from, moved in (its title bar included) where that would carry it past
// an edge; larger than the room, it starts at the room's top-left corner.
TEST(HostAppWindowPlacement, AToolWindowOpensWholeOnItsScreen) {
    const QRect laptop(0, 0, 1280, 720);
    const QMargins titleBar(0, 32, 0, 0);
    struct Case {
        const char *what;
        QSize wanted;
        QSize least;
        QRect available;
        std::optional<QRect> over;
        QRect placed;
    };
    const Case cases[] = {
        {"room enough, over its opener", {720, 680}, {400, 300}, {0, 0, 1920, 1080},
         QRect(100, 100, 1240, 800), {360, 160, 720, 680}},
        {"no opener: centred", {420, 560}, {420, 400}, {0, 0, 1920, 1080}, std::nullopt,
         {750, 260, 420, 560}},
        {"taller than the screen: as tall as it allows", {1200, 800}, {900, 650}, laptop,
         QRect(20, 20, 1240, 700), {40, 32, 1200, 688}},
        {"over an opener at the right edge", {420, 560}, {420, 400}, laptop,
         QRect(1100, 200, 400, 400), {860, 120, 420, 560}},
        {"over one above the screen's top", {420, 560}, {420, 400}, {0, 25, 1920, 1055},
         QRect(300, -300, 400, 400), {290, 57, 420, 560}},
        {"on a second screen", {720, 680}, {400, 300}, {1920, 0, 1280, 720},
         QRect(2000, 100, 900, 600), {2090, 40, 720, 680}},
        {"larger than the room at its least", {1200, 800}, {900, 650}, {0, 0, 800, 600},
         std::nullopt, {0, 32, 900, 650}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QRect placed =
            WindowRegistry::placement(c.wanted, c.least, c.available, c.over, titleBar);
        EXPECT_EQ(placed, c.placed);
        if (c.least.width() <= c.available.width()) {
            EXPECT_TRUE(c.available.contains(placed.marginsAdded(titleBar)));
        }
    }
}

TEST_F(HostApp, ToolWindowsCloseWithCtrlWAndEscAsTheDesktopsWindowsDo) {
    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Key keys[] = {{Qt::Key_W, Qt::ControlModifier}, {Qt::Key_Escape, Qt::NoModifier}};
    for (const char *id : {TandrelHostApp::positionPreviewID, TandrelHostApp::fcpxmlValidationID,
                           TandrelHostApp::settingsID}) {
        for (const Key &key : keys) {
            QWidget *window = host().openWindow(QString::fromUtf8(id));
            QCoreApplication::processEvents();
            ASSERT_EQ(QApplication::activeWindow(), window) << id;
            // Pressed where the keyboard is: the key travels up to the window.
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr ? focus : window, key.key, key.modifiers);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_EQ(host().windows().window(QString::fromUtf8(id)), nullptr)
                << id << " " << QKeySequence(key.key | key.modifiers).toString().toStdString();
        }
    }

    // Esc that a control takes for itself stays the control's: an open list closes, the window
    // stays.
    auto *settings = static_cast<SettingsView *>(
        host().openWindow(QString::fromUtf8(TandrelHostApp::settingsID)));
    QCoreApplication::processEvents();
    settings->presetPicker()->showPopup();
    QCoreApplication::processEvents();
    QWidget *list = QApplication::activePopupWidget();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(host().windows().window(QString::fromUtf8(TandrelHostApp::settingsID)), settings);

    // A main window is no tool window: Esc leaves it open.
    ContentView *main = host().newMainWindow();
    QCoreApplication::processEvents();
    QTest::keyClick(main, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(host().windows().mainWindows(), std::vector<QWidget *>{main});
}

// The settings window's list of presets, open, as a user meets it: a preset picked with the
// keyboard or the pointer is applied, and the list closes.
TEST_F(HostApp, APresetIsPickedFromTheSettingsWindowsListByKeyboardAndPointer) {
    auto *settings = static_cast<SettingsView *>(
        host().openWindow(QString::fromUtf8(TandrelHostApp::settingsID)));
    QCoreApplication::processEvents();
    QComboBox *picker = settings->presetPicker();
    const auto stored = [this] {
        return hostDefaults->string(QString::fromUtf8(Preferences::appearancePresetIDKey))
            .value_or(QString())
            .toStdString();
    };

    // From "Saffra Colors", one up and Return.
    picker->showPopup();
    QCoreApplication::processEvents();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(picker->view(), Qt::Key_Up);
    QTest::keyClick(picker->view(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(stored(), "soft");
    EXPECT_EQ(hostDefaults->value(QString::fromUtf8(Preferences::glassDarknessKey)), 0.4);

    // A click on the first row.
    picker->showPopup();
    QCoreApplication::processEvents();
    QAbstractItemView *rows = picker->view();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualRect(rows->model()->index(0, 0)).center());
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(stored(), "deepBlack");
    EXPECT_EQ(picker->currentText(), "Deep Black");
}

TEST_F(HostApp, EveryMainWindowCarriesTheSharedCommandsInItsMenuBar) {
    ContentView *first = host().newMainWindow();
    ContentView *second = host().newMainWindow();
    const auto menus = [](ContentView *window) {
        std::vector<std::pair<QString, std::vector<QAction *>>> found;
        for (QAction *menu : window->menuBar()->actions()) {
            std::vector<QAction *> items;
            for (QAction *item : menu->menu()->actions()) {
                if (!item->isSeparator()) {
                    items.push_back(item);
                }
            }
            found.emplace_back(menu->text(), items);
        }
        return found;
    };
    HostCommands &commands = host().commands();
    const decltype(menus(first)) expected{
        {"File", {commands.newWindow(), commands.settings(), commands.quit()}},
        {"Help", {commands.sendFeedback(), commands.checkForUpdates()}},
    };
    EXPECT_EQ(menus(first), expected);
    EXPECT_EQ(menus(second), expected);

    // Items that open something to fill in end in the one ellipsis character.
    for (QAction *action :
         {commands.checkForUpdates(), commands.sendFeedback(), commands.settings()}) {
        EXPECT_TRUE(action->text().endsWith(QChar(0x2026))) << action->text().toStdString();
        EXPECT_FALSE(action->text().contains(QStringLiteral("...")));
    }
    const std::pair<QAction *, QList<QKeySequence>> shortcuts[] = {
        {commands.sendFeedback(), {QKeySequence("Ctrl+?")}},
        {commands.settings(), {QKeySequence("Ctrl+,")}},
        {commands.newWindow(), {QKeySequence("Ctrl+N")}},
        {commands.quit(), {QKeySequence("Ctrl+Q")}},
        {commands.checkForUpdates(), {}},
    };
    for (const auto &[action, keys] : shortcuts) {
        EXPECT_EQ(action->shortcuts(), keys) << action->text().toStdString();
    }

    commands.newWindow()->trigger();
    EXPECT_EQ(host().windows().mainWindows().size(), 3u);
    commands.checkForUpdates()->trigger();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(explained, 1);
}

TEST_F(HostApp, AStartsRequestShowsAMainWindowAndWatchesItsLibraries) {
    host().handle({{solo_}});
    ASSERT_EQ(host().windows().mainWindows().size(), 1u);
    EXPECT_TRUE(host().appState().hasStarted());
    platform::MainQueue::runPending();
    ASSERT_EQ(host().appState().watchedLibraries().size(), 1u);
    // The watcher follows what was added after the start.
    EXPECT_TRUE(streams.isRunning(solo_));

    // A later start brings the window forward, and makes none while one is open; what is
    // no library folder is refused, and said so in the answer.
    const fs::path gone = fs::path(pair_).replace_filename("Gone.fcpbundle");
    const fs::path folder = fs::path(pair_).parent_path();
    const HostAnswer answer = host().handle({{pair_, gone, solo_, folder}});
    EXPECT_EQ(answer.refused,
              (std::vector<HostAnswer::Refusal>{
                  {gone, "no library folder at " + gone.string()},
                  {folder, folder.string() + " is no library (its name must end in .fcpbundle)"}}));
    EXPECT_EQ(host().windows().mainWindows().size(), 1u);
    platform::MainQueue::runPending();
    EXPECT_EQ(host().appState().watchedLibraries().size(), 2u);
}

TEST_F(HostApp, TheStandardServicesRunThePlugInUpdateCheck) {
    const testing::ScopedEnvironmentVariable server("TANDREL_UPDATE_SERVER", "");
    const AppState::Services standard = TandrelHostApp::Environment::standard().services();
    ASSERT_TRUE(standard.checkPluginUpdate);
    // A plug-in older than any build of the host, and no server to fetch the new one from.
    PluginVersionMarker{"1.0", "-1"}.writeIgnoringFailures(data.path() /
                                                           "Tandrel/plugin_version.json");
    std::vector<PluginUpdateState> published;
    standard.checkPluginUpdate([&](PluginUpdateState state) { published.push_back(state); });
    while (published.size() < 2) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    EXPECT_EQ(published, (std::vector<PluginUpdateState>{
                             PluginUpdateState::installing(),
                             PluginUpdateState::failed("no update server is configured")}));
}

using MenuBarExtraHost = HostApp;

TEST_F(MenuBarExtraHost, OpenBringsTheFirstWindowForwardAndMakesNone) {
    EXPECT_EQ(host().menuBarExtra(), nullptr) << "made with the first main window";
    ContentView *first = host().newMainWindow();
    ContentView *second = host().newMainWindow();
    MenuBarExtra *extra = host().menuBarExtra();
    ASSERT_NE(extra, nullptr);
    // The offscreen desktop has no tray: the host runs on without the icon.
    EXPECT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_EQ(extra->trayIcon(), nullptr);
    QAction *open = extra->menu()->command(MenuBarItem::Command::openHost);
    ASSERT_NE(open, nullptr);

    second->activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), second);
    open->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), first);

    // With every window closed it brings nothing forward and makes no window.
    for (ContentView *window : {first, second}) {
        window->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(host().windows().allWindows().empty());
    extra->menu()->command(MenuBarItem::Command::openHost)->trigger();
    EXPECT_TRUE(host().windows().allWindows().empty());

    // "Quit Embrik" is the host's own Quit.
    int quits = 0;
    QObject::connect(host().commands().quit(), &QAction::triggered, [&] { ++quits; });
    extra->menu()->command(MenuBarItem::Command::quit)->trigger();
    EXPECT_EQ(quits, 1);
}

TEST_F(MenuBarExtraHost, CtrlQInTheOpenMenuQuitsOnceAlsoWithEveryWindowClosed) {
    ContentView *window = host().newMainWindow();
    MenuBarView *menu = host().menuBarExtra()->menu();
    int quits = 0;
    QObject::connect(host().commands().quit(), &QAction::triggered, [&] { ++quits; });
    // The menu open, as the tray opens it, and the keys pressed in it.
    const auto pressCtrlQ = [&] {
        menu->popup(QPoint(0, 0));
        QCoreApplication::processEvents();
        EXPECT_EQ(QApplication::activePopupWidget(), menu);
        QTest::keyClick(menu, Qt::Key_Q, Qt::ControlModifier);
        menu->hide();
    };

    // A main window on screen: its Quit takes the keys, once.
    pressCtrlQ();
    EXPECT_EQ(quits, 1);

    // Every window closed: the menu answers them itself.
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(host().windows().allWindows().empty());
    pressCtrlQ();
    EXPECT_EQ(quits, 2);
    EXPECT_FALSE(menu->isVisible());

    // Other keys are the menu's own.
    menu->popup(QPoint(0, 0));
    QTest::keyClick(menu, Qt::Key_Down);
    EXPECT_EQ(quits, 2);
    menu->hide();
}

TEST(HostAppRequest, TravelsAsOneLineAndRefusesWhatIsNoRequest) {
    const HostRequest request{{"/Volumes/Media/Show.fcpbundle", "/tmp/A b/Ü.fcpbundle"}};
    EXPECT_FALSE(request.encode().contains('\n'));
    EXPECT_EQ(HostRequest::decode(request.encode()), request);
    EXPECT_EQ(HostRequest::decode(HostRequest{}.encode()), HostRequest{});
    for (const char *bytes :
         {"", "show", "[]", R"({"addLibraries":"x"})", R"({"addLibraries":[1]})", R"({})"}) {
        EXPECT_EQ(HostRequest::decode(bytes), std::nullopt) << bytes;
    }
}

TEST(HostAppAnswer, TravelsAsOneLineAndIsReadTolerantly) {
    const HostAnswer answer{
        {{"/tmp/A b/Ü.fcpbundle", "no library folder at /tmp/A b/Ü.fcpbundle"}}};
    EXPECT_FALSE(answer.encode().contains('\n'));
    EXPECT_EQ(HostAnswer::decode(answer.encode()), answer);
    struct Case {
        const char *bytes;
        std::optional<HostAnswer> read;
    };
    const Case cases[] = {
        {R"({"refused":[]})", HostAnswer{}},
        // Members of later versions are skipped.
        {R"({"refused":[{"library":"/a","reason":"r","code":7}],"watching":3})",
         HostAnswer{{{"/a", "r"}}}},
        {R"({})", HostAnswer{}},
        {"", std::nullopt},
        {"[]", std::nullopt},
        {R"({"refused":"/a"})", std::nullopt},
        {R"({"refused":[{"library":"/a"}]})", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(HostAnswer::decode(c.bytes), c.read) << c.bytes;
    }
}

// How a start that handed its request over ends: a host that does not answer in time is said,
// with libraries asked for or without.
TEST(HostAppHandOver, EndsByWhatTheRunningHostDidWithTheRequest) {
    const HostRequest bare;
    const HostRequest libraries{{"/Volumes/Media/Show.fcpbundle"}};
    struct Case {
        const char *what;
        const HostRequest &request;
        bool timedOut;
        std::optional<QByteArray> answer;
        HandOverOutcome outcome;
    };
    const Case cases[] = {
        {"taken", libraries, false, QByteArray(R"({"refused":[]})"), {0, {}}},
        {"an earlier host that answers nothing", bare, false, std::nullopt, {0, {}}},
        {"a window asked for, no answer in time",
         bare,
         true,
         std::nullopt,
         {1, {"the running Embrik Host did not answer"}}},
        {"libraries asked for, no answer in time",
         libraries,
         true,
         std::nullopt,
         {1, {"the running Embrik Host did not say whether it watches the libraries given"}}},
        {"refused",
         libraries,
         false,
         QByteArray(R"({"refused":[{"library":"/a.fcpbundle","reason":"gone"}]})"),
         {2, {"the running Embrik Host refused /a.fcpbundle: gone"}}},
        {"an answer that cannot be read",
         bare,
         false,
         QByteArray("[]"),
         {1, {"the running Embrik Host's answer could not be read"}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(HandOverOutcome::of(c.request, c.timedOut, c.answer), c.outcome) << c.what;
    }
}

TEST(HostAppArguments, TakesLibrariesAndRefusesTheRest) {
    struct Case {
        std::vector<std::string> arguments;
        std::vector<fs::path> libraries;
        bool help;
        std::optional<std::string> error;
    };
    const Case cases[] = {
        {{}, {}, false, std::nullopt},
        {{"--add-library", "a.fcpbundle", "--add-library", "b.fcpbundle"},
         {"a.fcpbundle", "b.fcpbundle"},
         false,
         std::nullopt},
        {{"--help"}, {}, true, std::nullopt},
        {{"--add-library"}, {}, false, "--add-library needs a library"},
        {{"a.fcpbundle"}, {}, false, "unknown argument a.fcpbundle"},
    };
    for (const Case &c : cases) {
        const HostArguments parsed = HostArguments::parse(c.arguments);
        EXPECT_EQ(parsed.libraries, c.libraries);
        EXPECT_EQ(parsed.help, c.help);
        EXPECT_EQ(parsed.error, c.error);
    }
}

// A running host on a thread of its own, so that a later start can wait for its answer: it
// answers each request with `answer`, or, without one, closes without a word as the hosts
// before answers did.
class RunningHost {
public:
    RunningHost(const QString &path, std::optional<QByteArray> answer) {
        std::promise<void> listening;
        thread_.reset(QThread::create([&, answer] {
            SingleInstance host(path);
            const SingleInstance::Claim claim = host.claim("first");
            if (answer) {
                host.setAnswerer([this, answer](const QByteArray &request) {
                    const std::lock_guard guard(mutex_);
                    received_.push_back(request);
                    return *answer;
                });
            }
            QEventLoop loop;
            loop_ = &loop;
            listening.set_value();
            EXPECT_EQ(claim, SingleInstance::Claim::listening);
            loop.exec();
        }));
        thread_->start();
        listening.get_future().wait();
    }
    ~RunningHost() {
        QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
        thread_->wait();
    }
    std::vector<QByteArray> received() {
        const std::lock_guard guard(mutex_);
        return received_;
    }

private:
    std::unique_ptr<QThread> thread_;
    QEventLoop *loop_ = nullptr;
    std::mutex mutex_;
    std::vector<QByteArray> received_;
};

TEST(HostAppSingleInstance, ALaterClaimHandsItsRequestToTheFirstAndHearsItsAnswer) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QString::fromUtf8(SingleInstance::socketName));
    {
        RunningHost first(path, QByteArray(R"({"refused":[]})"));
        SingleInstance second(path);
        EXPECT_EQ(second.claim(R"({"addLibraries":[]})"), SingleInstance::Claim::handedOver);
        EXPECT_EQ(second.answer(), QByteArray(R"({"refused":[]})"));
        EXPECT_FALSE(second.answerTimedOut());
        EXPECT_EQ(first.received(), std::vector<QByteArray>{R"({"addLibraries":[]})"});
    }
    // A host of an earlier version reads the request and closes: no answer, and no waiting.
    RunningHost earlier(path, std::nullopt);
    SingleInstance later(path);
    EXPECT_EQ(later.claim(R"({"addLibraries":[]})"), SingleInstance::Claim::handedOver);
    EXPECT_EQ(later.answer(), std::nullopt);
    EXPECT_FALSE(later.answerTimedOut());

    // A socket left by a host that is gone is taken over.
    SingleInstance stale(folder.filePath(QStringLiteral("stale")));
    QFile(folder.filePath(QStringLiteral("stale"))).open(QIODevice::WriteOnly);
    EXPECT_EQ(stale.claim("x"), SingleInstance::Claim::listening)
        << stale.errorString().toStdString();
}

TEST(HostAppProcess, ASecondStartExitsAndTheFirstShowsAWindow) {
    QTemporaryDir home;
    QProcessEnvironment environment = testing::hostEnvironment(home);
    environment.insert(QStringLiteral("TANDREL_LOG_LEVEL"), QStringLiteral("info"));

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(QStringLiteral(EMBRIK_HOST_PATH), {});
    ASSERT_TRUE(first.waitForStarted());
    const QString socket = home.filePath(QStringLiteral("XDG_RUNTIME_DIR/") +
                                         QString::fromUtf8(SingleInstance::socketName));
    // The first is listening once its socket is there.
    QByteArray said;
    while (!QFile::exists(socket) && first.state() == QProcess::Running) {
        first.waitForReadyRead(100);
        said += first.readAll();
    }
    ASSERT_TRUE(QFile::exists(socket)) << said.toStdString();

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(EMBRIK_HOST_PATH), {});
    ASSERT_TRUE(second.waitForFinished(30'000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    // A library that cannot be watched fails the start that names it, handed over or not: the
    // rest is not handed over either.
    testing::ScratchFolder libraries;
    const fs::path library = libraries / "Show.fcpbundle";
    fs::create_directory(library);
    const fs::path missing = libraries / "Missing.fcpbundle";
    QProcess refused;
    refused.setProcessEnvironment(environment);
    refused.start(QStringLiteral(EMBRIK_HOST_PATH),
                  {QStringLiteral("--add-library"), QString::fromStdString(library.string()),
                   QStringLiteral("--add-library"), QString::fromStdString(missing.string())});
    ASSERT_TRUE(refused.waitForFinished(30'000));
    EXPECT_EQ(refused.exitCode(), 2);
    EXPECT_TRUE(refused.readAllStandardError().contains(
        QByteArray::fromStdString("embrik-host: no library folder at " + missing.string())));
    QProcess taken;
    taken.setProcessEnvironment(environment);
    taken.start(QStringLiteral(EMBRIK_HOST_PATH),
                {QStringLiteral("--add-library"), QString::fromStdString(library.string())});
    ASSERT_TRUE(taken.waitForFinished(30'000));
    EXPECT_EQ(taken.exitCode(), 0) << taken.readAllStandardError().toStdString();

    while (!said.contains("Another start asked for a main window") &&
           first.state() == QProcess::Running) {
        first.waitForReadyRead(100);
        said += first.readAll();
    }
    EXPECT_TRUE(said.contains("Another start asked for a main window")) << said.toStdString();
    first.terminate();
    ASSERT_TRUE(first.waitForFinished(30'000));
}

// Whoever answers the host's socket may say anything: its refusal reaches the terminal on one
// bounded line, its escapes and line breaks shown, never obeyed.
TEST(HostAppProcess, ARefusalFromTheSocketIsPrintedOnOneLineWithItsControlsShown) {
    QTemporaryDir home;
    const QProcessEnvironment environment = testing::hostEnvironment(home);
    const QString socket = home.filePath(QStringLiteral("XDG_RUNTIME_DIR/") +
                                         QString::fromUtf8(SingleInstance::socketName));
    testing::ScratchFolder libraries;
    const fs::path library = libraries / "Show.fcpbundle";
    fs::create_directory(library);
    Json answer;
    answer["refused"] = Json::array(
        {{{"library", library.string()},
          {"reason", "\x1b[2J\x1b[31mgone\nembrik-host: the running Embrik Host took it\u202E" +
                         std::string(1 << 20, 'x')}}});
    const RunningHost forger(socket, QByteArray::fromStdString(answer.dump()));

    QProcess start;
    start.setProcessEnvironment(environment);
    start.start(QStringLiteral(EMBRIK_HOST_PATH),
                {QStringLiteral("--add-library"), QString::fromStdString(library.string())});
    ASSERT_TRUE(start.waitForFinished(30'000));
    EXPECT_EQ(start.exitCode(), 2);
    const std::string said = start.readAllStandardError().toStdString();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said.substr(0, 400);
    EXPECT_FALSE(testing::holdsControls(said.substr(0, said.size() - 1))) << said.substr(0, 400);
    EXPECT_LT(said.size(), 20'000u);
    EXPECT_TRUE(said.starts_with("embrik-host: the running Embrik Host refused " +
                                 library.string() +
                                 ": \\u{1B}[2J\\u{1B}[31mgone\\u{0A}embrik-host"))
        << said.substr(0, 400);
}

} // namespace
} // namespace tandrel
