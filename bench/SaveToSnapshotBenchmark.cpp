// The road from an editor's save to the new snapshot on disk: the host's state object, without
// windows as tandrel-serve runs it (inotify, the event loop's timers, the snapshot file under a
// private XDG_DATA_HOME), serves the 3,000-clip timeline "Large" while a writer renames its
// first clip, thirty times, by each way an editor saves:
// - rename: a new database written beside the old one and renamed over it;
// - journal_commit: an SQLite commit through a rollback journal;
// - wal_commit: an SQLite commit into the write-ahead log of a writer that keeps the database
//   open (for the whole run, idle time included);
// - journal_commit_slow_sync_process, wal_commit_slow_sync_process: the same by a writer in a
//   process of its own (bench_slow_sync_writer) whose every sync waits 20 ms, so that a log's
//   index is updated well after its frames are written, with no event of its own;
// - copy_over: the file emptied and written anew in 128 KiB pieces, as a copy does;
// - remove_then_write: the file removed, then a new one written in 128 KiB pieces, as an
//   archive unpacked over the library does;
// - shrinking_overwrite: a smaller file written over it from its start in 128 KiB pieces, the
//   old rest cut off last (before each, a larger file of the same content is renamed in, not
//   measured).
// The writers on this process's side run on a thread of their own. For each save, the time
// from the end of the write to the snapshot with the new name on disk (min, median and max;
// the run's time is the median), the saves never shown (waited for 30 s each), the snapshot
// writes a save caused (at most one is the target) and whether the snapshot file was ever
// removed; then the snapshot writes and the CPU time of the process over 10 idle seconds
// (target: no write, under 1 % of a core). crashed_log_writer/idle: the same idle seconds after
// a writer died between its log's sync and the update of the log's index, leaving frames the
// index never counts.
// The floor, measured in the same run: one reading of the library as a first load does it
// (scan, readers, the timeline's resolution and its snapshot entries, nothing decoded before),
// without the file-system events, the JSON or the write. Beside it, the same reading by a query
// resolver that read the library before (cached_reading): what a reload after a save costs when
// only the blobs it changed are decoded again.

#include "core/database/LibraryScanner.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/tests/TemporaryFolder.h"
#include "host/query/QueryResolver.h"
#include "host/state/AppState.h"
#include "host/state/TimelineTextOrder.h"
#include "platform/runtime/KeyValueStore.h"
#include "tools/make-sample-library/EditorSaves.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace tandrel;
using namespace std::chrono_literals;
using sample::EditorSaves;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int clips = 3000;
constexpr int saves = 30;
// How long each sync of the writer in a process of its own waits.
constexpr const char *slowSyncMilliseconds = "20";
constexpr auto idleSpan = 10s;
// After each save: long enough for the watcher's late report of the save's last events.
constexpr auto afterEachSave = 1500ms;
const std::string names[2] = {"Shot 1", "Shot 1 (retake)"};

sample::LibraryDescription large(const std::string &firstClip) {
    sample::LibraryDescription library = sample::largeSampleLibrary(clips);
    library.events.at(0).timelines.at(0).spine.at(0).name = firstClip;
    return library;
}

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The libraries, the event loop and the private data folder, made once per run.
struct Fixture {
    testing::TemporaryFolder scratch;
    const fs::path folder = scratch.path();
    // The event database with the first clip under each name, the same made larger (a table of
    // padding after the rest), and the rows that turn one into the other.
    fs::path databases[2];
    fs::path padded[2];
    std::vector<EditorSaves::RowChange> toName[2];
    fs::path library;
    int argc = 1;
    char name[16] = "bench";
    char *argv[1] = {name};
    std::unique_ptr<QCoreApplication> application;

