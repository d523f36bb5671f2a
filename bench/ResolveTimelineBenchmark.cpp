// What the host does after a save of a large library (scan, load, resolution of the timeline
// and its snapshot entries), at 3,000 and 10,000 clips, against three floors measured in the
// same run:
// - one_pass: the whole-table queries the read models are loaded with, alone, stepping every
//   row and reading every column: the least any resolver must read;
// - one_pass_parsed: the same queries, with every blob they read parsed by the property-list
//   library and let go: the least a resolver that decodes each blob once must do;
// - statements_as_today: the statements of a resolution that reads one statement per item
//   (read models off), replayed on a bare connection;
// and against the whole of such a resolution (resolution_as_today).
// Prints each ratio, and the bytes the read model keeps for the timeline's database.

#include "core/database/AssetStore.h"
#include "core/database/CollectionReadModel.h"
#include "core/database/LibraryScanner.h"
#include "core/database/RoleResolver.h"
#include "core/resolver/TimelineResolver.h"
#include "core/snapshot/SnapshotWriter.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <benchmark/benchmark.h>
#include <plist/plist.h>
#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace tandrel;

namespace {

struct Timeline {
    std::shared_ptr<FCPDatabaseConnection> db;
    std::unique_ptr<TimelineResolver> resolver;
    int64_t key = 0;
};

// What the host does on a library load.
Timeline openTimeline(const fs::path &bundle) {
    const FCPLibrary library = LibraryScanner::scan(bundle);
    const FCPEvent &event = library.events.at(0);
    auto assets = std::make_shared<AssetStore>();
    assets->loadAllAssets(bundle);
    auto roles = std::make_shared<RoleResolver>();
    roles->loadAllRoles(bundle);
    auto multicams = std::make_shared<MulticamMediaIndex>();
    multicams->scan(bundle);
    Timeline timeline;
    timeline.db = std::make_shared<FCPDatabaseConnection>(event.databaseURL.string());
    timeline.resolver =
        std::make_unique<TimelineResolver>(timeline.db, assets, roles, std::move(multicams));
    timeline.key = event.timelines.at(0).collectionPK;
    return timeline;
}

size_t snapshotEntryCount(const EditDecisionList &list) {
    size_t count = 0;
    for (const EditEntry &entry : list.entries()) {
        count += SnapshotWriter::snapshotEntries(entry).size();
    }
    return count;
}

int recordStatement(unsigned, void *context, void *statement, void *) {
    if (char *sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement))) {
        static_cast<std::vector<std::string> *>(context)->push_back(sql);
        sqlite3_free(sql);
    }
    return 0;
}

// A library of `clips` spine items, written once per run, with what the floors replay.
struct Fixture {
    fs::path folder;
    fs::path bundle;
    fs::path database;
    std::vector<std::string> wholeTableQueries;
    std::vector<std::string> statementsAsToday;
    size_t readModelBytes = 0;

