// Watched libraries and their bookmarks, on stand-ins.

#include "host/state/tests/StateFixture.h"

#include <QCoreApplication>
#include <QEvent>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using platform::MainQueue;
using testing::FakeBookmarks;
using testing::FakeScanner;
using Paths = std::vector<fs::path>;

const fs::path libraryA = "/Libraries/A.fcpbundle";
const fs::path libraryB = "/Libraries/B.fcpbundle";
const fs::path libraryC = "/Libraries/C.fcpbundle";

class AppStateLibraries : public testing::StateTest {
protected:
    void storeBookmarks(const std::vector<std::pair<std::string, QVariant>> &entries) {
        QVariantMap stored;
        for (const auto &[path, data] : entries) {
            stored.insert(QString::fromStdString(path), data);
        }
        defaults->setValue(AppState::watchedLibraryBookmarksKey, stored);
    }
    static QVariant bookmarkOf(const fs::path &url) {
        return QByteArray::fromStdString(FakeBookmarks::dataFor(url));
    }
    std::vector<std::string> eventNames(size_t library) const {
        std::vector<std::string> names;
        for (const WatchedEvent &event : state_->watchedLibraries().at(library).events) {
            names.push_back(event.name);
        }
        return names;
    }
};

TEST_F(AppStateLibraries, AnAddedLibraryIsNamedAfterItsFolderBookmarkedWatchedThenLoaded) {
    started();
    const fs::path library = "/Volumes/Media/My Library.fcpbundle";
    FCPLibrary scanned =
        FakeScanner::library(library, {{"Day 1", 2}, {"No Timelines", 0}, {"Day 2", 1}});
    scanned.name = "Scanned Name";
    scanner.results[library] = scanned;

    state().addLibrary(library);
    state().addLibrary(library);
    ASSERT_EQ(state().watchedLibraries().size(), 1u);
    const WatchedLibrary added = state().watchedLibraries()[0];
    EXPECT_EQ(added.name, "My Library");
    EXPECT_FALSE(added.isLoaded);
    EXPECT_TRUE(state().libraryWatcher()->isWatching(library));
    EXPECT_EQ(bookmarkedPaths(), std::vector<std::string>{library.string()});
    EXPECT_TRUE(scanner.scans.empty()); // loaded from the main queue

    MainQueue::runPending();
    EXPECT_EQ(scanner.scans, Paths{library});
    const WatchedLibrary loaded = state().watchedLibraries()[0];
    EXPECT_EQ(loaded.id, added.id);
    EXPECT_EQ(loaded.name, "Scanned Name");
    EXPECT_TRUE(loaded.isLoaded);
    // An event without timelines is left out.
    EXPECT_EQ(eventNames(0), (std::vector<std::string>{"Day 1", "Day 2"}));

    // Without a bookmark, a library is watched for this run only.
    bookmarks->unbookmarkable.insert(libraryB);
    state().addLibrary(libraryB);
    EXPECT_EQ(watchedURLs(), (Paths{library, libraryB}));
    EXPECT_EQ(bookmarkedPaths(), std::vector<std::string>{library.string()});
    MainQueue::runPending();
}

TEST_F(AppStateLibraries, AFailedRescanKeepsTheEventsAndShowsTheScannersText) {
    started();
    scanner.results[libraryA] = FakeScanner::library(libraryA, {{"Day 1", 1}});
    scanner.results[libraryB] = std::string("The library database could not be opened.");
    state().addLibrary(libraryA);
    state().addLibrary(libraryB);
    MainQueue::runPending();
    // Never loaded: not loaded, and why.
    EXPECT_FALSE(state().watchedLibraries()[1].isLoaded);
    EXPECT_EQ(state().watchedLibraries()[1].errorMessage,
              "The library database could not be opened.");

    const std::vector<WatchedEvent> events = state().watchedLibraries()[0].events;
    scanner.results[libraryA] = std::string("disk I/O error");
    state().refreshNow();
    MainQueue::runPending();
    const WatchedLibrary failed = state().watchedLibraries()[0];
    EXPECT_TRUE(failed.isLoaded);
    EXPECT_EQ(failed.events, events);
    EXPECT_EQ(failed.errorMessage, "disk I/O error");
    EXPECT_EQ(state().availableTimelines().size(), 0u); // no database behind the stand-in

    // A later scan that succeeds takes its events; the text stays until the library goes.
    scanner.results[libraryA] = FakeScanner::library(libraryA, {{"Day 1", 1}, {"Day 2", 1}});
    state().handleLibraryChange(libraryA);
    MainQueue::runPending();
    EXPECT_EQ(eventNames(0), (std::vector<std::string>{"Day 1", "Day 2"}));
    EXPECT_EQ(state().watchedLibraries()[0].errorMessage, "disk I/O error");
}

