#pragma once

#include "core/database/CollectionLookups.h"
#include "core/database/FCPDatabaseError.h"
#include "core/support/Bytes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tandrel {

// One column value of a result row (NULL columns are absent from the row).
using DatabaseValue = std::variant<int64_t, double, std::string, Bytes>;
// A result row by column name; of two columns with the same name the later one wins.
using DatabaseRow = std::map<std::string, DatabaseValue, std::less<>>;
// A bound parameter; the empty alternative binds NULL.
using DatabaseParameter = std::variant<std::monostate, int64_t, double, std::string, Bytes>;

// The read-only door to one event database of an editor library. It never writes, never
// creates a file and never takes a lock that could hold up the editor. Not thread-safe: one
// thread at a time.
class FCPDatabaseConnection final : public CollectionLookups {
public:
    // Fails with `connectionFailed`, without opening anything when the path names something
    // other than a regular file (links followed): "not a database: PATH is a named pipe".
    explicit FCPDatabaseConnection(std::string path);
    ~FCPDatabaseConnection() override;
    FCPDatabaseConnection(const FCPDatabaseConnection &) = delete;
    FCPDatabaseConnection &operator=(const FCPDatabaseConnection &) = delete;

    sqlite3 *db() const { return db_; }
    // The path as given, symbolic links unresolved: the database's identity for its readers.
    const std::string &path() const { return path_; }

    // Runs one statement with positional parameters; all rows up to the first step that
    // returns no row. Fails with `queryFailed` when the statement does not prepare.
    std::vector<DatabaseRow> query(std::string_view sql,
                                   const std::vector<DatabaseParameter> &params = {});

    struct CollectionRow {
        int64_t pk = 0;
        std::optional<std::string> identifier;
        std::optional<Bytes> blob;
    };
    // The fixed lookups of every reader, one statement each. The first four fail with
    // `queryFailed`; the others turn every failure into an absent result.
    std::vector<CollectionRow> fetchCollections(std::string_view ofType);
    std::optional<Bytes> fetchBlob(int64_t forCollectionPK) override;
    std::vector<int64_t> fetchChildPKs(int64_t ofParent) override;
    CollectionInfo fetchCollectionInfo(int64_t pk) override;
    std::optional<int64_t> childPK(int64_t ofParent, std::string_view named) noexcept override;
    std::optional<int64_t> pkForIdentifier(std::string_view identifier) noexcept override;

    // "file:" and the path with "%", "?" and "#" escaped (in that order), then "?" and the
    // query parameters. A path starting with "//" is preceded by an empty authority ("//").
    static std::string uri(std::string_view path, std::string_view parameters);

    // Why the path cannot be a database although something is there ("not a database: PATH
    // is a named pipe"), checked with links followed and without opening it; nothing for a
    // regular file or a missing one.
    static std::optional<std::string> notARegularFile(const std::string &path);

private:
    // Runs the statement as `query` does, handing each row's statement to `row`.
    void eachRow(std::string_view sql, const std::vector<DatabaseParameter> &params,
                 const std::function<void(sqlite3_stmt *)> &row);
    static std::string notADatabaseMessage(std::string_view path, std::string_view what);
    void open(const std::string &uri);
    std::string errorMessage() const;

    std::string path_;
    sqlite3 *db_ = nullptr;
};

} // namespace tandrel
