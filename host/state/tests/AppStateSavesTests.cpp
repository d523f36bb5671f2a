// A served library saved by each way an editor saves: the state object on the real scanner,
// the real inotify stream where the events are what is tested, and a clock moved by hand.

#include "core/database/LibraryScanner.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/LogCapture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/AppState.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/runtime/InotifyEventStream.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/EditorSaves.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCoreApplication>

#include <QVariantMap>

#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <thread>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::MainQueue;
using sample::EditorSaves;

constexpr const char *firstName = "Shot 1";
constexpr const char *newName = "Shot 1 (retake)";

// "Show": timelines "Alpha" (2 clips) and "Beta" (4 clips), Beta's first clip named `name`.
sample::LibraryDescription show(const std::string &name) {
    sample::LibraryDescription library =
        testing::describedLibrary("Show", {{"Alpha", 2}, {"Beta", 4}});
    library.events.at(0).timelines.at(1).spine.at(0).name = name;
    return library;
}

class LibrarySaves : public ::testing::Test {
protected:
    void SetUp() override { freshLibrary(folder.path()); }

    // The library written anew into `parent`, with its saved version beside it.
    void freshLibrary(const fs::path &parent) {
        fs::create_directories(parent);
        library = sample::SampleLibraryWriter::write(show(firstName), parent);
        database = library / "Day 1/CurrentVersion.fcpevent";
        saved = parent / "saved.fcpevent";
        sample::SampleLibraryWriter::writeEvent(show(newName).events.at(0), saved, {});
        changes = EditorSaves::changedRows(database, saved);
        ASSERT_FALSE(changes.empty());
    }

    AppState::Services services(platform::FileSystemEventStream::Factory events) {
        return {
            .userDefaults = defaults,
            .clock = clock,
            .timers = clock->timers(),
            .fileSystemEvents = std::move(events),
            .scanLibrary =
                [this](const fs::path &url) {
                    ++scans;
                    return LibraryScanner::scanSettled(url);
                },
            .bundledPresetsFolder = presetFiles.path(),
            .writeSnapshot =
                [this](const TandrelSnapshot &snapshot) {
                    ++writes;
                    SnapshotWriter::write(snapshot);
                },
            .clearSnapshot =
                [this] {
                    ++clears;
                    SnapshotWriter::clear();
                },
            .publishPresets = nullptr,
            .checkPluginUpdate = nullptr,
            .validation = nullptr,
            .observeExtension = nullptr,
        };
    }

    // Started on the library, serving Beta.
    AppState &state(platform::FileSystemEventStream::Factory events) {
        state_.reset();
        state_ = std::make_unique<AppState>(services(std::move(events)));
        state_->start();
        state_->addLibrary(library);
        MainQueue::runPending();
        for (const TimelineChoice &timeline : state_->availableTimelines()) {
            if (timeline.name == "Beta") {
                state_->setActiveTimeline(timeline.id);
                beta = timeline.id;
            }
        }
        EXPECT_EQ(servedClipName(), firstName);
        scans = writes = clears = 0;
        return *state_;
    }

    // Lets the host run for `span` of the clock, handing it the file system's events as they
    // come, in steps of 10 ms.
    void run(std::chrono::milliseconds span) {
        for (auto passed = 0ms; passed < span; passed += 10ms) {
            QCoreApplication::processEvents();
            MainQueue::runPending();
            clock->advance(10ms);
        }
        QCoreApplication::processEvents();
        MainQueue::runPending();
    }

    // The name of the first clip in the snapshot file; "" when there is no file.
    std::string servedClipName() const {
        std::ifstream in(data.path() / "Tandrel/current.json");
        if (!in) {
            return "";
        }
        const auto snapshot = parseJsonText(std::string(std::istreambuf_iterator<char>(in), {}))
                                  .get<TandrelSnapshot>();
        return snapshot.entries.empty() ? "(no entries)"
                                        : snapshot.entries.front().metadata.sourceClipName;
    }

