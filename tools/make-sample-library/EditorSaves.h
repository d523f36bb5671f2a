#pragma once

#include "core/support/Bytes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

struct sqlite3;

namespace tandrel::sample {

// The ways an editor saves an event database, for the tests and benchmarks that watch a
// library while it is saved: a new file renamed into place, a commit through a rollback
// journal, a commit into a write-ahead log while the writer keeps the database open, and a
// copy over the file that empties it and writes it anew.
struct EditorSaves {
    // A metadata row's new blob, by the row's rowid.
    struct RowChange {
        int64_t row = 0;
        Bytes blob;
    };

    // The metadata rows whose blobs are different in `to`: what a commit turning `from` into
    // `to` writes. Both must have been written from one description but for a change that
    // keeps every collection (a new name, say), so that their rows match one to one.
    static std::vector<RowChange> changedRows(const std::filesystem::path &from,
                                              const std::filesystem::path &to);

    // Copies `replacement` beside the database (under a name no reader takes for a database)
    // and renames the copy over it.
    static void renameInto(const std::filesystem::path &database,
                           const std::filesystem::path &replacement);

    // One transaction through a rollback journal, deleted when it commits, on a connection of
    // its own.
    static void commitThroughJournal(const std::filesystem::path &database,
                                     const std::vector<RowChange> &changes);

    // Empties the database and writes `replacement`'s bytes into it piece by piece, as a copy
    // does; `afterPiece` (when given) runs after each piece with the bytes written so far.
    static void rewriteInPlace(const std::filesystem::path &database,
                               const std::filesystem::path &replacement,
                               const std::function<void(int64_t written)> &afterPiece = {},
                               size_t pieceSize = 128 * 1024);

    // A writer that keeps the database open in write-ahead-log mode for its whole life, so
    // that the log and its index stay beside the database; each commit goes into the log.
    class LoggingWriter {
    public:
        explicit LoggingWriter(const std::filesystem::path &database);
        ~LoggingWriter();
        LoggingWriter(const LoggingWriter &) = delete;
        LoggingWriter &operator=(const LoggingWriter &) = delete;

        void commit(const std::vector<RowChange> &changes);

    private:
        sqlite3 *db_ = nullptr;
    };
};

} // namespace tandrel::sample
