#include "core/database/FCPDatabaseConnection.h"

#include "core/support/Log.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

namespace tandrel {

namespace {

constexpr int busyTimeoutMilliseconds = 1000;

// SQLite opens its files with a blocking open(): a named pipe at the path would hold the
// reader until some other process writes to it, and a device gives bytes that are no file.
// Only a regular file (links followed) can be a database. What else the path names, if
// anything, or nothing when it names a regular file or nothing at all (SQLite reports that).
std::optional<std::string_view> otherThanRegularFile(const std::string &path) {
    namespace fs = std::filesystem;
    std::error_code error;
    switch (fs::status(path, error).type()) {
    case fs::file_type::regular:
    case fs::file_type::not_found:
        return std::nullopt;
    case fs::file_type::directory:
        return "a folder";
    case fs::file_type::fifo:
        return "a named pipe";
    case fs::file_type::socket:
        return "a socket";
    case fs::file_type::block:
    case fs::file_type::character:
        return "a device";
    default:
        return error ? std::nullopt : std::optional<std::string_view>("no regular file");
    }
}

// The editor keeps its libraries in write-ahead-log mode while it has them open; committed
// changes may then live only in the "-wal" file until the next checkpoint. Reading the log
// also opens the "-shm" index and looks for a "-journal"; each must be a regular file if it
// is there at all, or the database is read without its log.
bool hasWriteAheadLog(const std::string &path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path + "-wal", error);
    return !error && size > 0 && !otherThanRegularFile(path + "-shm") &&
           !otherThanRegularFile(path + "-journal");
}

struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};

template <typename T> std::optional<T> column(const DatabaseRow &row, std::string_view name) {
    auto it = row.find(name);
    if (it == row.end()) {
        return std::nullopt;
    }
    if (const T *value = std::get_if<T>(&it->second)) {
        return *value;
    }
    return std::nullopt;
}

} // namespace

std::string FCPDatabaseConnection::notADatabaseMessage(std::string_view path,
                                                       std::string_view what) {
    std::string message = "not a database: ";
    message.append(path).append(" is ").append(what);
    return message;
}

std::optional<std::string> FCPDatabaseConnection::notARegularFile(const std::string &path) {
    const auto what = otherThanRegularFile(path);
    return what ? std::optional(notADatabaseMessage(path, *what)) : std::nullopt;
}

std::string FCPDatabaseConnection::uri(std::string_view path, std::string_view parameters) {
    std::string escaped;
    for (char c : path) {
        switch (c) {
        case '%':
            escaped += "%25";
            break;
        case '?':
            escaped += "%3F";
            break;
        case '#':
            escaped += "%23";
            break;
        default:
            escaped += c;
        }
    }
    // After "file:" two slashes open an authority (a host name), which SQLite refuses, so a
    // path that itself starts with two slashes ("//srv/x", the same file as "/srv/x") gets an
    // empty authority in front of it.
    const std::string_view authority = escaped.starts_with("//") ? "//" : "";
    return "file:" + std::string(authority) + escaped + "?" + std::string(parameters);
}

FCPDatabaseConnection::FCPDatabaseConnection(std::string path) : path_(std::move(path)) {
    if (const auto what = otherThanRegularFile(path_)) {
        throw FCPDatabaseError(FCPDatabaseError::Case::connectionFailed,
                               notADatabaseMessage(path_, *what));
    }
    // An immutable open takes no locks and no notice of changes, but it also ignores the
    // write-ahead log, so it would miss everything the editor committed since its last
    // checkpoint. While a log exists, the database is opened read-only with a read-only
    // shared-memory index instead: that reads the committed log and still writes no byte
    // of the database, its log or its index. Should that fail (no index to read, say), the
    // immutable open is the fallback.
    if (hasWriteAheadLog(path_)) {
        try {
            open(uri(path_, "readonly_shm=1"));
            return;
        } catch (const FCPDatabaseError &error) {
            logger("com.ostrevale.tandrel", "database")
                ->info("Reading '{}' without its write-ahead log: {}", path_, error.what());
        }
    }
    open(uri(path_, "immutable=1"));
}