    Fixture() {
        // Never the user's own snapshot.
        ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
        application = std::make_unique<QCoreApplication>(argc, argv);
        library = sample::SampleLibraryWriter::write(large(names[0]), folder / "original");
        for (int version : {0, 1}) {
            databases[version] = folder / ("version" + std::to_string(version) + ".fcpevent");
        }
        fs::copy_file(library / "Day 1/CurrentVersion.fcpevent", databases[0]);
        sample::SampleLibraryWriter::writeEvent(large(names[1]).events.at(0), databases[1], {});
        for (int version : {0, 1}) {
            padded[version] = folder / ("padded" + std::to_string(version) + ".fcpevent");
            fs::copy_file(databases[version], padded[version]);
            sqlite3 *db = nullptr;
            sqlite3_open(padded[version].c_str(), &db);
            sqlite3_exec(db,
                         "CREATE TABLE padding(x); INSERT INTO padding VALUES (zeroblob(1048576))",
                         nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        toName[1] = EditorSaves::changedRows(databases[0], databases[1]);
        toName[0] = EditorSaves::changedRows(databases[1], databases[0]);
    }
    // A fresh copy of the library, its first clip under its first name.
    fs::path copy(const std::string &as) const {
        const fs::path bundle = folder / as / "Large.fcpbundle";
        fs::create_directories(bundle.parent_path());
        fs::copy(library, bundle, fs::copy_options::recursive);
        return bundle;
    }
};

Fixture &fixture() {
    static Fixture made;
    return made;
}

// Runs the event loop for `span`, or until `until` says so when given.
void runLoop(std::chrono::milliseconds span, const std::function<bool()> &until = {}) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(span);
    QTimer check;
    if (until) {
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (until()) {
                loop.quit();
            }
        });
        check.start(1);
        if (until()) {
            return;
        }
    }
    loop.exec();
}

// The host's state object on the library, and what it writes.
struct Host {
    int writes = 0;
    int clears = 0;
    // Reads that found a database in the middle of a save.
    int midSaveReads = 0;
    std::string servedName;
    Clock::time_point lastWrite;
    std::unique_ptr<AppState> state;

    explicit Host(const fs::path &library) {
        AppState::Services services = AppState::Services::standard();
        services.userDefaults = std::make_shared<platform::MemoryKeyValueStore>();
        services.publishPresets = nullptr;
        services.observeExtension = nullptr;
        services.checkPluginUpdate = nullptr;
        services.writeSnapshot = [this,
                                  write = services.writeSnapshot](const TandrelSnapshot &snapshot) {
            write(snapshot);
            lastWrite = Clock::now();
            ++writes;
            servedName =
                snapshot.entries.empty() ? "" : snapshot.entries.front().metadata.sourceClipName;
        };
        services.clearSnapshot = [this] {
            ++clears;
            SnapshotWriter::clear();
        };
        services.scanLibrary = [this](const fs::path &url) {
            try {
                return LibraryScanner::scanSettled(url);
            } catch (const LibraryScanner::UnsettledLibrary &) {
                ++midSaveReads;
                throw;
            }
        };
        state = std::make_unique<AppState>(services);
        state->start();
        state->addLibrary(library);
        runLoop(60s, [this] { return writes > 0; });
        // The start removes a snapshot left by an earlier run: no removal of the road measured.
        clears = 0;
    }
};

// Saves the database with its first clip under name `toVersion`; returns when the write ended.
using Save = std::function<Clock::time_point(const fs::path &database, int toVersion)>;

struct Kind {
    const char *name;
    // Made before the first save and kept to the end of the idle time: the writer.
    std::function<Save(const fs::path &database)> writer;
    // Before each save, not measured: the file the save starts from, with the first clip
    // under name `fromVersion`.
    std::function<void(const fs::path &database, int fromVersion)> prepare = {};
};

Clock::time_point now() {
    return Clock::now();
}

