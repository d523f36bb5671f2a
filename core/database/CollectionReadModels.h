#pragma once

#include "core/database/CollectionReadModel.h"
#include "core/database/FCPDatabaseConnection.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>

namespace tandrel {

// The read models of the event databases one reader's walks go through (its own database and
// those that compound and multicam sequences live in), by database path. A model is loaded
// when a walk first reads its database and kept until `clear()` or the end of its owner.
// While a session is open every model keeps the blobs it decoded last, so that a walk that
// reads a blob again soon does not decode it again; when the last session closes they are
// let go. Not thread-safe.
class CollectionReadModels {
public:
    class Session {
    public:
        explicit Session(CollectionReadModels &models);
        ~Session();
        Session(const Session &) = delete;
        Session &operator=(const Session &) = delete;

    private:
        CollectionReadModels &models_;
    };

    CollectionReadModels() = default;
    CollectionReadModels(const CollectionReadModels &) = delete;
    CollectionReadModels &operator=(const CollectionReadModels &) = delete;

    // The model of the connection's database, loaded through it on first use. The connection
    // must outlive the model.
    CollectionReadModel &of(FCPDatabaseConnection &db);
    // The cache the models decode blobs through from now on (none: each model decodes every
    // blob itself); the models loaded so far are let go.
    void decodeThrough(std::shared_ptr<DecodedBlobCache> decodedBlobs);
    void clear();
    // What the models keep between walks.
    size_t memoryBytes() const;

private:
    std::shared_ptr<DecodedBlobCache> decodedBlobs_;
    // After the cache, so that the models go first.
    std::map<std::string, std::unique_ptr<CollectionReadModel>, std::less<>> models_;
    int openSessions_ = 0;
};

} // namespace tandrel
