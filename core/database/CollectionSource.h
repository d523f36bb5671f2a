#pragma once

#include "core/database/BlobDecoder.h"
#include "core/database/CollectionReadModels.h"
#include "core/database/FCPDatabaseConnection.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// What a walk over an event's collection tree reads through: the database's read model when
// the walk has one, else the connection, one statement per lookup. Both give the same answers
// and fail alike. A small handle, copied freely; the connection (and model) must outlive it.
class CollectionSource {
public:
    // Reads through the connection's statements.
    CollectionSource(FCPDatabaseConnection &db) // NOLINT(google-explicit-constructor)
        : db_(&db), lookups_(&db) {}
    // Reads through the models' model of the database; the statements when `models` is null.
    static CollectionSource of(FCPDatabaseConnection &db, CollectionReadModels *models);

    const std::string &path() const { return db_->path(); }
    // The models that other databases are read through from here (null: statements).
    CollectionReadModels *models() const { return models_; }
    // Another database, read as this one is.
    CollectionSource on(FCPDatabaseConnection &other) const { return of(other, models_); }

    // The connection's fixed lookups.
    std::optional<Bytes> fetchBlob(int64_t forCollectionPK) const;
    std::vector<int64_t> fetchChildPKs(int64_t ofParent) const;
    FCPDatabaseConnection::CollectionInfo fetchCollectionInfo(int64_t pk) const;
    std::optional<int64_t> childPK(int64_t ofParent, std::string_view named) const noexcept;
    std::optional<int64_t> pkForIdentifier(std::string_view identifier) const noexcept;
    std::optional<int64_t> resolveActivePick(int64_t ofStackPK) const noexcept;
    // Always the statement: a whole-table query of its own.
    std::vector<FCPDatabaseConnection::CollectionRow>
    fetchCollections(std::string_view ofType) const;

    // The collection's blob decoded; null when it has none, its lookup fails or it does not
    // decode.
    std::shared_ptr<const BlobDecoder::DecodedBlob> decodedBlob(int64_t pk) const;

private:
    FCPDatabaseConnection *db_;
    // The model, or the connection.
    CollectionLookups *lookups_;
    CollectionReadModel *model_ = nullptr;
    CollectionReadModels *models_ = nullptr;
};

} // namespace tandrel
