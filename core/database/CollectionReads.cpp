#include "core/database/CollectionReads.h"

#include <algorithm>

namespace tandrel {

std::shared_ptr<const BlobDecoder::DecodedBlob> CollectionReads::blob(const CollectionSource &db,
                                                                      int64_t pk) {
    return db.decodedBlob(pk);
}

std::optional<BlobDecoder::DecodedBlob> CollectionReads::decodedBlob(const CollectionSource &db,
                                                                     int64_t pk) {
    const auto shared = db.decodedBlob(pk);
    return shared ? std::optional(*shared) : std::nullopt;
}

CollectionKeys CollectionReads::children(const CollectionSource &db, int64_t pk) {
    try {
        return db.childKeys(pk);
    } catch (const std::exception &) {
        return {};
    }
}

std::optional<CollectionKind> CollectionReads::kind(const CollectionSource &db, int64_t pk) {
    try {
        return db.kind(pk);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::optional<FCPDatabaseConnection::CollectionInfo>
CollectionReads::info(const CollectionSource &db, int64_t pk) {
    try {
        return db.fetchCollectionInfo(pk);
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

std::optional<std::string> CollectionReads::type(const CollectionSource &db, int64_t pk) {
    const auto found = kind(db, pk);
    return found && found->type ? std::optional<std::string>(*found->type) : std::nullopt;
}

CollectionKeys CollectionReads::slotItems(const CollectionSource &db, int64_t pk,
                                          std::string_view name) {
    const auto slot = db.childPK(pk, name);
    return slot ? children(db, *slot) : CollectionKeys();
}

std::vector<int64_t> CollectionReads::orderedContainedItems(const CollectionSource &db,
                                                            int64_t pk) {
    const auto slot = db.childPK(pk, "containedItems");
    if (!slot) {
        return {};
    }
    // Sorted key lists rather than trees: a long timeline's slot holds thousands of items.
    std::vector<int64_t> kids = children(db, *slot).toVector();
    std::sort(kids.begin(), kids.end());
    kids.erase(std::unique(kids.begin(), kids.end()), kids.end());
    if (kids.empty()) {
        return {};
    }
    const auto isKid = [&](int64_t key) {
        return std::binary_search(kids.begin(), kids.end(), key);
    };
    std::vector<int64_t> ordered;
    std::optional<Bytes> blob;
    try {
        blob = db.fetchBlob(*slot);
    } catch (const std::exception &) {
    }
    if (blob) {
        const auto identifiers = db.decoded(*blob, &BlobDecoder::orderedChildIdentifiers);
        for (const auto &identifier : *identifiers) {
            const auto key = db.pkForIdentifier(identifier);
            if (key && isKid(*key)) {
                ordered.push_back(*key);
            }
        }
    }
    std::vector<int64_t> listed = ordered;
    std::sort(listed.begin(), listed.end());
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
    if (listed == kids) {
        return ordered;
    }
    for (int64_t key : kids) { // ascending
        if (!std::binary_search(listed.begin(), listed.end(), key)) {
            ordered.push_back(key);
        }
    }
    return ordered;
}

} // namespace tandrel
