#include "core/database/CollectionReadModels.h"

namespace tandrel {

CollectionReadModels::Session::Session(CollectionReadModels &models) : models_(models) {
    if (models_.openSessions_++ == 0) {
        for (auto &[path, model] : models_.models_) {
            model->keepDecodedBlobs(true);
        }
    }
}

CollectionReadModels::Session::~Session() {
    if (--models_.openSessions_ == 0) {
        for (auto &[path, model] : models_.models_) {
            model->keepDecodedBlobs(false);
        }
    }
}

CollectionReadModel &CollectionReadModels::of(FCPDatabaseConnection &db) {
    auto found = models_.find(db.path());
    if (found == models_.end()) {
        found =
            models_
                .emplace(db.path(), std::make_unique<CollectionReadModel>(db, decodedBlobs_.get()))
                .first;
        found->second->keepDecodedBlobs(openSessions_ > 0);
    }
    return *found->second;
}

void CollectionReadModels::decodeThrough(std::shared_ptr<DecodedBlobCache> decodedBlobs) {
    models_.clear();
    decodedBlobs_ = std::move(decodedBlobs);
}

void CollectionReadModels::clear() {
    models_.clear();
}

size_t CollectionReadModels::memoryBytes() const {
    size_t bytes = 0;
    for (const auto &[path, model] : models_) {
        bytes += model->memoryBytes();
    }
    return bytes;
}

} // namespace tandrel
