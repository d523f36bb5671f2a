// Scan, resolution and snapshot entries of a 3,000-clip timeline, against the floor: the
// SQLite reads alone that the resolution issues, replayed on a bare connection. Prints both
// and their ratio.

#include "core/database/AssetStore.h"
#include "core/database/LibraryScanner.h"
#include "core/database/RoleResolver.h"
#include "core/resolver/TimelineResolver.h"
#include "core/snapshot/SnapshotWriter.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tandrel;

namespace {

constexpr int clipCount = 3000;

struct Fixture {
    fs::path folder;
    fs::path bundle;
    std::vector<std::string> resolutionQueries;

    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "tandrel-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::abort();
        }
        folder = pattern;
        bundle = sample::SampleLibraryWriter::write(sample::largeSampleLibrary(clipCount), folder);
    }
    ~Fixture() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

Fixture &fixture() {
    static Fixture instance;
    return instance;
}

struct Timeline {
    std::shared_ptr<FCPDatabaseConnection> db;
    std::unique_ptr<TimelineResolver> resolver;
    int64_t key = 0;
};

// What the host does on a library load and a snapshot write.
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

void BM_ScanResolveAndConvert(benchmark::State &state) {
    size_t entries = 0;
    for (auto _ : state) {
        Timeline timeline = openTimeline(fixture().bundle);
        entries = snapshotEntryCount(*timeline.resolver->getEDL(timeline.key));
        benchmark::DoNotOptimize(entries);
    }
    state.counters["snapshotEntries"] = static_cast<double>(entries);
}

// The statements of one resolution, each prepared, stepped to the end with every column read,
// and finalised, as the connection does; nothing else.
void BM_ResolutionReadsAlone(benchmark::State &state) {
    Fixture &f = fixture();
    if (f.resolutionQueries.empty()) {
        Timeline timeline = openTimeline(f.bundle);
        sqlite3_trace_v2(timeline.db->db(), SQLITE_TRACE_STMT, recordStatement,
                         &f.resolutionQueries);
        timeline.resolver->getEDL(timeline.key);
        sqlite3_trace_v2(timeline.db->db(), 0, nullptr, nullptr);
    }
    const std::string path = (f.bundle / "Day 1" / LibraryScanner::eventDatabaseName).string();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(FCPDatabaseConnection::uri(path, "immutable=1").c_str(), &db,
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    for (auto _ : state) {
        int64_t bytes = 0;
        for (const std::string &sql : f.resolutionQueries) {
            sqlite3_stmt *statement = nullptr;
            sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int column = 0; column < sqlite3_column_count(statement); ++column) {
                    sqlite3_column_blob(statement, column);
                    bytes += sqlite3_column_bytes(statement, column);
                }
            }
            sqlite3_finalize(statement);
        }
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
    state.counters["statements"] = static_cast<double>(f.resolutionQueries.size());
}

// The shared main prints the ratio of the whole to its floor.
BENCHMARK(BM_ScanResolveAndConvert)->Name("ResolveTimeline/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResolutionReadsAlone)
    ->Name("ResolveTimeline/sqlite_reads_alone")
    ->Unit(benchmark::kMillisecond);

} // namespace