void FCPDatabaseConnection::open(const std::string &uri) {
    const int rc =
        sqlite3_open_v2(uri.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    if (rc == SQLITE_OK && db_) {
        sqlite3_busy_timeout(db_, busyTimeoutMilliseconds);
        // SQLite opens lazily; reading the header now makes a file that is no database (or
        // a log that cannot be read) fail here, as a failed open, instead of at the first
        // lookup.
        sqlite3_stmt *probe = nullptr;
        const int prepared = sqlite3_prepare_v2(db_, "PRAGMA schema_version", -1, &probe, nullptr);
        const int stepped = prepared == SQLITE_OK && probe ? sqlite3_step(probe) : prepared;
        sqlite3_finalize(probe);
        if (stepped == SQLITE_ROW) {
            return;
        }
    }
    const std::string message = db_ ? errorMessage() : "Unknown error";
    sqlite3_close(db_);
    db_ = nullptr;
    throw FCPDatabaseError(FCPDatabaseError::Case::connectionFailed, message);
}

FCPDatabaseConnection::~FCPDatabaseConnection() {
    sqlite3_close(db_);
}

std::string FCPDatabaseConnection::errorMessage() const {
    return db_ ? sqlite3_errmsg(db_) : "Unknown error";
}

void FCPDatabaseConnection::eachRow(std::string_view sql,
                                    const std::vector<DatabaseParameter> &params,
                                    const std::function<void(sqlite3_stmt *)> &row) {
    sqlite3_stmt *raw = nullptr;
    const int rc =
        db_ ? sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &raw, nullptr)
            : SQLITE_MISUSE;
    std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement(raw);
    if (rc != SQLITE_OK || !statement) {
        throw FCPDatabaseError(FCPDatabaseError::Case::queryFailed, errorMessage());
    }
    // A failing bind leaves that parameter NULL; the statement runs all the same.
    for (size_t i = 0; i < params.size(); ++i) {
        const int position = static_cast<int>(i + 1);
        std::visit(
            [&](const auto &value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, int64_t>) {
                    sqlite3_bind_int64(raw, position, value);
                } else if constexpr (std::is_same_v<T, double>) {
                    sqlite3_bind_double(raw, position, value);
                } else if constexpr (std::is_same_v<T, std::string>) {
                    sqlite3_bind_text64(raw, position, value.data(), value.size(), SQLITE_TRANSIENT,
                                        SQLITE_UTF8);
                } else if constexpr (std::is_same_v<T, Bytes>) {
                    if (value.empty()) {
                        sqlite3_bind_zeroblob(raw, position, 0);
                    } else {
                        sqlite3_bind_blob64(raw, position, value.data(), value.size(),
                                            SQLITE_TRANSIENT);
                    }
                } else {
                    sqlite3_bind_null(raw, position);
                }
            },
            params[i]);
    }
    // Busy or failing steps end the result early: the rows read so far are the answer.
    while (sqlite3_step(raw) == SQLITE_ROW) {
        row(raw);
    }
}

std::vector<DatabaseRow>
FCPDatabaseConnection::query(std::string_view sql, const std::vector<DatabaseParameter> &params) {
    std::vector<DatabaseRow> rows;
    eachRow(sql, params, [&rows](sqlite3_stmt *raw) {
        const int columns = sqlite3_column_count(raw);
        DatabaseRow row;
        for (int c = 0; c < columns; ++c) {
            const char *name = sqlite3_column_name(raw, c);
            std::string key = name ? name : "";
            switch (sqlite3_column_type(raw, c)) {
            case SQLITE_INTEGER:
                row.insert_or_assign(std::move(key), sqlite3_column_int64(raw, c));
                break;
            case SQLITE_FLOAT:
                row.insert_or_assign(std::move(key), sqlite3_column_double(raw, c));
                break;
            case SQLITE_TEXT:
                if (const auto *text = sqlite3_column_text(raw, c)) {
                    row.insert_or_assign(
                        std::move(key),
                        std::string(reinterpret_cast<const char *>(text),
                                    static_cast<size_t>(sqlite3_column_bytes(raw, c))));
                }
                break;
            case SQLITE_BLOB:
                if (const auto *blob = static_cast<const uint8_t *>(sqlite3_column_blob(raw, c))) {
                    row.insert_or_assign(
                        std::move(key),
                        Bytes(blob, blob + static_cast<size_t>(sqlite3_column_bytes(raw, c))));
                }
                // A zero-length blob reads as a null pointer and is skipped like NULL.
                break;
            default:
                break;
            }
        }
        rows.push_back(std::move(row));
    });
    return rows;
}

