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
// journal, a commit into a write-ahead log while the writer keeps the database open, a copy
// over the file that empties it and writes it anew, one that writes over it from its start
// and cuts off the rest last, and a removal of the file followed by a new one written (as an
// archive is unpacked over a library).
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

    // Writes `replacement`'s bytes over the database from its start, piece by piece, and then
    // cuts off what is left of the old file (when the new one is smaller, that is last);
    // `afterPiece` as for `rewriteInPlace`.
    static void overwriteInPlace(const std::filesystem::path &database,
                                 const std::filesystem::path &replacement,
                                 const std::function<void(int64_t written)> &afterPiece = {},
                                 size_t pieceSize = 128 * 1024);

    // Removes the database, then writes `replacement`'s bytes into a new file of its name
    // piece by piece; `afterPiece` as for `rewriteInPlace`, and once with 0 after the removal.
    static void removeAndWrite(const std::filesystem::path &database,
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
        // A commit as it stands between the writing of its frames into the log and the update
        // of the log's index: the frames are in the log, and the index counts them only once
        // the call returned is made. Until then readers read the database without the commit
        // (as they do while a writer syncs the log before it updates the index, in memory
        // shared with them). The next commit must wait for that call.
        std::function<void()> commitIndexedLate(const std::vector<RowChange> &changes);

    private:
        sqlite3 *db_ = nullptr;
        // The log's index, read and written through a descriptor kept open: the close of
        // one would drop the locks SQLite holds on the file in this process.
        int index_ = -1;
    };
};

} // namespace tandrel::sample
