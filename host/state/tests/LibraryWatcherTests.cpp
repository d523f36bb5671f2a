#include "host/state/LibraryWatcher.h"

#include "core/tests/LibraryFixture.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/runtime/InotifyEventStream.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/EditorSaves.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::FileSystemEvent;
using platform::FileSystemEventStream;
using testing::FakeStreams;

struct Report {
    int64_t atMilliseconds;
    std::string library;
    friend bool operator==(const Report &, const Report &) = default;
    friend std::ostream &operator<<(std::ostream &out, const Report &r) {
        return out << r.library << "@" << r.atMilliseconds;
    }
};

struct WatcherTest : ::testing::Test {
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    const platform::Clock::SteadyTime start = clock->steadyNow();
    FakeStreams streams;
    std::vector<Report> reports;
    LibraryWatcher watcher{
        [this](const fs::path &library) {
            reports.push_back({(clock->steadyNow() - start) / 1ms, library.string()});
        },
        {clock, clock->timers(), streams.factory()}};

    int64_t now() const { return (clock->steadyNow() - start) / 1ms; }

    // A watcher of its own that notes when it reports, in milliseconds from now.
    std::unique_ptr<LibraryWatcher> timedWatcher(std::vector<int64_t> &seen) {
        const platform::Clock::SteadyTime from = clock->steadyNow();
        return std::make_unique<LibraryWatcher>(
            [this, &seen, from](const fs::path &) {
                seen.push_back((clock->steadyNow() - from) / 1ms);
            },
            LibraryWatcher::Environment{clock, clock->timers(), streams.factory()});
    }

    // The reports of a watcher of its own (as `timedWatcher` notes them) that hears of a change
    // of `first`, is asked for the library once the save is over, and hears of `then` 10 ms
    // later.
    std::vector<int64_t> reportsOfAnAskBetween(const fs::path &first, const fs::path &then) {
        std::vector<int64_t> seen;
        const auto caseWatcher = timedWatcher(seen);
        caseWatcher->watch("A");
        streams.deliver("A", {{first}});
        caseWatcher->reportWhenSettled("A");
        clock->advance(10ms);
        streams.deliver("A", {{then}});
        clock->advance(5s);
        return seen;
    }
};

