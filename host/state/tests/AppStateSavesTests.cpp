// A served library saved by each way an editor saves: the state object on the real scanner,
// the real inotify stream where the events are what is tested, and a clock moved by hand.

#include "core/database/LibraryScanner.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/query/tests/QueryFixture.h"
#include "host/state/AppState.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/runtime/InotifyEventStream.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/EditorSaves.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fstream>
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
    void SetUp() override {
        library = sample::SampleLibraryWriter::write(show(firstName), folder.path());
        database = library / "Day 1/CurrentVersion.fcpevent";
        saved = folder / "saved.fcpevent";
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

} // namespace
} // namespace tandrel