    testing::ScratchFolder folder;
    testing::ScratchFolder data;
    testing::ScratchFolder presetFiles;
    testing::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<platform::MemoryKeyValueStore> defaults =
        std::make_shared<platform::MemoryKeyValueStore>();
    fs::path library;
    fs::path database;
    fs::path saved;
    std::vector<EditorSaves::RowChange> changes;
    std::string beta;
    int scans = 0;
    int writes = 0;
    int clears = 0;
    std::unique_ptr<AppState> state_;
};

// Reading a database in write-ahead-log mode opens its log for writing; closing it is no
// change, so the reload that follows a commit causes no other.
TEST_F(LibrarySaves, ALogHeldOpenByTheEditorForTenSecondsGivesOneReload) {
    AppState &host = state(platform::InotifyEventStream::factory());
    EditorSaves::LoggingWriter editor(database);
    editor.commit(changes);
    run(10s);
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(servedClipName(), newName);
    EXPECT_EQ(host.activeTimelineID(), beta);
}

// A copy over the database empties it and writes it anew: read in between, it holds no
// timeline, which is no reason to stop serving one; nor is it when another library's load
// rebuilds the readers of every library meanwhile.
TEST_F(LibrarySaves, ACopyOverTheDatabaseKeepsTheServedTimelineAndEndsOnTheNewContent) {
    AppState &host = state(platform::InotifyEventStream::factory());
    const fs::path other = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Other", {{"Reel", 3}}), folder.path());
    const std::string before = servedClipName() + " " + beta;
    std::vector<std::string> seenDuringTheCopy;
    EditorSaves::rewriteInPlace(
        database, saved,
        [&](int64_t written) {
            if (written == 4096 || written == 8192) {
                if (written == 8192) {
                    host.addLibrary(other);
                }
                run(20ms); // the host reads the half-written file
                seenDuringTheCopy.push_back(servedClipName() + " " +
                                            host.activeTimelineID().value_or("none"));
            }
        },
        4096);
    EXPECT_EQ(seenDuringTheCopy, (std::vector<std::string>{before, before}));
    EXPECT_GE(scans, 1);
    run(2s);
    EXPECT_EQ(servedClipName(), newName);
    EXPECT_EQ(host.activeTimelineID(), beta);
    EXPECT_EQ(host.statusMessage(), "Serving 'Beta' (3 timelines)");
    EXPECT_EQ(clears, 0);
    EXPECT_EQ(writes, 1);
}

// A save may begin between the reload of the readers (here for another library's load) and
// the resolution of the served timeline: the timeline then cannot be resolved, and keeps the
// snapshot it has until the save is over.
TEST_F(LibrarySaves, ACopyThatBeginsWhileTheHostReloadsKeepsTheSnapshot) {
    AppState &host = state(platform::InotifyEventStream::factory());
    const fs::path other = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Other", {{"Reel", 3}}), folder.path());
    std::optional<std::thread> copy;
    std::promise<void> resume;
    std::promise<void> halfWritten;
    const QMetaObject::Connection once =
        QObject::connect(&host, &AppState::availableTimelinesChanged, [&] {
            if (copy) {
                return;
            }
            copy.emplace([&, resumed = resume.get_future().share()] {
                EditorSaves::rewriteInPlace(
                    database, saved,
                    [&](int64_t written) {
                        if (written == 4096) {
                            halfWritten.set_value();
                            resumed.wait();
                        }
                    },
                    4096);
            });
            halfWritten.get_future().wait();
        });
    host.addLibrary(other);
    run(20ms);
    EXPECT_TRUE(copy.has_value());
    EXPECT_EQ(servedClipName(), firstName);
    EXPECT_EQ(host.activeTimelineID(), beta);
    resume.set_value();
    copy->join();
    run(2s);
    EXPECT_EQ(servedClipName(), newName);
    EXPECT_EQ(clears, 0);
}

