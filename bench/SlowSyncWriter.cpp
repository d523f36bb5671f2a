// bench_slow_sync_writer: an editor in a process of its own for bench_save_to_snapshot, whose
// disk is slow to sync: every sync of its files waits SYNC_MS milliseconds before it is made.
//   bench_slow_sync_writer DATABASE wal|journal SYNC_MS VERSION0 VERSION1
// opens DATABASE in write-ahead-log mode (kept open to the end) or in rollback-journal mode,
// then reads one command a line from standard input:
//   commit N   commits the rows that turn the other version into VERSION N (0 or 1);
//   crash N    the same into the log, but the writer dies before the log's index counts it,
//              as a writer that crashed between its sync and the index's update leaves it;
//   quit       ends.
// After each commit it prints "done T S", T the steady clock's time in nanoseconds once the
// commit returned (the clock of the benchmark's process too), S the syncs made so far.

#include "tools/make-sample-library/EditorSaves.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using tandrel::sample::EditorSaves;

std::chrono::milliseconds syncDelay{0};
int syncs = 0;
sqlite3_vfs *underlying = nullptr;
sqlite3_vfs slowVfs;
// The methods of each kind of file the underlying layer opens, with a slow sync.
std::map<const sqlite3_io_methods *, std::unique_ptr<sqlite3_io_methods>> slowMethods;

const sqlite3_io_methods *realMethods(sqlite3_file *file) {
    for (const auto &[real, slow] : slowMethods) {
        if (slow.get() == file->pMethods) {
            return real;
        }
    }
    return file->pMethods;
}

int slowSync(sqlite3_file *file, int flags) {
    std::this_thread::sleep_for(syncDelay);
    ++syncs;
    return realMethods(file)->xSync(file, flags);
}

// The underlying file in place, its methods but the sync its own.
int slowOpen(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags) {
    const int opened = underlying->xOpen(underlying, name, file, flags, outFlags);
    if (opened == SQLITE_OK && file->pMethods) {
        auto &slow = slowMethods[file->pMethods];
        if (!slow) {
            slow = std::make_unique<sqlite3_io_methods>(*file->pMethods);
            slow->xSync = &slowSync;
        }
        file->pMethods = slow.get();
    }
    return opened;
}

void registerSlowSync() {
    underlying = sqlite3_vfs_find(nullptr);
    slowVfs = *underlying;
    slowVfs.zName = "slow-sync";
    slowVfs.xOpen = &slowOpen;
    sqlite3_vfs_register(&slowVfs, 1);
}

int64_t nowNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: bench_slow_sync_writer DATABASE wal|journal SYNC_MS "
                             "VERSION0 VERSION1\n");
        return 2;
    }
    const std::string database = argv[1];
    const bool logging = std::strcmp(argv[2], "wal") == 0;
    syncDelay = std::chrono::milliseconds(std::atoi(argv[3]));
    const std::vector<EditorSaves::RowChange> toVersion[2] = {
        EditorSaves::changedRows(argv[5], argv[4]), EditorSaves::changedRows(argv[4], argv[5])};
    registerSlowSync();
    const std::unique_ptr<EditorSaves::LoggingWriter> writer =
        logging ? std::make_unique<EditorSaves::LoggingWriter>(database) : nullptr;
    std::printf("ready\n");
    std::fflush(stdout);
    std::string command;
    size_t version = 0;
    while (std::cin >> command && command != "quit") {
        std::cin >> version;
        const auto &changes = toVersion[version % 2];
        if (command == "crash" && writer) {
            writer->commitIndexedLate(changes);
            std::_Exit(0);
        }
        if (writer) {
            writer->commit(changes);
        } else {
            EditorSaves::commitThroughJournal(database, changes);
        }
        std::printf("done %lld %d\n", static_cast<long long>(nowNanoseconds()), syncs);
        std::fflush(stdout);
    }
    return 0;
}