TEST_F(AppStateLibraries, RefreshNowLoadsEachLibraryOnceAndIsRefreshingUntilTheLastLoadEnds) {
    started();
    state().refreshNow();
    EXPECT_FALSE(state().isRefreshing());
    EXPECT_EQ(MainQueue::pending(), 0);

    state().addLibrary(libraryA);
    state().addLibrary(libraryB);
    MainQueue::runPending();
    scanner.scans.clear();
    std::vector<bool> refreshingWhileScanning;
    scanner.during = [&](const fs::path &) {
        refreshingWhileScanning.push_back(state().isRefreshing());
    };
    state().refreshNow();
    EXPECT_TRUE(state().isRefreshing());
    MainQueue::runPending();
    EXPECT_EQ(scanner.scans, (Paths{libraryA, libraryB}));
    EXPECT_EQ(refreshingWhileScanning, (std::vector<bool>{true, true}));
    EXPECT_FALSE(state().isRefreshing());
}

TEST_F(AppStateLibraries, ALibraryRemovedBeforeALoadRunsShiftsNoLoadOntoAnotherLibrary) {
    struct Case {
        const char *what;
        std::function<void()> act;
        Paths scans;
    };
    // Each load finds its library by URL when it runs.
    const Case cases[] = {
        {"refresh; A removed after its load",
         [&] {
             state().refreshNow();
             MainQueue::async(&state(), [&] { state().removeLibrary(0); });
         },
         {libraryA, libraryB, libraryC}},
        {"refresh; B removed after A's load",
         [&] {
             state().refreshNow();
             MainQueue::async(&state(), [&] { state().removeLibrary(1); });
         },
         {libraryA, libraryC}},
        {"change of C reported; A removed before its load",
         [&] {
             state().handleLibraryChange(libraryC);
             state().removeLibrary(0);
         },
         {libraryC}},
        {"change of B reported; A removed before its load",
         [&] {
             state().handleLibraryChange(libraryB);
             state().removeLibrary(0);
         },
         {libraryB}},
    };
    for (const Case &c : cases) {
        defaults = std::make_shared<testing::WriteCountingStore>();
        state_.reset();
        started();
        for (const fs::path &library : {libraryA, libraryB, libraryC}) {
            state().addLibrary(library);
        }
        MainQueue::runPending();
        scanner.scans.clear();
        c.act();
        MainQueue::runPending();
        EXPECT_EQ(scanner.scans, c.scans) << c.what;
        EXPECT_EQ(watchedURLs().size(), 2u) << c.what;
        EXPECT_FALSE(state().isRefreshing()) << c.what;
    }
}