// A restart while the served library is being copied over: its first read holds no timeline,
// and the timeline served before waits for a read of the whole.
TEST_F(LibrarySaves, ARestartInTheMiddleOfACopyServesTheTimelineServedBefore) {
    state(platform::InotifyEventStream::factory());
    state_.reset();
    std::unique_ptr<AppState> next;
    EditorSaves::rewriteInPlace(
        database, saved,
        [&](int64_t written) {
            if (written == 4096) {
                next =
                    std::make_unique<AppState>(services(platform::InotifyEventStream::factory()));
                next->start();
                run(20ms);
                EXPECT_EQ(next->activeTimelineID(), beta);
            }
        },
        4096);
    run(2s);
    EXPECT_EQ(next->activeTimelineID(), beta);
    EXPECT_EQ(servedClipName(), newName);
}

// A commit through a rollback journal reaches the watcher in two batches here: the database's
// pages, then the journal's removal, a moment later and so reported a second later. The second
// reload finds what the first one wrote.
TEST_F(LibrarySaves, AnInPlaceCommitWritesTheSnapshotOnce) {
    testing::FakeStreams streams;
    state(streams.factory());
    EditorSaves::commitThroughJournal(database, changes);
    streams.deliver(library, {{database}});
    run(200ms);
    streams.deliver(library, {{database.string() + "-journal"}});
    run(2s);
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(servedClipName(), newName);
}

// A save may show itself before its content can be read: a journal filled before the
// database is written, a log's frames before its index. The reload then serves what was
// there, and the save's rest, coming within the debounce interval, is read once it settles,
// not a second after the first reload.
TEST_F(LibrarySaves, TheRestOfASaveThatShowedItselfEarlyIsReadOnceItSettles) {
    testing::FakeStreams streams;
    state(streams.factory());
    streams.deliver(library, {{database.string() + "-journal"}});
    run(100ms);
    EXPECT_EQ(servedClipName(), firstName);
    EditorSaves::commitThroughJournal(database, changes);
    streams.deliver(library, {{database}});
    run(100ms);
    EXPECT_EQ(servedClipName(), newName);
    EXPECT_EQ(scans, 2);
    EXPECT_EQ(writes, 1);
}