// bench_slow_sync_writer, its commands on its standard input, its answers read a line at a
// time from its standard output.
class WriterProcess {
public:
    WriterProcess(const fs::path &database, const char *mode) {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) {
            throw std::runtime_error("no pipe for the writer");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string program = TANDREL_SLOW_SYNC_WRITER;
        const std::string databaseText = database.string();
        const std::string versions[2] = {fixture().databases[0].string(),
                                         fixture().databases[1].string()};
        char *argv[] = {const_cast<char *>(program.c_str()),
                        const_cast<char *>(databaseText.c_str()),
                        const_cast<char *>(mode),
                        const_cast<char *>(slowSyncMilliseconds),
                        const_cast<char *>(versions[0].c_str()),
                        const_cast<char *>(versions[1].c_str()),
                        nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) {
            throw std::runtime_error("cannot start " + program);
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        commands_ = ::fdopen(in[1], "w");
        answers_ = ::fdopen(out[0], "r");
        if (line() != "ready") {
            throw std::runtime_error("the writer did not start");
        }
    }
    ~WriterProcess() {
        if (pid_ > 0) {
            std::fputs("quit\n", commands_);
        }
        std::fclose(commands_);
        std::fclose(answers_);
        if (pid_ > 0) {
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    // Commits version `to`; the time its commit returned.
    Clock::time_point commit(int to) {
        std::fprintf(commands_, "commit %d\n", to);
        std::fflush(commands_);
        long long nanoseconds = 0;
        int syncs = 0;
        if (std::sscanf(line().c_str(), "done %lld %d", &nanoseconds, &syncs) != 2 || syncs == 0) {
            throw std::runtime_error("the writer's commit failed or made no sync");
        }
        return Clock::time_point(std::chrono::nanoseconds(nanoseconds));
    }
    // Commits version `to` into the log and dies before the log's index counts it.
    void crash(int to) {
        std::fprintf(commands_, "crash %d\n", to);
        std::fflush(commands_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    std::string line() {
        char buffer[256];
        if (!std::fgets(buffer, sizeof buffer, answers_)) {
            return "";
        }
        std::string text = buffer;
        while (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text;
    }

    pid_t pid_ = -1;
    FILE *commands_ = nullptr;
    FILE *answers_ = nullptr;
};

Save inProcess(void (*save)(const fs::path &, const fs::path &,
                            const std::function<void(int64_t)> &, size_t)) {
    return [save](const fs::path &database, int to) {
        save(database, fixture().databases[to], {}, 128 * 1024);
        return now();
    };
}

const Kind kinds[] = {
    {"rename",
     [](const fs::path &) {
         return [](const fs::path &database, int to) {
             EditorSaves::renameInto(database, fixture().databases[to]);
             return now();
         };
     }},
    {"journal_commit",
     [](const fs::path &) {
         return [](const fs::path &database, int to) {
             EditorSaves::commitThroughJournal(database, fixture().toName[to]);
             return now();
         };
     }},
    {"wal_commit",
     [](const fs::path &database) {
         auto editor = std::make_shared<EditorSaves::LoggingWriter>(database);
         return [editor](const fs::path &, int to) {
             editor->commit(fixture().toName[to]);
             return now();
         };
     }},
    {"journal_commit_slow_sync_process",
     [](const fs::path &database) {
         auto editor = std::make_shared<WriterProcess>(database, "journal");
         return [editor](const fs::path &, int to) { return editor->commit(to); };
     }},
    {"wal_commit_slow_sync_process",
     [](const fs::path &database) {
         auto editor = std::make_shared<WriterProcess>(database, "wal");
         return [editor](const fs::path &, int to) { return editor->commit(to); };
     }},
    {"copy_over", [](const fs::path &) { return inProcess(&EditorSaves::rewriteInPlace); }},
    {"remove_then_write", [](const fs::path &) { return inProcess(&EditorSaves::removeAndWrite); }},
    {"shrinking_overwrite",
     [](const fs::path &) { return inProcess(&EditorSaves::overwriteInPlace); },
     [](const fs::path &database, int from) {
         EditorSaves::renameInto(database, fixture().padded[from]);
     }},
};

void BM_SaveToSnapshot(benchmark::State &state, const Kind *kind) {
    Fixture &f = fixture();
    for (auto _ : state) {
        const fs::path library = f.copy(kind->name);
        const fs::path database = library / "Day 1/CurrentVersion.fcpevent";
        Host host(library);
        Save save = kind->writer(database);
        // Whatever making the writer did to the files is over before the first save.
        runLoop(afterEachSave);
        std::vector<double> milliseconds;
        int mostWritesPerSave = 0;
        int missed = 0;
        for (int i = 0; i < saves; ++i) {
            const int to = (i + 1) % 2;
            if (kind->prepare) {
                kind->prepare(database, 1 - to);
                runLoop(afterEachSave);
            }
            const int writesBefore = host.writes;
            Clock::time_point saved;
            std::thread writer([&] { saved = save(database, to); });
            const bool shown = [&] {
                bool seen = false;
                runLoop(30s, [&] { return seen = host.servedName == names[to]; });
                return seen;
            }();
            writer.join();
            if (!shown) {
                ++missed;
                continue;
            }
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(host.lastWrite - saved).count());
            runLoop(afterEachSave);
            mostWritesPerSave = std::max(mostWritesPerSave, host.writes - writesBefore);
        }
        const int writesBefore = host.writes;
        const double cpuBefore = cpuSeconds();
        runLoop(idleSpan);
        const double idleCPU = cpuSeconds() - cpuBefore;
        if (milliseconds.empty()) {
            state.SkipWithError("no save reached the snapshot");
            return;
        }
        std::sort(milliseconds.begin(), milliseconds.end());
        const double median = milliseconds.size() % 2 ? milliseconds[milliseconds.size() / 2]
                                                      : (milliseconds[milliseconds.size() / 2 - 1] +
                                                         milliseconds[milliseconds.size() / 2]) /
                                                            2;
        state.SetIterationTime(median / 1000);
        state.counters["min_ms"] = milliseconds.front();
        state.counters["median_ms"] = median;
        state.counters["max_ms"] = milliseconds.back();
        state.counters["missed"] = missed;
        state.counters["writes_per_save_max"] = mostWritesPerSave;
        state.counters["snapshot_removals"] = host.clears;
        state.counters["mid_save_reads"] = host.midSaveReads;
        state.counters["idle_writes"] = host.writes - writesBefore;
        state.counters["idle_cpu_percent"] =
            100 * idleCPU / std::chrono::duration<double>(idleSpan).count();
    }
}

// The idle seconds after a writer died between its log's sync and the index's update: the
// frames the index never counts are looked at less and less often, and nothing is written.
void BM_IdleAfterACrashedLogWriter(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        const fs::path library = f.copy("crashed_log_writer");
        const fs::path database = library / "Day 1/CurrentVersion.fcpevent";
        Host host(library);
        {
            WriterProcess editor(database, "wal");
            runLoop(afterEachSave);
            editor.crash(1);
        }
        runLoop(afterEachSave);
        const int writesBefore = host.writes;
        const int midSaveBefore = host.midSaveReads;
        const double cpuBefore = cpuSeconds();
        const Clock::time_point start = Clock::now();
        runLoop(idleSpan);
        const double idleCPU = cpuSeconds() - cpuBefore;
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        state.counters["idle_writes"] = host.writes - writesBefore;
        state.counters["idle_reads"] = host.midSaveReads - midSaveBefore;
        state.counters["snapshot_removals"] = host.clears;
        state.counters["idle_cpu_percent"] =
            100 * idleCPU / std::chrono::duration<double>(idleSpan).count();
    }
}

// One reading of the library as a reload does it, on a copy nobody writes: the snapshot entries.
size_t readLibrary(QueryResolver &resolver, const fs::path &library) {
    const WatchedLibrary watched =
        WatchedLibrary::forURL(library).loadedWith(LibraryScanner::scanSettled(library));
    resolver.reload({watched});
    const std::string id = resolver.availableTimelines().at(0).id;
    resolver.timelineResolution(id);
    resolver.detectedStartTimecode(id);
    const size_t entries = resolver.completeSnapshot(id, {})->entries.size();
    resolver.releaseReplacedReaders();
    return entries;
}

const fs::path &unwrittenCopy() {
    static const fs::path library = fixture().copy("floor");
    return library;
}

// The floor: each reading by a query resolver of its own, which has decoded nothing before.
void BM_Resolution(benchmark::State &state) {
    const fs::path &library = unwrittenCopy();
    size_t entries = 0;
    for (auto _ : state) {
        auto resolver = std::make_unique<QueryResolver>(timelineTextOrder());
        entries = readLibrary(*resolver, library);
        benchmark::DoNotOptimize(entries);
        state.PauseTiming(); // its teardown is no part of a reading
        resolver.reset();
        state.ResumeTiming();
    }
    state.counters["snapshotEntries"] = static_cast<double>(entries);
}

// Each reading by a query resolver that read the library before.
void BM_CachedReading(benchmark::State &state) {
    const fs::path &library = unwrittenCopy();
    QueryResolver resolver(timelineTextOrder());
    size_t entries = readLibrary(resolver, library);
    for (auto _ : state) {
        entries = readLibrary(resolver, library);
        benchmark::DoNotOptimize(entries);
    }
    state.counters["snapshotEntries"] = static_cast<double>(entries);
}

// The shared main prints the ratio of each way of saving to the floor.
const bool registered = [] {
    for (const Kind &kind : kinds) {
        const std::string prefix =
            "SaveToSnapshot/" + std::to_string(clips) + "_clips/" + kind.name + "/";
        benchmark::RegisterBenchmark((prefix + "ours").c_str(), BM_SaveToSnapshot, &kind)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((prefix + "resolution").c_str(), BM_Resolution)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((prefix + "cached_reading").c_str(), BM_CachedReading)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark(
        ("SaveToSnapshot/" + std::to_string(clips) + "_clips/crashed_log_writer/idle").c_str(),
        BM_IdleAfterACrashedLogWriter)
        ->UseManualTime()
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