TEST_F(AppStateLibraries, AScanOvertakenByANewerScanOfTheSameLibraryIsDropped) {
    started();
    scanner.results[libraryA] = FakeScanner::library(libraryA, {{"Older", 1}});
    int scans = 0;
    scanner.during = [&](const fs::path &url) {
        if (++scans == 1) {
            // While the first scan runs, a change is reported and its load runs to its end.
            scanner.results[url] = FakeScanner::library(url, {{"Newer", 1}});
            state().handleLibraryChange(url);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
    };
    state().addLibrary(libraryA);
    MainQueue::runPending();
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(eventNames(0), std::vector<std::string>{"Newer"});
}

TEST_F(AppStateLibraries, ThreeBookmarksAreRestoredInTheirOrderAndEachLoadedOnce) {
    storeBookmarks({{libraryC.string(), bookmarkOf(libraryC)},
                    {libraryA.string(), bookmarkOf(libraryA)},
                    {libraryB.string(), bookmarkOf(libraryB)}});
    started();
    EXPECT_EQ(watchedURLs(), (Paths{libraryA, libraryB, libraryC}));
    EXPECT_EQ(scanner.scans, (Paths{libraryA, libraryB, libraryC}));
    for (const WatchedLibrary &library : state().watchedLibraries()) {
        EXPECT_TRUE(library.isLoaded) << library.url;
        EXPECT_TRUE(state().libraryWatcher()->isWatching(library.url)) << library.url;
        EXPECT_EQ(bookmarks->started[library.url], 1) << library.url;
    }
}

TEST_F(AppStateLibraries, AccessIsStartedOnlyForBookmarksThatAddALibraryAndRemovalEndsEachOne) {
    const fs::path caps = "/Libraries/Caps.FCPBUNDLE";
    const fs::path folder = "/Libraries/Folder";
    const fs::path gone = "/Libraries/Gone.fcpbundle";
    const fs::path refused = "/Libraries/Refused.fcpbundle";
    const fs::path stale = "/Libraries/Stale.fcpbundle";
    bookmarks->gone.insert(gone);
    bookmarks->refused.insert(refused);
    bookmarks->stale.insert(stale);
    storeBookmarks({
        {libraryA.string(), bookmarkOf(libraryA)},
        {caps.string(), bookmarkOf(caps)},
        {folder.string(), bookmarkOf(folder)},
        {gone.string(), bookmarkOf(gone)},
        // An older entry that leads to A as well: A is watched already.
        {"/Old/A.fcpbundle", bookmarkOf(libraryA)},
        {refused.string(), bookmarkOf(refused)},
        {stale.string(), bookmarkOf(stale)},
        {"/Libraries/Text.fcpbundle", QString("not bookmark data")},
    });
    started();
    EXPECT_EQ(watchedURLs(), (Paths{libraryA, stale}));
    EXPECT_EQ(bookmarks->started, (std::map<fs::path, int>{{libraryA, 1}, {stale, 1}}));
    // What did not resolve stays stored.
    const std::vector<std::string> stored = bookmarkedPaths();
    EXPECT_NE(std::find(stored.begin(), stored.end(), gone.string()), stored.end());

    state().removeLibrary(1);
    state().removeLibrary(0);
    EXPECT_EQ(bookmarks->stopped, bookmarks->started);
    EXPECT_TRUE(watchedURLs().empty());
}

TEST_F(AppStateLibraries, ARemovedLibraryEndsItsAccessOnceStopsWatchingAndIsNotRestoredNextRun) {
    storeBookmarks(
        {{libraryA.string(), bookmarkOf(libraryA)}, {libraryB.string(), bookmarkOf(libraryB)}});
    started();
    state().addLibrary(libraryC); // chosen by the user: no access of ours to end
    MainQueue::runPending();

    state().removeLibrary(2);
    state().removeLibrary(0);
    EXPECT_EQ(bookmarks->stopped, (std::map<fs::path, int>{{libraryA, 1}}));
    EXPECT_FALSE(streams.isRunning(libraryA));
    EXPECT_FALSE(streams.isRunning(libraryC));
    EXPECT_EQ(watchedURLs(), Paths{libraryB});
    EXPECT_EQ(bookmarkedPaths(), std::vector<std::string>{libraryB.string()});

    const std::unique_ptr<AppState> next = nextRun();
    ASSERT_EQ(next->watchedLibraries().size(), 1u);
    EXPECT_EQ(next->watchedLibraries()[0].url, libraryB);
}

TEST_F(AppStateLibraries, RemovingABookmarkKeepsThoseThatLeadNowhereForNow) {
    started();
    for (const fs::path &library : {libraryA, libraryB, libraryC}) {
        state().addLibrary(library);
    }
    MainQueue::runPending();
    QVariantMap stored = *defaults->dictionary(AppState::watchedLibraryBookmarksKey);
    stored.insert("/Old/A.fcpbundle", bookmarkOf(libraryA));
    defaults->setValue(AppState::watchedLibraryBookmarksKey, stored);
    // B's drive is not mounted.
    bookmarks->gone.insert(libraryB);

    state().removeLibrary(0);
    EXPECT_EQ(bookmarkedPaths(), (std::vector<std::string>{libraryB.string(), libraryC.string()}));

    bookmarks->gone.clear();
    const std::unique_ptr<AppState> next = nextRun();
    EXPECT_EQ(next->watchedLibraries().size(), 2u);
}

TEST_F(AppStateLibraries, TheSystemsBookmarkOfALibraryReplacedOnDiskIsRenewedAtRestore) {
    testing::ScratchFolder folder;
    const fs::path library = folder / "Real.fcpbundle";
    fs::create_directory(library);
    AppState::Services services = fakeServices();
    services.bookmarks = platform::SecurityScopedBookmarks::system();
    const auto storedBookmark = [&] {
        return defaults->dictionary(AppState::watchedLibraryBookmarksKey)
            ->value(QString::fromStdString(library.string()))
            .toByteArray()
            .toStdString();
    };
    {
        AppState first(services);
        first.start();
        first.addLibrary(library);
        MainQueue::runPending();
    }
    // Made while the first folder still exists, the new one cannot share its inode.
    fs::rename(library, folder / "Moved.fcpbundle");
    fs::create_directory(library);
    ASSERT_TRUE(services.bookmarks->resolve(storedBookmark())->isStale);

    AppState second(services);
    second.start();
    MainQueue::runPending();
    ASSERT_EQ(second.watchedLibraries().size(), 1u);
    EXPECT_EQ(second.watchedLibraries()[0].url, library);
    EXPECT_FALSE(services.bookmarks->resolve(storedBookmark())->isStale);
}

} // namespace
} // namespace tandrel