// Each way a save, a disk or a user can take the served timeline away for a moment, or for
// good and back. While the choice is held and its timeline may come back, the snapshot stays
// served as it was (for a moment), or is removed once the loss is believed and served again,
// unchosen anew, once the timeline is back; a save after it reaches the snapshot.
TEST_F(LibrarySaves, TheChosenTimelineOutlivesWhatTheDiskDoesAndIsServedAgain) {
    struct Step {
        const char *what;
        std::function<void()> act;
        std::chrono::milliseconds run;
        // The first clip served then ("" when nothing is), and whether Beta is active.
        std::string served;
        bool betaActive = true;
    };
    struct Case {
        const char *what;
        bool fakeStreams = false;
        std::function<std::vector<Step>()> steps;
        int clears = 0;
        // Before the host starts.
        std::function<void()> prepare = {};
    };
    testing::FakeStreams streams;
    std::function<void()> indexNow;
    std::unique_ptr<EditorSaves::LoggingWriter> writer;
    const fs::path aside = folder / "aside";
    // The library as it was, put back after it went.
    const auto putBack = [&] {
        fs::remove_all(library);
        fs::copy(aside, library, fs::copy_options::recursive);
    };
    // A library whose "Day 1" holds Alpha alone.
    const fs::path withoutBeta = folder / "without-beta.fcpevent";
    sample::SampleLibraryWriter::writeEvent(
        testing::describedLibrary("Show", {{"Alpha", 2}}).events.at(0), withoutBeta, {});
    std::vector<std::string> seenWhileSaving;
    // The removal of a file before its new one is written may take a while (a tool that
    // removes first, then fetches what it writes): 300 ms.
    const auto watchWhileSaving = [&](int64_t written) {
        run(written == 0 ? 300ms : 20ms);
        seenWhileSaving.push_back(servedClipName() +
                                  (state_->activeTimelineID() == beta ? "" : " (inactive)"));
    };
    const Case cases[] = {
        {"a log's commit whose index is updated after its event, which raises none", true,
         [&] {
             return std::vector<Step>{
                 {"the frames written",
                  [&] {
                      writer = std::make_unique<EditorSaves::LoggingWriter>(database);
                      indexNow = writer->commitIndexedLate(changes);
                      streams.deliver(library, {{database.string() + "-wal"}});
                  },
                  100ms, firstName},
                 {"the index updated", [&] { indexNow(); }, 1s, newName},
             };
         }},
        {"the database removed, then written anew in pieces", false,
         [&] {
             return std::vector<Step>{
                 {"saved",
                  [&] { EditorSaves::removeAndWrite(database, saved, watchWhileSaving, 8192); }, 2s,
                  newName},
             };
         }},
        {"written over from its start in pieces, its old rest cut off last", false,
         [&] {
             return std::vector<Step>{
                 {"saved smaller",
                  [&] { EditorSaves::overwriteInPlace(database, saved, watchWhileSaving, 8192); },
                  2s, newName},
             };
         },
         0,
         // Saved with smaller pages, as a compacting save may: between the pieces the new
         // pages lie among old ones of another size, which read as nothing whole.
         [&] {
             sqlite3 *db = nullptr;
             ASSERT_EQ(sqlite3_open(saved.c_str(), &db), SQLITE_OK);
             ASSERT_EQ(
                 sqlite3_exec(db, "PRAGMA page_size=1024; VACUUM;", nullptr, nullptr, nullptr),
                 SQLITE_OK);
             sqlite3_close(db);
             ASSERT_LT(fs::file_size(saved), fs::file_size(database));
         }},
        {"the library removed and put back at once", false,
         [&] {
             return std::vector<Step>{
                 {"removed", [&] { fs::remove_all(library); }, 300ms, firstName},
                 {"put back", putBack, 6s, firstName},
                 {"saved", [&] { EditorSaves::renameInto(database, saved); }, 2s, newName},
             };
         }},
        {"the library moved away for longer than a save, and back", false,
         [&] {
             return std::vector<Step>{
                 {"moved away", [&] { fs::rename(library, folder / "moved"); }, 3s, "", false},
                 {"back", [&] { fs::rename(folder / "moved", library); }, 6s, firstName},
                 {"saved", [&] { EditorSaves::renameInto(database, saved); }, 2s, newName},
             };
         },
         1},
        {"the timeline gone from its database, and back", false,
         [&] {
             return std::vector<Step>{
                 {"gone", [&] { EditorSaves::renameInto(database, withoutBeta); }, 2s, "", false},
                 {"back",
                  [&] {
                      EditorSaves::renameInto(database, aside / "Day 1/CurrentVersion.fcpevent");
                  },
                  2s, firstName},
                 {"saved", [&] { EditorSaves::renameInto(database, saved); }, 2s, newName},
             };
         },
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        freshLibrary(folder / c.what);
        fs::remove_all(aside);
        fs::copy(library, aside, fs::copy_options::recursive);
        if (c.prepare) {
            c.prepare();
        }
        defaults = std::make_shared<platform::MemoryKeyValueStore>(); // no earlier case's
        AppState &host =
            state(c.fakeStreams ? streams.factory() : platform::InotifyEventStream::factory());
        seenWhileSaving.clear();
        for (const Step &step : c.steps()) {
            SCOPED_TRACE(step.what);
            step.act();
            run(step.run);
            EXPECT_EQ(servedClipName(), step.served);
            EXPECT_EQ(host.activeTimelineID() == beta, step.betaActive);
        }
        for (const std::string &seen : seenWhileSaving) {
            EXPECT_EQ(seen, firstName) << "served while saving";
        }
        EXPECT_EQ(clears, c.clears);
        EXPECT_EQ(host.statusMessage(), "Serving 'Beta' (2 timelines)");
        writer.reset();
    }
}

// A restart while the library of the chosen timeline is not there yet (a drive mounted later)
// serves no other library's lone timeline in its place, nor stores one as the choice; once the
// library is there, the choice is served.
TEST_F(LibrarySaves, ARestartWithoutTheChosenLibraryWaitsForItAndServesTheChoice) {
    const fs::path other = sample::SampleLibraryWriter::write(
        testing::describedLibrary("Other", {{"Reel", 3}}), folder / "others");
    AppState &first = state(platform::InotifyEventStream::factory());
    first.addLibrary(other);
    run(100ms);
    ASSERT_EQ(first.activeTimelineID(), beta);
    const auto storedChoice = [&] {
        return defaults->dictionary(AppState::activeTimelineKey)
            .value_or(QVariantMap())
            .value(QStringLiteral("timelineID"))
            .toString()
            .toStdString();
    };
    ASSERT_EQ(storedChoice(), beta);
    state_.reset();

    const fs::path away = folder / "unmounted";
    fs::rename(library, away);
    state_ = std::make_unique<AppState>(services(platform::InotifyEventStream::factory()));
    state_->start();
    run(3s);
    EXPECT_EQ(state_->availableTimelines().size(), 1u) << "Other's Reel alone";
    EXPECT_EQ(state_->activeTimelineID(), std::nullopt);
    EXPECT_EQ(servedClipName(), "");
    EXPECT_EQ(storedChoice(), beta);

    fs::rename(away, library);
    run(6s);
    EXPECT_EQ(state_->activeTimelineID(), beta);
    EXPECT_EQ(servedClipName(), firstName);
    EXPECT_EQ(state_->statusMessage(), "Serving 'Beta' (3 timelines)");
    EXPECT_EQ(storedChoice(), beta);
}

// An event database that cannot be read may be caught in a save (one that writes the file
// anew): for as long as that may be, the library keeps what it had. Once it has stayed so
// longer than a save pauses, it shows on its library's row and in the log, and its timelines
// are gone; read again, it is back.
TEST_F(LibrarySaves, AnEventDatabaseThatStaysUnreadableShowsOnItsLibraryAndInTheLog) {
    const fs::path second = library / "Day 2/CurrentVersion.fcpevent";
    fs::create_directories(second.parent_path());
    fs::copy_file(database, second);
    AppState &host = state(platform::InotifyEventStream::factory());
    ASSERT_EQ(host.availableTimelines().size(), 4u);
    testing::LogCapture log("com.ostrevale.tandrel.host", "libraries");
    // The event whose Beta is not served.
    const bool betaInSecond = beta.starts_with(second.string());
    const fs::path broken = betaInSecond ? database : second;
    const std::string event = betaInSecond ? "Day 1" : "Day 2";
    const std::string whole = [&] {
        std::ifstream in(broken, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    testing::writeFile(broken, std::string(4096, 'x'));

    run(1s);
    EXPECT_TRUE(host.watchedLibraries().at(0).unreadableDatabases.empty()) << "maybe a save";
    EXPECT_EQ(host.availableTimelines().size(), 4u);
    run(2s);
    const std::vector<std::string> unreadable = host.watchedLibraries().at(0).unreadableDatabases;
    ASSERT_EQ(unreadable.size(), 1u);
    EXPECT_TRUE(unreadable[0].starts_with(event + ": ")) << unreadable[0];
    EXPECT_NE(log.text().find("an event database cannot be read: " + event + ": "),
              std::string::npos)
        << log.text();
    EXPECT_EQ(host.availableTimelines().size(), 2u);
    EXPECT_EQ(host.activeTimelineID(), beta);
    EXPECT_EQ(servedClipName(), firstName);

    testing::writeFile(broken, whole);
    run(2s);
    EXPECT_TRUE(host.watchedLibraries().at(0).unreadableDatabases.empty());
    EXPECT_EQ(host.availableTimelines().size(), 4u);
    EXPECT_EQ(clears, 0);
}

} // namespace
} // namespace tandrel
