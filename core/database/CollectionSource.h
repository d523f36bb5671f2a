#pragma once

#include "core/database/BlobDecoder.h"
#include "core/database/CollectionReadModels.h"
#include "core/database/DecodedBlobCache.h"
#include "core/database/FCPDatabaseConnection.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Child keys as a walk reads them: viewed where the read model keeps them, or held when a
// statement read them. Moved, not copied, so that a view of held keys stays valid.
class CollectionKeys {
public:
    CollectionKeys() = default;
    explicit CollectionKeys(std::vector<int64_t> held) : held_(std::move(held)), keys_(held_) {}
    explicit CollectionKeys(std::span<const int64_t> viewed) : keys_(viewed) {}
    CollectionKeys(CollectionKeys &&) noexcept = default;
    CollectionKeys &operator=(CollectionKeys &&) noexcept = default;
    CollectionKeys(const CollectionKeys &) = delete;
    CollectionKeys &operator=(const CollectionKeys &) = delete;

    auto begin() const { return keys_.begin(); }
    auto end() const { return keys_.end(); }
    size_t size() const { return keys_.size(); }
    bool empty() const { return keys_.empty(); }
    int64_t front() const { return keys_.front(); }
    int64_t at(size_t i) const {
        if (i >= keys_.size()) {
            throw std::out_of_range("CollectionKeys::at");
        }
        return keys_[i];
    }
    std::vector<int64_t> toVector() const { return {keys_.begin(), keys_.end()}; }

    friend bool operator==(const CollectionKeys &keys, const std::vector<int64_t> &other) {
        return std::equal(keys.begin(), keys.end(), other.begin(), other.end());
    }

private:
    std::vector<int64_t> held_;
    std::span<const int64_t> keys_;
};

// A collection's type and name as a walk reads them: viewed where the read model keeps them,
// or held when a statement read them.
struct CollectionKind {
    std::optional<std::string_view> type;
    std::optional<std::string_view> name;
    std::shared_ptr<const FCPDatabaseConnection::CollectionInfo> held;
};

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
    // `fetchChildPKs` and the type and name of `fetchCollectionInfo`, without copying what the
    // read model keeps (valid while it lives); fail as those fail.
    CollectionKeys childKeys(int64_t ofParent) const;
    CollectionKind kind(int64_t pk) const;
    // Always the statement: a whole-table query of its own.
    std::vector<FCPDatabaseConnection::CollectionRow>
    fetchCollections(std::string_view ofType) const;

    // The collection's blob decoded; null when it has none, its lookup fails or it does not
    // decode.
    std::shared_ptr<const BlobDecoder::DecodedBlob> decodedBlob(int64_t pk) const;

    // What `decoder`, a pure function of the bytes, makes of bytes read from the database:
    // through the read model's cache when it has one, so that bytes decoded by an earlier
    // reading are not decoded again.
    template <typename Value>
    std::shared_ptr<const Value> decoded(std::span<const uint8_t> bytes,
                                         DecodedBlobCache::Decoder<Value> decoder) const {
        if (DecodedBlobCache *cache = model_ ? model_->decodedBlobs() : nullptr) {
            return cache->decode(bytes, decoder);
        }
        return std::make_shared<const Value>(decoder(bytes));
    }

private:
    FCPDatabaseConnection *db_;
    // The model, or the connection.
    CollectionLookups *lookups_;
    CollectionReadModel *model_ = nullptr;
    CollectionReadModels *models_ = nullptr;
};

} // namespace tandrel
