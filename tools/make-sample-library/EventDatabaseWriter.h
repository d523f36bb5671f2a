#pragma once

#include "core/support/Bytes.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tandrel::sample {

// Writes one event database with the editor's collection tables as the library readers
// see them: ZCOLLECTION (Z_PK, ZTYPE, ZIDENTIFIER, ZNAME), ZCOLLECTIONMD (ZCOLLECTION,
// ZDICTIONARYDATA) and the join table Z_3CHILDCOLLECTIONS. Everything is written in one
// transaction that `close()` (or the destructor) commits.
class EventDatabaseWriter {
public:
    struct Collection {
        std::string type;
        std::optional<std::string> identifier;
        // The slot this collection fills in its parent ("primaryObject", "containedItems" ...).
        std::optional<std::string> name;
        // No blob: no metadata row at all.
        std::optional<Bytes> blob;
    };

    // Creates the file (which must not exist yet) and its tables.
    explicit EventDatabaseWriter(const std::filesystem::path &file);
    ~EventDatabaseWriter();
    EventDatabaseWriter(const EventDatabaseWriter &) = delete;
    EventDatabaseWriter &operator=(const EventDatabaseWriter &) = delete;

    // Adds a collection and returns its key; with a parent, also the join row.
    int64_t add(const Collection &collection, std::optional<int64_t> parent = std::nullopt);
    void link(int64_t parent, int64_t child);
    // Any statement, for fixtures that need what no editor writes.
    void execute(std::string_view sql);
    void close();

private:
    sqlite3_stmt *prepare(const char *sql);

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *insertCollection_ = nullptr;
    sqlite3_stmt *insertMetadata_ = nullptr;
    sqlite3_stmt *insertLink_ = nullptr;
};

} // namespace tandrel::sample