TEST_F(WatcherTest, ReportsALibraryOncePerSecondAndTheLastChangeOfABurstLate) {
    struct Change {
        int64_t atMilliseconds;
        const char *library;
        const char *file; // relative to the library; "overflow" for a lost stretch
    };
    struct Case {
        const char *what;
        std::vector<Change> changes;
        std::vector<Report> reports;
    };
    const char *wal = "Day 1/CurrentVersion.fcpevent-wal";
    const Case cases[] = {
        {"0.4 s apart: the second is reported when the second is over",
         {{0, "A", wal}, {400, "A", wal}},
         {{0, "A"}, {1000, "A"}}},
        {"1.2 s apart: each at once", {{0, "A", wal}, {1200, "A", wal}}, {{0, "A"}, {1200, "A"}}},
        {"two libraries in one second: each at once",
         {{0, "A", wal}, {300, "B", "Day 1/CurrentVersion.fcpevent"}},
         {{0, "A"}, {300, "B"}}},
        {"one late report covers the rest of a burst",
         {{0, "A", wal}, {400, "A", "Day 1/CurrentVersion.fcpevent-shm"}, {700, "A", wal}},
         {{0, "A"}, {1000, "A"}}},
        {"the late report starts a second of its own",
         {{0, "A", wal}, {400, "A", wal}, {1500, "A", wal}},
         {{0, "A"}, {1000, "A"}, {2000, "A"}}},
        {"a rollback journal's removal ends a commit: a change",
         {{0, "A", "Day 1/CurrentVersion.fcpevent-journal"}},
         {{0, "A"}}},
        {"a lost stretch of events counts as a change",
         {{0, "A", wal}, {200, "A", "overflow"}},
         {{0, "A"}, {1000, "A"}}},
        {"media and other files are no changes",
         {{0, "A", "Day 1/Original Media/A001.mov"},
          {100, "A", "Day 1/CurrentVersion.plist"},
          {200, "A", "Day 1/CurrentVersion.fcpevent.bak"}},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const platform::Clock::SteadyTime caseStart = clock->steadyNow();
        std::vector<Report> seen;
        LibraryWatcher caseWatcher(
            [&](const fs::path &library) {
                seen.push_back({(clock->steadyNow() - caseStart) / 1ms, library.string()});
            },
            {clock, clock->timers(), streams.factory()});
        caseWatcher.watch("A");
        caseWatcher.watch("B");
        int64_t elapsed = 0;
        for (const Change &change : c.changes) {
            clock->advance(std::chrono::milliseconds(change.atMilliseconds - elapsed));
            elapsed = change.atMilliseconds;
            const bool overflow = std::string(change.file) == "overflow";
            streams.deliver(change.library, {{overflow ? fs::path(change.library)
                                                       : fs::path(change.library) / change.file,
                                              overflow}});
        }
        clock->advance(5s);
        EXPECT_EQ(seen, c.reports);
    }
}

TEST_F(WatcherTest, AReaderThatFoundASaveHalfDoneHearsOfTheLibraryOnceItsWritesSettle) {
    struct Step {
        int64_t atMilliseconds;
        bool ask; // the reader asks for the library once the save is over; else a write
    };
    struct Case {
        const char *what;
        std::vector<Step> steps;
        std::vector<int64_t> reports;
    };
    std::vector<Step> endless;
    for (int64_t at = 0; at < 2500; at += 30) {
        endless.push_back({at, at == 30});
    }
    const Case cases[] = {
        {"writes after the ask: reported 50 ms after the last, not a second after the first",
         {{0, false}, {5, true}, {100, false}, {130, false}},
         {0, 180}},
        {"no write after the ask: no save under way, nothing more", {{0, false}, {5, true}}, {0}},
        {"an ask without a write before it waits for the next write all the same",
         {{0, false}, {1500, true}, {1600, false}},
         {0, 1600}},
        {"writes that never settle are still reported once a second",
         endless,
         {0, 1000, 2000, 3000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int64_t> seen;
        const auto caseWatcher = timedWatcher(seen);
        caseWatcher->watch("A");
        int64_t elapsed = 0;
        for (const Step &step : c.steps) {
            clock->advance(std::chrono::milliseconds(step.atMilliseconds - elapsed));
            elapsed = step.atMilliseconds;
            if (step.ask) {
                caseWatcher->reportWhenSettled("A");
            } else {
                streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent"}});
            }
        }
        clock->advance(5s);
        EXPECT_EQ(seen, c.reports);
    }
}

// A commit through a rollback journal is over when its journal is gone: a reader that found
// one under way hears of the library then, not a settle interval later. While the journal is
// there, the writes settle as any others: it may hold the commit, or have only just been made
// for it (empty, or its header zeroed until it is synced, as a journal kept after its commit
// also is).
TEST_F(WatcherTest, AReaderThatFoundACommitUnderWayHearsOfTheLibraryWhenItsJournalIsGone) {
    testing::ScratchFolder folder;
    const fs::path database = folder / "CurrentVersion.fcpevent";
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE t(x); INSERT INTO t VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const fs::path journal = database.string() + "-journal";
    const std::string magic = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7";
    struct Case {
        const char *what;
        // The journal's bytes when its change comes; none without a journal.
        std::optional<std::string> journal;
        int64_t reportedAt;
    };
    const Case cases[] = {
        {"the journal removed", std::nullopt, 10},
        {"the journal begun, or kept after its commit", std::string(28, '\0'), 60},
        {"the journal still holding the commit", magic, 60},
        {"the journal just made, or cut short after its commit", "", 60},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::error_code ignored;
        fs::remove(journal, ignored);
        if (c.journal) {
            std::ofstream(journal, std::ios::binary | std::ios::trunc) << *c.journal;
        }
        EXPECT_EQ(reportsOfAnAskBetween(database, journal),
                  (std::vector<int64_t>{0, c.reportedAt}));
    }
}

// A commit into a write-ahead log whose frames are in the log but not yet counted by its index
// (the writer syncs the log first): readers read the database without it. The update of the
// index, in memory shared with the writer, raises no event: the watcher looks again itself,
// less and less often, and reports the library once the index has moved. With the change of
// the log still to come, an event ends the wait at once.
TEST_F(WatcherTest, AReaderThatFoundACommitUnderWayHearsOfTheLibraryWhenItsLogIsIndexed) {
    testing::ScratchFolder folder;
    sample::LibraryDescription description = testing::describedLibrary("Logged", {{"Edit", 1}});
    const fs::path library = sample::SampleLibraryWriter::write(description, folder.path());
    const fs::path database = library / "Day 1/CurrentVersion.fcpevent";
    description.events.at(0).timelines.at(0).spine.at(0).name = "Shot 1 (retake)";
    const fs::path renamed = folder / "renamed.fcpevent";
    sample::SampleLibraryWriter::writeEvent(description.events.at(0), renamed, {});
    const auto changes = sample::EditorSaves::changedRows(database, renamed);
    const auto back = sample::EditorSaves::changedRows(renamed, database);
    ASSERT_FALSE(changes.empty());
    sample::EditorSaves::LoggingWriter writer(database);
    writer.commit(changes);
    const fs::path log = database.string() + "-wal";

    struct Case {
        const char *what;
        // When the index counts the commit, in milliseconds after the reader's ask; never
        // when absent (the writer stopped half way).
        std::optional<int64_t> indexedAt;
        // Whether the log's change is delivered then (a later write of it).
        bool changeComes;
        std::vector<int64_t> reports;
        // A change of the log 5 ms after the ask, its index not updated yet.
        bool changeFirst = false;
    };
    const Case cases[] = {
        {"the index counts it 20 ms later: seen at the second look", 20, false, {0, 40}},
        {"1 s later: at the look after it, the looks backing off", 1000, false, {0, 1280}},
        {"30 s later: the looks 5 s apart at most", 30'000, false, {0, 30'120}},
        {"the log written again: at once", 20, true, {0, 30}},
        {"never: nothing more", std::nullopt, false, {0}},
        {"a write of the log before: still at the look, not once it settles",
         20,
         false,
         {0, 40},
         true},
    };
    bool renamedNow = true;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int64_t> seen;
        const auto caseWatcher = timedWatcher(seen);
        caseWatcher->watch("A");
        const std::function<void()> indexNow =
            writer.commitIndexedLate(renamedNow ? back : changes);
        renamedNow = !renamedNow;
        streams.deliver("A", {{log}});
        clock->advance(10ms);
        caseWatcher->reportWhenSettled("A", {database});
        if (c.changeFirst) {
            clock->advance(5ms);
            streams.deliver("A", {{log}});
        }
        if (c.indexedAt) {
            clock->advance(std::chrono::milliseconds(*c.indexedAt - (c.changeFirst ? 5 : 0)));
            indexNow();
            if (c.changeComes) {
                streams.deliver("A", {{log}});
            }
        }
        clock->advance(60s);
        EXPECT_EQ(seen, c.reports);
        if (!c.indexedAt) {
            indexNow();
        }
    }
}

// Changes heard after a report and before the reader's ask may be the rest of the save the
// read caught in its middle (a journal's removal that came while the read ran): they settle
// like changes after the ask, and are not left to the interval's late report.
TEST_F(WatcherTest, ChangesBetweenAReportAndTheReadersAskSettleAsChangesAfterIt) {
    for (const bool changeBeforeTheAsk : {true, false}) {
        SCOPED_TRACE(changeBeforeTheAsk ? "a change before the ask" : "none");
        std::vector<int64_t> seen;
        const auto caseWatcher = timedWatcher(seen);
        caseWatcher->watch("A");
        streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent-journal"}});
        clock->advance(10ms);
        if (changeBeforeTheAsk) {
            streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent"}});
        }
        clock->advance(10ms);
        caseWatcher->reportWhenSettled("A");
        clock->advance(5s);
        const std::vector<int64_t> expected =
            changeBeforeTheAsk ? std::vector<int64_t>{0, 60} : std::vector<int64_t>{0};
        EXPECT_EQ(seen, expected);
    }
}

// A read that lacks something the library had asks for a second read once the writes have
// been quiet long enough. A change meanwhile is reported as any other (the read it brings
// judges anew), and starts the quiet anew.
TEST_F(WatcherTest, AReadThatLostSomethingIsReportedAgainOnceTheWritesHaveBeenQuiet) {
    struct Case {
        const char *what;
        std::vector<int64_t> changes; // after the first, at 0
        std::vector<int64_t> reports;
    };
    const Case cases[] = {
        {"no change after it: 2 s after the last", {}, {0, 2000}},
        {"a change at 1.5 s: reported as any change", {1500}, {0, 1500}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int64_t> seen;
        const auto caseWatcher = timedWatcher(seen);
        caseWatcher->watch("A");
        streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent"}});
        clock->advance(100ms);
        EXPECT_EQ(caseWatcher->quietFor("A"), 100ms);
        caseWatcher->reportOnceQuietFor("A", 2s);
        int64_t elapsed = 100;
        for (int64_t at : c.changes) {
            clock->advance(std::chrono::milliseconds(at - elapsed));
            elapsed = at;
            streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent"}});
            EXPECT_EQ(caseWatcher->quietFor("A"), 0ms);
        }
        clock->advance(10s);
        EXPECT_EQ(seen, c.reports);
    }
}

// A library folder removed, or moved away, ends its stream: the folder put back at its place is
// another one, looked for on a timer that backs off, watched once it is there, and reported
// then; its saves are heard again.
TEST_F(WatcherTest, AFolderThatWentIsWatchedAgainOnceItIsBack) {
    testing::ScratchFolder folder;
    const fs::path library = folder / "Show.fcpbundle";
    const fs::path database = library / "Day 1/CurrentVersion.fcpevent";
    testing::writeFile(database, "db");
    LibraryWatcher real(
        [this](const fs::path &) {
            reports.push_back({now(), "Show"});
        },
        {clock, clock->timers(), platform::InotifyEventStream::factory()});
    real.watch(library);
    ASSERT_TRUE(real.isWatching(library));
    const auto settle = [&] {
        QCoreApplication::processEvents();
        clock->advance(10ms);
        QCoreApplication::processEvents();
    };

    struct Case {
        const char *what;
        std::function<void()> away;
    };
    const fs::path aside = folder / "aside";
    const Case cases[] = {
        {"removed and written anew", [&] { fs::remove_all(library); }},
        {"moved away and back", [&] { fs::rename(library, aside); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        clock->advance(2s);
        reports.clear();
        c.away();
        settle();
        EXPECT_FALSE(real.isWatching(library));
        EXPECT_EQ(reports.size(), 1u) << "the folder's going is a change";
        clock->advance(30s); // looked for, not found, more and more rarely
        EXPECT_EQ(reports.size(), 1u);
        if (fs::exists(aside)) {
            fs::rename(aside, library);
        } else {
            testing::writeFile(database, "db again");
        }
        clock->advance(5s);
        EXPECT_TRUE(real.isWatching(library));
        EXPECT_EQ(reports.size(), 2u) << "reported once watched again";
        clock->advance(2s);
        testing::writeFile(database.string() + "-wal", "log");
        settle();
        EXPECT_EQ(reports.size(), 3u) << "a save of it heard";
    }
}

// A reload that finds the library as it was asks for the rest of a save once it settles. A
// library written every 0.1 s without end, changing nothing that is read, is then read twice a
// second: on each interval's report and once more when writes settle, not after every write.
TEST_F(WatcherTest, AReadThatFoundNothingNewHearsOfTheRestOfTheSaveAtMostTwiceASecond) {
    std::vector<int64_t> seen;
    LibraryWatcher *reader = nullptr;
    LibraryWatcher caseWatcher(
        [&](const fs::path &library) {
            seen.push_back(now());
            reader->reportRestWhenSettled(library);
        },
        {clock, clock->timers(), streams.factory()});
    reader = &caseWatcher;
    caseWatcher.watch("A");
    const int64_t from = now();
    for (int64_t at = 0; at < 3000; at += 100) {
        clock->advance(std::chrono::milliseconds(at - (now() - from)));
        streams.deliver("A", {{"A/Day 1/CurrentVersion.fcpevent"}});
    }
    clock->advance(5s);
    for (int64_t &report : seen) {
        report -= from;
    }
    EXPECT_EQ(seen, (std::vector<int64_t>{0, 150, 1150, 1250, 2250, 2350, 3350}));
}

TEST_F(WatcherTest, WatchesOnceAndReportsNothingAfterTheLibraryIsRemoved) {
    watcher.watch("A");
    watcher.watch("A");
    EXPECT_EQ(streams.opened, 1);
    EXPECT_TRUE(watcher.isWatching("A"));

    streams.deliver("A", {{"A/x.fcpevent"}});
    clock->advance(200ms);
    streams.deliver("A", {{"A/x.fcpevent-wal"}}); // due at 1 s
    EXPECT_TRUE(watcher.stopWatching("A"));
    EXPECT_FALSE(watcher.stopWatching("A"));
    streams.deliver("A", {{"A/x.fcpevent-wal"}});
    clock->advance(5s);
    EXPECT_EQ(reports, (std::vector<Report>{{0, "A"}}));

    // Watched again, it is reported again; its last report still counts for the interval.
    watcher.watch("A");
    EXPECT_EQ(streams.opened, 2);
    streams.deliver("A", {{"A/x.fcpevent-wal"}});
    clock->advance(500ms);
    streams.deliver("A", {{"A/x.fcpevent-wal"}});
    clock->advance(5s);
    EXPECT_EQ(reports, (std::vector<Report>{{0, "A"}, {5200, "A"}, {6200, "A"}}));
}

TEST_F(WatcherTest, AFolderThatCannotBeWatchedIsTriedAgainAtTheNextWatch) {
    bool refuse = true;
    LibraryWatcher refusing([](const fs::path &) {},
                            {clock, clock->timers(),
                             [&](const fs::path &folder, FileSystemEventStream::Callback callback)
                                 -> std::unique_ptr<FileSystemEventStream> {
                                 if (refuse) {
                                     return nullptr;
                                 }
                                 return streams.factory()(folder, std::move(callback));
                             }});
    refusing.watch("A");
    EXPECT_FALSE(refusing.isWatching("A"));
    refuse = false;
    refusing.watch("A");
    EXPECT_TRUE(refusing.isWatching("A"));
}

// The real stream: each change is queued by the kernel as it is made, so one pass of the event
// loop hands it over.
TEST_F(WatcherTest, OnInotifyALogFileIsAChangeAndAMediaFileIsNot) {
    testing::ScratchFolder folder;
    const fs::path library = folder / "Show.fcpbundle";
    testing::writeFile(library / "Day 1/CurrentVersion.fcpevent", "db");
    LibraryWatcher real(
        [this](const fs::path &url) {
            reports.push_back({now(), url.string()});
        },
        {clock, clock->timers(), platform::InotifyEventStream::factory()});
    real.watch(library);
    ASSERT_TRUE(real.isWatching(library));

    testing::writeFile(library / "Day 1/CurrentVersion.fcpevent-wal", "log");
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, (std::vector<Report>{{0, library.string()}}));

    clock->advance(2s);
    testing::writeFile(library / "Day 1/Original Media/A001.mov", "media");
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.size(), 1u);

    real.stopWatching(library);
    testing::writeFile(library / "Day 1/CurrentVersion.fcpevent-wal", "more");
    QCoreApplication::processEvents();
    clock->advance(2s);
    EXPECT_EQ(reports.size(), 1u);
}

} // namespace
} // namespace tandrel
