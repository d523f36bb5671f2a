#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tandrel {

// An event database as it looks from outside, without opening it as a database: its file and
// its write-ahead log as the file system stamps them, what its header says its size is,
// whether a rollback journal holds a commit in progress, and how far the log's shared-memory
// index has got with the log. Two looks that differ mean that the database was written in
// between; a look that finds it half written means that reading it now would not give a
// committed whole. Editors save by renaming a new file into place, by committing through a
// journal or a write-ahead log, by rewriting the file in place (as a copy does), or by
// removing it and writing a new one; each of these either leaves the stamps alone or shows in
// them. Not every step shows in the stamps: a log's index lives in memory shared with the
// writer, and its update raises no file-system event, so the index's header is part of the
// look.
struct DatabaseFileState {
    struct Stamp {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedNanoseconds = 0;

        friend bool operator==(const Stamp &, const Stamp &) = default;
    };

    // Absent when there is no such file.
    std::optional<Stamp> database;
    std::optional<Stamp> log;
    // The bytes the header says the database holds (pages times page size); absent when the
    // header does not say it reliably.
    std::optional<int64_t> declaredSize;
    // The first bytes are no SQLite header and can be no beginning of one.
    bool notADatabase = false;
    // A rollback journal with a live header beside it: a commit is being written into the file.
    bool commitInProgress = false;
    // The header of the log's index as it stands (its first copy), empty without an index.
    std::string logIndexHeader;
    // Why the log is in the middle of a commit: it holds frames its index does not count yet,
    // its index is being changed, or it is being started anew; nothing when the index counts
    // every frame of the log (also without a log).
    std::optional<std::string> logInFlight;
    // A frame of the log's current round (its salts) begun after the last one its index counts,
    // and not whole or not continuing the log's checksum: being written, or left behind by a
    // writer that gave its transaction up. It ends no commit, and starts none that would show.
    bool logFrameBegun = false;

    // The state of `database` ("…/CurrentVersion.fcpevent") now.
    static DatabaseFileState of(const std::filesystem::path &database);

    // Why reading the database now would give a part of a save ("is being written: 4096 of
    // 98304 bytes"); nothing when it can be read as a whole (also when it is no database, or
    // missing: that is no save in progress, or not one that shows).
    std::optional<std::string> inTheMiddleOfASave() const;

    // Whether the write-ahead log of `database` holds only committed frames that its
    // shared-memory index already counts: the last commit into the log is over. False when
    // there is no log with frames or no index, while the log is in the middle of a commit
    // (see `logInFlight`), and while a frame after the counted ones is begun.
    static bool logIsIndexedWhole(const std::filesystem::path &database);

    friend bool operator==(const DatabaseFileState &, const DatabaseFileState &) = default;
};

} // namespace tandrel
