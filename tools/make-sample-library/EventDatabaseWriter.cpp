#include "tools/make-sample-library/EventDatabaseWriter.h"

#include <sqlite3.h>

#include <stdexcept>

namespace tandrel::sample {

namespace {

constexpr const char *schema = R"(
CREATE TABLE ZCOLLECTION (Z_PK INTEGER PRIMARY KEY, ZTYPE VARCHAR, ZIDENTIFIER VARCHAR,
                          ZNAME VARCHAR);
CREATE TABLE ZCOLLECTIONMD (ZCOLLECTION INTEGER, ZDICTIONARYDATA BLOB);
CREATE TABLE Z_3CHILDCOLLECTIONS (Z_3PARENTCOLLECTIONS INTEGER, Z_3CHILDCOLLECTIONS INTEGER);
CREATE INDEX ZCOLLECTION_ZTYPE ON ZCOLLECTION (ZTYPE);
CREATE INDEX ZCOLLECTION_ZIDENTIFIER ON ZCOLLECTION (ZIDENTIFIER);
CREATE INDEX ZCOLLECTIONMD_ZCOLLECTION ON ZCOLLECTIONMD (ZCOLLECTION);
CREATE INDEX Z_3CHILDCOLLECTIONS_PARENT ON Z_3CHILDCOLLECTIONS (Z_3PARENTCOLLECTIONS);
)";

void bindOptionalText(sqlite3_stmt *statement, int position,
                      const std::optional<std::string> &text) {
    if (text) {
        sqlite3_bind_text64(statement, position, text->data(), text->size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
    } else {
        sqlite3_bind_null(statement, position);
    }
}

} // namespace

EventDatabaseWriter::EventDatabaseWriter(const std::filesystem::path &file) {
    if (std::filesystem::exists(file)) {
        throw std::runtime_error("event database exists already: " + file.string());
    }
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot create " + file.string() + ": " + message);
    }
    // A fixture needs no durability: no syncing, the rollback journal in memory.
    execute("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY;");
    execute(schema);
    execute("BEGIN");
    insertCollection_ =
        prepare("INSERT INTO ZCOLLECTION (ZTYPE, ZIDENTIFIER, ZNAME) VALUES (?, ?, ?)");
    insertMetadata_ =
        prepare("INSERT INTO ZCOLLECTIONMD (ZCOLLECTION, ZDICTIONARYDATA) VALUES (?, ?)");
    insertLink_ = prepare("INSERT INTO Z_3CHILDCOLLECTIONS (Z_3PARENTCOLLECTIONS, "
                          "Z_3CHILDCOLLECTIONS) VALUES (?, ?)");
}

EventDatabaseWriter::~EventDatabaseWriter() {
    try {
        close();
    } catch (const std::exception &) {
    }
}

sqlite3_stmt *EventDatabaseWriter::prepare(const char *sql) {
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("cannot prepare: ") + sqlite3_errmsg(db_));
    }
    return statement;
}

void EventDatabaseWriter::execute(std::string_view sql) {
    char *error = nullptr;
    if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("statement failed: " + message);
    }
}

int64_t EventDatabaseWriter::add(const Collection &collection, std::optional<int64_t> parent) {
    sqlite3_bind_text64(insertCollection_, 1, collection.type.data(), collection.type.size(),
                        SQLITE_TRANSIENT, SQLITE_UTF8);
    bindOptionalText(insertCollection_, 2, collection.identifier);
    bindOptionalText(insertCollection_, 3, collection.name);
    const int rc = sqlite3_step(insertCollection_);
    sqlite3_reset(insertCollection_);
    if (rc != SQLITE_DONE) {
        throw std::runtime_error(std::string("cannot add collection: ") + sqlite3_errmsg(db_));
    }
    const int64_t pk = sqlite3_last_insert_rowid(db_);
    if (collection.blob) {
        sqlite3_bind_int64(insertMetadata_, 1, pk);
        // An empty buffer is stored as an empty blob, not as NULL.
        sqlite3_bind_blob64(insertMetadata_, 2,
                            collection.blob->empty()
                                ? static_cast<const void *>("")
                                : static_cast<const void *>(collection.blob->data()),
                            collection.blob->size(), SQLITE_TRANSIENT);
        const int md = sqlite3_step(insertMetadata_);
        sqlite3_reset(insertMetadata_);
        if (md != SQLITE_DONE) {
            throw std::runtime_error(std::string("cannot add metadata: ") + sqlite3_errmsg(db_));
        }
    }
    if (parent) {
        link(*parent, pk);
    }
    return pk;
}

void EventDatabaseWriter::link(int64_t parent, int64_t child) {
    sqlite3_bind_int64(insertLink_, 1, parent);
    sqlite3_bind_int64(insertLink_, 2, child);
    const int rc = sqlite3_step(insertLink_);
    sqlite3_reset(insertLink_);
    if (rc != SQLITE_DONE) {
        throw std::runtime_error(std::string("cannot link collections: ") + sqlite3_errmsg(db_));
    }
}

void EventDatabaseWriter::close() {
    if (!db_) {
        return;
    }
    sqlite3_finalize(insertCollection_);
    sqlite3_finalize(insertMetadata_);
    sqlite3_finalize(insertLink_);
    insertCollection_ = insertMetadata_ = insertLink_ = nullptr;
    const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db_);
    db_ = nullptr;
    if (rc != SQLITE_OK) {
        throw std::runtime_error("cannot commit the event database");
    }
}

} // namespace tandrel::sample
