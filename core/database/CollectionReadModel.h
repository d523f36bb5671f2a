#pragma once

#include "core/database/BlobDecoder.h"
#include "core/database/DecodedBlobCache.h"
#include "core/database/FCPDatabaseConnection.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

// One event database as the timeline walks read it, loaded with three whole-table queries:
// every collection's type, identifier and name; the join rows, in the order in which the
// per-parent lookup meets them; and the blobs of the collections that hang below a sequence
// (everything a walk from a timeline, a compound or a multicam can reach). Blobs stay raw
// until a walk asks for them.
//
// It answers the connection's fixed lookups exactly as their statements would. Where it holds
// no answer, it asks the connection, whose statement then fails or answers as it always does:
// a table that did not load to its end (a statement that does not prepare, a step that fails
// part way), a table with keys the statements would match differently (keys that are not
// integers, a key listed twice), a join table whose lookup it cannot mirror, a blob of a
// collection below no sequence. Not thread-safe.
class CollectionReadModel final : public CollectionLookups {
public:
    using DecodedBlob = BlobDecoder::DecodedBlob;

    // Reads the three tables now. Never fails: what does not load is left to the statements.
    // Blobs are decoded through `decodedBlobs` when given (it must outlive the model), so that
    // bytes decoded by an earlier reading are not decoded again.
    explicit CollectionReadModel(FCPDatabaseConnection &db,
                                 DecodedBlobCache *decodedBlobs = nullptr);
    CollectionReadModel(const CollectionReadModel &) = delete;
    CollectionReadModel &operator=(const CollectionReadModel &) = delete;

    // The connection's fixed lookups, with its results and its failures.
    std::optional<Bytes> fetchBlob(int64_t forCollectionPK) override;
    std::vector<int64_t> fetchChildPKs(int64_t ofParent) override;
    CollectionInfo fetchCollectionInfo(int64_t pk) override;
    std::optional<int64_t> childPK(int64_t ofParent, std::string_view named) noexcept override;
    std::optional<int64_t> pkForIdentifier(std::string_view identifier) noexcept override;

    // The same answers as `fetchChildPKs` and the type and name of `fetchCollectionInfo`,
    // viewed where the model keeps them (valid while it lives), for the walks that read them
    // for every collection they pass; nothing when the table is not held (the statement answers
    // then).
    struct HeldKind {
        std::optional<std::string_view> type;
        std::optional<std::string_view> name;
    };
    std::optional<std::span<const int64_t>> heldChildPKs(int64_t ofParent) const;
    std::optional<HeldKind> heldKind(int64_t pk) const;

    // The collection's blob decoded; null when it has none, its lookup fails or it does not
    // decode. While decoded blobs are kept, a blob read again soon is not decoded again.
    std::shared_ptr<const DecodedBlob> decodedBlob(int64_t pk);
    // On: the most recently read decoded blobs are kept. Walks read a blob again soon after
    // they first read it (a connected clip's own facts, then its media's; a multicam's angles
    // for every clip of it), and keeping every decoded blob of a large timeline would cost
    // far more memory, and time, than decoding the rare later reads again. Off: what was kept
    // is let go, and every request decodes.
    void keepDecodedBlobs(bool keep);
    static constexpr size_t keptDecodedBlobs = 2048;

    // The cache blobs are decoded through; null when each is decoded anew.
    DecodedBlobCache *decodedBlobs() const { return decodedBlobs_; }

    // Which tables answer from the model.
    bool holdsCollections() const { return collectionsHeld_; }
    bool holdsChildren() const { return childrenHeld_; }
    bool holdsBlobs() const { return blobsHeld_; }
    // The bytes the model keeps between walks (its tables and raw blobs; decoded blobs, kept
    // only while a walk runs, are not counted).
    size_t memoryBytes() const;

    // The whole-table statements the model is loaded with, as they run on this database.
    static std::vector<std::string> loadStatements(FCPDatabaseConnection &db);

private:
    static constexpr uint32_t none = UINT32_MAX;

    struct Collection {
        int64_t pk = 0;
        uint32_t type = none; // into strings_
        uint32_t name = none;
        uint32_t identifierOffset = 0; // into identifiers_
        uint32_t identifierLength = none;
    };
    struct Children {
        int64_t parent = 0;
        size_t begin = 0; // into childKeys_
        size_t end = 0;
    };
    struct Blob {
        enum class State : uint8_t { absent, present, notKept };
        int64_t pk = 0;
        State state = State::absent;
        const uint8_t *bytes = nullptr;
        size_t size = 0;
    };

    // A collection by the place of its identifier's text.
    struct Named {
        uint32_t offset = 0; // into identifiers_
        uint32_t length = 0;
        int64_t pk = 0;
    };
    class Reach;

    bool loadCollections();
    bool loadChildren();
    bool loadBlobs();
    // The collections below a sequence; nothing when either table did not load.
    std::optional<Reach> keysBelowSequences() const;
    // Places are in range by construction; sorts and searches call this for every compare.
    std::string_view text(const Named &named) const {
        return {identifiers_.data() + named.offset, named.length};
    }
    const Collection *collection(int64_t pk) const;
    const Children *children(int64_t parent) const;
    const Blob *blob(int64_t pk) const;
    std::optional<std::string> text(uint32_t index) const;
    std::optional<std::string> identifier(const Collection &collection) const;
    const uint8_t *storeBytes(const uint8_t *bytes, size_t size);

    // The bytes of the collection's blob decoded, through the cache when there is one; null
    // when they do not decode.
    std::shared_ptr<const DecodedBlob> decodeBytes(std::span<const uint8_t> bytes, int64_t pk);

    FCPDatabaseConnection &db_;
    DecodedBlobCache *decodedBlobs_ = nullptr;
    // This database among the cache's sources.
    uint64_t decodedSource_ = 0;
    bool collectionsHeld_ = false;
    bool childrenHeld_ = false;
    bool blobsHeld_ = false;

    std::vector<Collection> collections_; // by key
    std::deque<std::string> strings_;     // types and slot names, each once
    std::string identifiers_;
    std::vector<Named> byIdentifier_; // by identifier, the first in rowid order of each

    std::vector<Children> parents_; // by parent key
    // The place in parents_ of each key from the first parent's on, plus one (0: no children);
    // empty when the keys are spread too thin for it to pay.
    std::vector<uint32_t> parentAt_;
    std::vector<int64_t> childKeys_;

    std::vector<Blob> blobs_; // by key
    std::vector<std::unique_ptr<uint8_t[]>> chunks_;
    size_t chunkBytes_ = 0;
    size_t chunkUsed_ = 0;
    size_t allocatedChunkBytes_ = 0;

    bool keepDecoded_ = false;
    // Most recently read first.
    std::list<std::pair<int64_t, std::shared_ptr<const DecodedBlob>>> decoded_;
    std::unordered_map<int64_t, decltype(decoded_)::iterator> decodedByKey_;
};

} // namespace tandrel
