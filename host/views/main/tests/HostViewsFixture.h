#pragma once

// What the tests of the host's views share: generated libraries, a state object over them
// with user defaults in memory, a hand-moved clock and file events played by hand, the
// interface preferences, and stand-ins for the folder dialog and the desktop.

#include "core/database/LibraryScanner.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/AppState.h"
#include "host/state/tests/FakeStreams.h"
#include "host/views/common/Preferences.h"
#include "host/views/common/UrlOpener.h"
#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/main/ContentView.h"
#include "host/views/main/HostNotifications.h"
#include "host/views/main/LibraryPicker.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::testing {

// The folder dialog, answered by the test: the next answer, and how often it was asked.
class FakeLibraryPicker final : public LibraryPicker {
public:
    std::optional<std::filesystem::path> chooseLibrary(QWidget *) override {
        ++asked;
        return answer;
    }
    std::optional<std::filesystem::path> answer;
    int asked = 0;
};

// The desktop: opens whatever it is told it can, and notes it.
class FakeUrlOpener final : public UrlOpener {
public:
    bool canOpen(const QUrl &) const override { return opensEverything; }
    void open(const QUrl &url) override { opened.push_back(url); }
    bool opensEverything = true;
    std::vector<QUrl> opened;
};

// Libraries written once for a test suite: "Solo" with one timeline, "Pair" with two.
class HostViewsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        libraries_ = new ScratchFolder;
        solo_ = sample::SampleLibraryWriter::write(describedLibrary("Solo", {{"Reel", 3}}),
                                                   libraries_->path());
        pair_ = sample::SampleLibraryWriter::write(
            describedLibrary("Pair", {{"Alpha", 2}, {"Beta", 4}}), libraries_->path());
    }
    static void TearDownTestSuite() { delete libraries_; }

    // The application's default settings (where the split shell keeps the sidebar's width)
    // point into a folder of the test's own.
    void SetUp() override {
        ASSERT_TRUE(settingsFolder.isValid());
        organisation = QCoreApplication::organizationName();
        application = QCoreApplication::applicationName();
        QCoreApplication::setOrganizationName(QStringLiteral("Ostrevale"));
        QCoreApplication::setApplicationName(QStringLiteral("Host Views Test"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    }
    void TearDown() override {
        windows.clear();
        state_.reset();
        platform::MainQueue::runPending();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
    }

    AppState &state() {
        if (!state_) {
            state_ = std::make_unique<AppState>(services);
        }
        return *state_;
    }
    // Started, with the libraries added and loaded as the host does from its main queue.
    AppState &loaded(const std::vector<std::filesystem::path> &bundles) {
        state().start();
        for (const std::filesystem::path &bundle : bundles) {
            state().addLibrary(bundle);
        }
        platform::MainQueue::runPending();
        return state();
    }
    // The id of the loaded timeline of that name.
    std::string timelineID(const std::string &name) {
        for (const TimelineChoice &timeline : state().availableTimelines()) {
            if (timeline.name == name) {
                return timeline.id;
            }
        }
        ADD_FAILURE() << "no timeline " << name;
        return {};
    }

    ContentView::Environment environment() {
        return {.state = &state(),
                .preferences = &preferences,
                .notifications = &notifications,
                .libraryPicker = &picker,
                .bannerLinks = {QUrl(QStringLiteral("https://downloads.example/installer.pkg")),
                                &opener},
                .clock = clock,
                .timers = clock->timers(),
                .fillMenuBar = {},
                .openWindow = [this](const QString &id) { openedWindows.push_back(id); }};
    }
    // A main window, shown (offscreen), kept until the test ends.
    ContentView &mainWindow() {
        windows.push_back(std::make_unique<ContentView>(environment()));
        ContentView &window = *windows.back();
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.show();
        return window;
    }

    ScratchFolder data;
    ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    QTemporaryDir settingsFolder;
    QString organisation;
    QString application;
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<CountingDefaults> defaults = std::make_shared<CountingDefaults>();
    FakeStreams streams;
    AppState::Services services{
        .userDefaults = defaults,
        .clock = clock,
        .timers = clock->timers(),
        .fileSystemEvents = streams.factory(),
        .scanLibrary = &LibraryScanner::scan,
        .writeSnapshot = &SnapshotWriter::write,
        .clearSnapshot = &SnapshotWriter::clear,
        .publishPresets = nullptr,
        .checkPluginUpdate = nullptr,
        .validation = nullptr,
    };
    Preferences preferences{std::make_shared<platform::MemoryKeyValueStore>()};
    HostNotifications notifications;
    FakeLibraryPicker picker;
    FakeUrlOpener opener;
    std::vector<QString> openedWindows;
    std::unique_ptr<AppState> state_;
    std::vector<std::unique_ptr<ContentView>> windows;

    static ScratchFolder *libraries_;
    static std::filesystem::path solo_, pair_;
};

inline ScratchFolder *HostViewsTest::libraries_ = nullptr;
inline std::filesystem::path HostViewsTest::solo_, HostViewsTest::pair_;

} // namespace tandrel::testing
