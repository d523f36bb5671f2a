#pragma once

#include "core/database/BlobDecoder.h"
#include "core/database/CollectionSource.h"
#include "core/database/FCPDatabaseConnection.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tandrel {

// The reads of the walks over an event's collection tree, through the walk's source (a bare
// connection converts to one). A walk reports no errors: each of these turns a failing query
// or an undecodable blob into "nothing", and the walk goes on.
struct CollectionReads {
    // The collection's decoded blob, shared (with the read model's copy, when it keeps one);
    // null when it has none or it does not decode.
    static std::shared_ptr<const BlobDecoder::DecodedBlob> blob(const CollectionSource &db,
                                                                int64_t pk);
    // The same as a value of its own.
    static std::optional<BlobDecoder::DecodedBlob> decodedBlob(const CollectionSource &db,
                                                               int64_t pk);
    // The child keys in join-table order; none on a failing query.
    static CollectionKeys children(const CollectionSource &db, int64_t pk);
    // Type, identifier and name; nothing on a failing query.
    static std::optional<FCPDatabaseConnection::CollectionInfo> info(const CollectionSource &db,
                                                                     int64_t pk);
    // Type and name, as the walks compare them for every collection they pass; nothing on a
    // failing query.
    static std::optional<CollectionKind> kind(const CollectionSource &db, int64_t pk);
    // The collection's type; nothing when it has none or the query fails.
    static std::optional<std::string> type(const CollectionSource &db, int64_t pk);
    // The items of the collection's slot `name`: the children of its child of that name; none
    // when there is no such child.
    static CollectionKeys slotItems(const CollectionSource &db, int64_t pk, std::string_view name);
    // The items of the "containedItems" slot in the editor's order: the order of identifiers
    // that the slot's own blob lists, then the items it does not list by ascending key.
    static std::vector<int64_t> orderedContainedItems(const CollectionSource &db, int64_t pk);
};

} // namespace tandrel
