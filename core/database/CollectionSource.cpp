#include "core/database/CollectionSource.h"

namespace tandrel {

CollectionSource CollectionSource::of(FCPDatabaseConnection &db, CollectionReadModels *models) {
    CollectionSource source(db);
    if (models) {
        source.model_ = &models->of(db);
        source.lookups_ = source.model_;
        source.models_ = models;
    }
    return source;
}

std::optional<Bytes> CollectionSource::fetchBlob(int64_t forCollectionPK) const {
    return lookups_->fetchBlob(forCollectionPK);
}

std::vector<int64_t> CollectionSource::fetchChildPKs(int64_t ofParent) const {
    return lookups_->fetchChildPKs(ofParent);
}

FCPDatabaseConnection::CollectionInfo CollectionSource::fetchCollectionInfo(int64_t pk) const {
    return lookups_->fetchCollectionInfo(pk);
}

CollectionKeys CollectionSource::childKeys(int64_t ofParent) const {
    if (model_) {
        if (const auto held = model_->heldChildPKs(ofParent)) {
            return CollectionKeys(*held);
        }
    }
    return CollectionKeys(lookups_->fetchChildPKs(ofParent));
}

CollectionKind CollectionSource::kind(int64_t pk) const {
    if (model_) {
        if (const auto held = model_->heldKind(pk)) {
            return {held->type, held->name, nullptr};
        }
    }
    auto info = std::make_shared<const FCPDatabaseConnection::CollectionInfo>(
        lookups_->fetchCollectionInfo(pk));
    CollectionKind kind{std::nullopt, std::nullopt, info};
    if (info->type) {
        kind.type = *info->type;
    }
    if (info->name) {
        kind.name = *info->name;
    }
    return kind;
}

std::optional<int64_t> CollectionSource::childPK(int64_t ofParent,
                                                 std::string_view named) const noexcept {
    return lookups_->childPK(ofParent, named);
}

std::optional<int64_t>
CollectionSource::pkForIdentifier(std::string_view identifier) const noexcept {
    return lookups_->pkForIdentifier(identifier);
}

std::optional<int64_t> CollectionSource::resolveActivePick(int64_t ofStackPK) const noexcept {
    return lookups_->resolveActivePick(ofStackPK);
}

std::vector<FCPDatabaseConnection::CollectionRow>
CollectionSource::fetchCollections(std::string_view ofType) const {
    return db_->fetchCollections(ofType);
}

std::shared_ptr<const BlobDecoder::DecodedBlob> CollectionSource::decodedBlob(int64_t pk) const {
    if (model_) {
        return model_->decodedBlob(pk);
    }
    try {
        if (const auto blob = db_->fetchBlob(pk)) {
            return std::make_shared<const BlobDecoder::DecodedBlob>(BlobDecoder::decode(*blob));
        }
    } catch (const std::exception &) {
    }
    return nullptr;
}

} // namespace tandrel
