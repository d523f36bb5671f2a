#include "tools/make-sample-library/EditorSaves.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tandrel::sample {

namespace {

namespace fs = std::filesystem;

sqlite3 *openForWriting(const fs::path &database) {
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + database.string() + ": " + message);
    }
    return db;
}

void execute(sqlite3 *db, const std::string &sql) {
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw std::runtime_error(sql + ": " + message);
    }
}

void apply(sqlite3 *db, const std::vector<EditorSaves::RowChange> &changes) {
    execute(db, "BEGIN IMMEDIATE");
    sqlite3_stmt *update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE ZCOLLECTIONMD SET ZDICTIONARYDATA = ? WHERE rowid = ?", -1,
                       &update, nullptr);
    for (const EditorSaves::RowChange &change : changes) {
        sqlite3_bind_blob64(update, 1, change.blob.data(), change.blob.size(), SQLITE_STATIC);
        sqlite3_bind_int64(update, 2, change.row);
        const int stepped = sqlite3_step(update);
        sqlite3_reset(update);
        if (stepped != SQLITE_DONE) {
            sqlite3_finalize(update);
            throw std::runtime_error(std::string("update: ") + sqlite3_errmsg(db));
        }
    }
    sqlite3_finalize(update);
    execute(db, "COMMIT");
}

std::string contents(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeAll(int descriptor, const char *bytes, size_t size, const fs::path &file) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw std::system_error(errno, std::generic_category(), "write " + file.string());
        }
        bytes += written;
        size -= static_cast<size_t>(written);
    }
}

} // namespace

std::vector<EditorSaves::RowChange> EditorSaves::changedRows(const fs::path &from,
                                                             const fs::path &to) {
    sqlite3 *db = nullptr;
    sqlite3_open_v2(from.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3 *)> closer(db, &sqlite3_close);
    sqlite3_stmt *attach = nullptr;
    sqlite3_prepare_v2(db, "ATTACH DATABASE ? AS other", -1, &attach, nullptr);
    sqlite3_bind_text(attach, 1, to.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(attach);
    sqlite3_finalize(attach);
    sqlite3_stmt *query = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT a.rowid, b.ZDICTIONARYDATA FROM main.ZCOLLECTIONMD a "
                           "JOIN other.ZCOLLECTIONMD b ON b.rowid = a.rowid "
                           "WHERE a.ZDICTIONARYDATA IS NOT b.ZDICTIONARYDATA",
                           -1, &query, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("comparing databases: ") + sqlite3_errmsg(db));
    }
    std::vector<RowChange> changes;
    while (sqlite3_step(query) == SQLITE_ROW) {
        const auto *blob = static_cast<const uint8_t *>(sqlite3_column_blob(query, 1));
        changes.push_back(
            {sqlite3_column_int64(query, 0),
             Bytes(blob, blob + static_cast<size_t>(sqlite3_column_bytes(query, 1)))});
    }
    sqlite3_finalize(query);
    return changes;
}

void EditorSaves::renameInto(const fs::path &database, const fs::path &replacement) {
    const fs::path saving = database.string() + ".saving";
    fs::copy_file(replacement, saving, fs::copy_options::overwrite_existing);
    fs::rename(saving, database);
}

void EditorSaves::commitThroughJournal(const fs::path &database,
                                       const std::vector<RowChange> &changes) {
    sqlite3 *db = openForWriting(database);
    const std::unique_ptr<sqlite3, int (*)(sqlite3 *)> closer(db, &sqlite3_close);
    execute(db, "PRAGMA journal_mode=DELETE");
    apply(db, changes);
}

namespace {

// Writes `bytes` into `database`, opened with `flags`, piece by piece; then cuts the file to
// their size when `cut`.
void writeInPieces(const fs::path &database, int flags, const std::string &bytes,
                   const std::function<void(int64_t)> &afterPiece, size_t pieceSize, bool cut) {
    const int descriptor = ::open(database.c_str(), flags | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        throw std::system_error(errno, std::generic_category(), "open " + database.string());
    }
    try {
        for (size_t at = 0; at < bytes.size(); at += pieceSize) {
            const size_t size = std::min(pieceSize, bytes.size() - at);
            writeAll(descriptor, bytes.data() + at, size, database);
            if (afterPiece) {
                afterPiece(static_cast<int64_t>(at + size));
            }
        }
        if (cut && ::ftruncate(descriptor, static_cast<off_t>(bytes.size())) != 0) {
            throw std::system_error(errno, std::generic_category(),
                                    "truncate " + database.string());
        }
    } catch (...) {
        ::close(descriptor);
        throw;
    }
    ::close(descriptor);
}

} // namespace

void EditorSaves::rewriteInPlace(const fs::path &database, const fs::path &replacement,
                                 const std::function<void(int64_t)> &afterPiece, size_t pieceSize) {
    writeInPieces(database, O_WRONLY | O_TRUNC, contents(replacement), afterPiece, pieceSize,
                  false);
}

void EditorSaves::overwriteInPlace(const fs::path &database, const fs::path &replacement,
                                   const std::function<void(int64_t)> &afterPiece,
                                   size_t pieceSize) {
    writeInPieces(database, O_WRONLY, contents(replacement), afterPiece, pieceSize, true);
}

void EditorSaves::removeAndWrite(const fs::path &database, const fs::path &replacement,
                                 const std::function<void(int64_t)> &afterPiece, size_t pieceSize) {
    const std::string bytes = contents(replacement);
    fs::remove(database);
    if (afterPiece) {
        afterPiece(0);
    }
    writeInPieces(database, O_WRONLY | O_CREAT | O_EXCL, bytes, afterPiece, pieceSize, false);
}

EditorSaves::LoggingWriter::LoggingWriter(const fs::path &database)
    : db_(openForWriting(database)) {
    try {
        execute(db_, "PRAGMA journal_mode=WAL");
        // The log and its index are made by the first transaction.
        execute(db_, "SELECT count(*) FROM sqlite_master");
        index_ = ::open((database.string() + "-shm").c_str(), O_RDWR | O_CLOEXEC);
        if (index_ < 0) {
            throw std::system_error(errno, std::generic_category(), "open the log's index");
        }
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

EditorSaves::LoggingWriter::~LoggingWriter() {
    sqlite3_close(db_);
    ::close(index_);
}

void EditorSaves::LoggingWriter::commit(const std::vector<RowChange> &changes) {
    apply(db_, changes);
}

std::function<void()>
EditorSaves::LoggingWriter::commitIndexedLate(const std::vector<RowChange> &changes) {
    // The index's two header copies: what readers take the log's extent from.
    constexpr size_t headers = 96;
    const auto header = [this] {
        std::string bytes(headers, '\0');
        if (::pread(index_, bytes.data(), headers, 0) != static_cast<ssize_t>(headers)) {
            throw std::runtime_error("cannot read the log's index");
        }
        return bytes;
    };
    const auto put = [this](const std::string &bytes) {
        if (::pwrite(index_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("cannot write the log's index");
        }
    };
    const std::string before = header();
    apply(db_, changes);
    const std::string after = header();
    put(before);
    return [put, after] { put(after); };
}

} // namespace tandrel::sample