    explicit Fixture(int clips) {
        std::string pattern = (fs::temp_directory_path() / "tandrel-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::abort();
        }
        folder = pattern;
        bundle = sample::SampleLibraryWriter::write(sample::largeSampleLibrary(clips), folder);
        database = bundle / "Day 1" / LibraryScanner::eventDatabaseName;

        Timeline timeline = openTimeline(bundle);
        wholeTableQueries = CollectionReadModel::loadStatements(*timeline.db);
        timeline.resolver->getEDL(timeline.key);
        readModelBytes = timeline.resolver->readModelBytes();

        Timeline statementwise = openTimeline(bundle);
        statementwise.resolver->setReadModelsEnabled(false);
        sqlite3_trace_v2(statementwise.db->db(), SQLITE_TRACE_STMT, recordStatement,
                         &statementsAsToday);
        statementwise.resolver->getEDL(statementwise.key);
        sqlite3_trace_v2(statementwise.db->db(), 0, nullptr, nullptr);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Fixture &fixture(int clips) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto &made = fixtures[clips];
    if (!made) {
        made = std::make_unique<Fixture>(clips);
    }
    return *made;
}

// A binary property list parsed and let go; the number of its bytes, 0 when it is none.
int64_t parsed(const void *bytes, int size) {
    if (!bytes || size < 8 || std::memcmp(bytes, "bplist00", 8) != 0) {
        return 0;
    }
    plist_t root = nullptr;
    plist_from_bin(static_cast<const char *>(bytes), static_cast<uint32_t>(size), &root);
    if (!root) {
        return 0;
    }
    plist_free(root);
    return size;
}

// Each statement prepared, stepped to its end with every column read, and finalised, as the
// connection does; with `parse`, every blob read is parsed too; nothing else.
int64_t replay(sqlite3 *db, const std::vector<std::string> &statements, bool parse) {
    int64_t bytes = 0;
    for (const std::string &sql : statements) {
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                const void *blob = sqlite3_column_blob(statement, column);
                const int size = sqlite3_column_bytes(statement, column);
                bytes += parse ? parsed(blob, size) : size;
            }
        }
        sqlite3_finalize(statement);
    }
    return bytes;
}

void scanResolveAndConvert(benchmark::State &state, int clips, bool readModels) {
    const Fixture &f = fixture(clips);
    size_t entries = 0;
    for (auto _ : state) {
        Timeline timeline = openTimeline(f.bundle);
        timeline.resolver->setReadModelsEnabled(readModels);
        entries = snapshotEntryCount(*timeline.resolver->getEDL(timeline.key));
        benchmark::DoNotOptimize(entries);
    }
    state.counters["snapshotEntries"] = static_cast<double>(entries);
}

void BM_ScanResolveAndConvert(benchmark::State &state, int clips) {
    scanResolveAndConvert(state, clips, true);
    state.counters["readModelBytes"] = static_cast<double>(fixture(clips).readModelBytes);
}

// The same with one statement per item, as before the read models.
void BM_ResolutionAsToday(benchmark::State &state, int clips) {
    scanResolveAndConvert(state, clips, false);
}

// The floors open their own connection per iteration, as the host opens one per reload.
void replayFloor(benchmark::State &state, const Fixture &f,
                 const std::vector<std::string> &statements, bool parse = false) {
    for (auto _ : state) {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(FCPDatabaseConnection::uri(f.database.string(), "immutable=1").c_str(), &db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        benchmark::DoNotOptimize(replay(db, statements, parse));
        sqlite3_close(db);
    }
    state.counters["statements"] = static_cast<double>(statements.size());
}

void BM_OnePass(benchmark::State &state, int clips) {
    const Fixture &f = fixture(clips);
    replayFloor(state, f, f.wholeTableQueries);
}

void BM_OnePassParsed(benchmark::State &state, int clips) {
    const Fixture &f = fixture(clips);
    replayFloor(state, f, f.wholeTableQueries, true);
}

void BM_StatementsAsToday(benchmark::State &state, int clips) {
    const Fixture &f = fixture(clips);
    replayFloor(state, f, f.statementsAsToday);
}

// The shared main prints the ratio of ours to each peer of the same size.
const bool registered = [] {
    using Run = void (*)(benchmark::State &, int);
    const std::pair<const char *, Run> runs[] = {
        {"ours", BM_ScanResolveAndConvert},
        {"one_pass", BM_OnePass},
        {"one_pass_parsed", BM_OnePassParsed},
        {"resolution_as_today", BM_ResolutionAsToday},
        {"statements_as_today", BM_StatementsAsToday},
    };
    for (int clips : {3000, 10000}) {
        for (const auto &[name, run] : runs) {
            const std::string full = "ResolveTimeline/" + std::to_string(clips) + "_clips/" + name;
            benchmark::RegisterBenchmark(full.c_str(), run, clips)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

} // namespace