std::vector<FCPDatabaseConnection::CollectionRow>
FCPDatabaseConnection::fetchCollections(std::string_view ofType) {
    const auto rows = query("SELECT c.Z_PK, c.ZIDENTIFIER, cm.ZDICTIONARYDATA\n"
                            "FROM ZCOLLECTION c\n"
                            "LEFT JOIN ZCOLLECTIONMD cm ON cm.ZCOLLECTION = c.Z_PK\n"
                            "WHERE c.ZTYPE = ?",
                            {std::string(ofType)});
    std::vector<CollectionRow> result;
    result.reserve(rows.size());
    for (const auto &row : rows) {
        result.push_back({column<int64_t>(row, "Z_PK").value_or(0),
                          column<std::string>(row, "ZIDENTIFIER"),
                          column<Bytes>(row, "ZDICTIONARYDATA")});
    }
    return result;
}

std::optional<Bytes> FCPDatabaseConnection::fetchBlob(int64_t forCollectionPK) {
    const auto rows =
        query("SELECT ZDICTIONARYDATA FROM ZCOLLECTIONMD WHERE ZCOLLECTION = ?", {forCollectionPK});
    if (rows.empty()) {
        return std::nullopt;
    }
    return column<Bytes>(rows.front(), "ZDICTIONARYDATA");
}

std::vector<int64_t> FCPDatabaseConnection::fetchChildPKs(int64_t ofParent) {
    // A slot lists thousands of children: read straight from the statement, not as row maps.
    std::vector<int64_t> result;
    eachRow("SELECT Z_3CHILDCOLLECTIONS FROM Z_3CHILDCOLLECTIONS WHERE Z_3PARENTCOLLECTIONS = ?",
            {ofParent}, [&result](sqlite3_stmt *row) {
                if (sqlite3_column_type(row, 0) == SQLITE_INTEGER) {
                    result.push_back(sqlite3_column_int64(row, 0));
                }
            });
    return result;
}

FCPDatabaseConnection::CollectionInfo FCPDatabaseConnection::fetchCollectionInfo(int64_t pk) {
    const auto rows =
        query("SELECT ZTYPE, ZIDENTIFIER, ZNAME FROM ZCOLLECTION WHERE Z_PK = ?", {pk});
    if (rows.empty()) {
        return {};
    }
    const auto &row = rows.front();
    return {column<std::string>(row, "ZTYPE"), column<std::string>(row, "ZIDENTIFIER"),
            column<std::string>(row, "ZNAME")};
}

std::optional<int64_t> FCPDatabaseConnection::childPK(int64_t ofParent,
                                                      std::string_view named) noexcept {
    try {
        const auto rows = query("SELECT c.Z_PK AS pk FROM Z_3CHILDCOLLECTIONS j\n"
                                "JOIN ZCOLLECTION c ON c.Z_PK = j.Z_3CHILDCOLLECTIONS\n"
                                "WHERE j.Z_3PARENTCOLLECTIONS = ? AND c.ZNAME = ? LIMIT 1",
                                {ofParent, std::string(named)});
        return rows.empty() ? std::nullopt : column<int64_t>(rows.front(), "pk");
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::optional<int64_t>
FCPDatabaseConnection::pkForIdentifier(std::string_view identifier) noexcept {
    try {
        const auto rows = query("SELECT Z_PK AS pk FROM ZCOLLECTION WHERE ZIDENTIFIER = ? LIMIT 1",
                                {std::string(identifier)});
        return rows.empty() ? std::nullopt : column<int64_t>(rows.front(), "pk");
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace tandrel
