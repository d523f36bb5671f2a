#include "core/database/CollectionReadModel.h"

#include "core/support/Log.h"

#include <sqlite3.h>

#include <algorithm>
#include <unordered_set>

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel", "database");
}

constexpr std::string_view sequenceType = "FFAnchoredSequence";
constexpr size_t chunkSize = size_t{1} << 20;

// Rowid order: the order in which both a scan and a lookup through a one-column index meet
// rows with equal keys, so the first row of each key is the one the lookups answer with.
constexpr const char *collectionsStatement =
    "SELECT Z_PK, ZTYPE, ZIDENTIFIER, ZNAME FROM ZCOLLECTION ORDER BY rowid";
constexpr const char *blobsStatement =
    "SELECT ZCOLLECTION, ZDICTIONARYDATA FROM ZCOLLECTIONMD ORDER BY rowid";
constexpr const char *childrenInRowOrder =
    "SELECT Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS FROM Z_3CHILDCOLLECTIONS ORDER BY rowid";
// The per-parent lookup of the connection, as the planner sees it.
constexpr const char *childrenLookupPlan =
    "EXPLAIN QUERY PLAN SELECT Z_3CHILDCOLLECTIONS FROM Z_3CHILDCOLLECTIONS "
    "WHERE Z_3PARENTCOLLECTIONS = ?";

// One statement stepped to its end; `complete()` tells whether it got there.
//
// A row's columns are read through their values, each taken from the statement once per row:
// the statement's own column calls take the connection's lock every time, which for tables of
// tens of thousands of rows is much of the work. The connection is used by one thread at a
// time, which is what reading the values directly asks for.
class Rows {
public:
    Rows(sqlite3 *db, std::string_view sql) {
        if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_,
                               nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
        if (statement_) {
            values_.resize(static_cast<size_t>(sqlite3_column_count(statement_)));
        }
    }
    ~Rows() { sqlite3_finalize(statement_); }
    Rows(const Rows &) = delete;
    Rows &operator=(const Rows &) = delete;

    bool prepared() const { return statement_ != nullptr; }
    bool next() {
        std::fill(values_.begin(), values_.end(), nullptr);
        return (step_ = sqlite3_step(statement_)) == SQLITE_ROW;
    }
    bool complete() const { return step_ == SQLITE_DONE; }

    int type(int column) const { return sqlite3_value_type(value(column)); }
    int64_t integer(int column) const { return sqlite3_value_int64(value(column)); }
    std::optional<std::string_view> text(int column) const {
        sqlite3_value *v = value(column);
        if (sqlite3_value_type(v) != SQLITE_TEXT) {
            return std::nullopt;
        }
        const auto *chars = sqlite3_value_text(v);
        if (!chars) {
            return std::nullopt;
        }
        return std::string_view(reinterpret_cast<const char *>(chars),
                                static_cast<size_t>(sqlite3_value_bytes(v)));
    }
    // A zero-length blob reads as nothing, as the connection reads it.
    std::span<const uint8_t> blob(int column) const {
        sqlite3_value *v = value(column);
        if (sqlite3_value_type(v) != SQLITE_BLOB) {
            return {};
        }
        const auto *bytes = static_cast<const uint8_t *>(sqlite3_value_blob(v));
        if (!bytes) {
            return {};
        }
        return {bytes, static_cast<size_t>(sqlite3_value_bytes(v))};
    }
    sqlite3_stmt *statement() const { return statement_; }

private:
    sqlite3_value *value(int column) const {
        sqlite3_value *&v = values_.at(static_cast<size_t>(column));
        if (!v) {
            v = sqlite3_column_value(statement_, column);
        }
        return v;
    }

    sqlite3_stmt *statement_ = nullptr;
    int step_ = SQLITE_OK;
    mutable std::vector<sqlite3_value *> values_;
};

std::string quotedName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

// The whole join table in the order in which the per-parent lookup meets each parent's rows:
// through the index the planner picks for that lookup, by parent; rowid order when the
// lookup scans the table or its index has the parent alone (whose entries of one parent lie
// in rowid order). Nothing when the plan is of another kind.
std::optional<std::string> childrenStatement(sqlite3 *db) {
    std::optional<std::string> detail;
    {
        Rows plan(db, childrenLookupPlan);
        if (!plan.prepared()) {
            return std::nullopt;
        }
        while (plan.next()) {
            if (detail) {
                return std::nullopt; // a plan of several steps is not a simple lookup
            }
            detail = plan.text(3).value_or("");
        }
        if (!plan.complete() || !detail) {
            return std::nullopt;
        }
    }
    std::optional<std::string_view> index;
    for (std::string_view marker : {"USING COVERING INDEX ", "USING INDEX "}) {
        if (const size_t at = detail->find(marker); at != std::string::npos) {
            std::string_view rest = std::string_view(*detail).substr(at + marker.size());
            index = rest.substr(0, rest.find(" ("));
            break;
        }
    }
    if (!index) {
        return detail->starts_with("SCAN ") ? std::optional<std::string>(childrenInRowOrder)
                                            : std::nullopt;
    }
    Rows columns(db, "SELECT count(*) FROM pragma_index_info(?)");
    if (!columns.prepared()) {
        return std::nullopt;
    }
    sqlite3_bind_text(columns.statement(), 1, index->data(), static_cast<int>(index->size()),
                      SQLITE_TRANSIENT);
    if (!columns.next()) {
        return std::nullopt;
    }
    if (columns.integer(0) == 1) {
        return childrenInRowOrder;
    }
    return "SELECT Z_3PARENTCOLLECTIONS, Z_3CHILDCOLLECTIONS FROM Z_3CHILDCOLLECTIONS INDEXED BY " +
           quotedName(*index) + " ORDER BY Z_3PARENTCOLLECTIONS";
}

template <typename T> size_t vectorBytes(const std::vector<T> &v) {
    return v.capacity() * sizeof(T);
}

size_t stringBytes(const std::string &s) {
    // Short texts live inside the object.
    return sizeof(std::string) + (s.capacity() > 15 ? s.capacity() + 1 : 0);
}

} // namespace

CollectionReadModel::CollectionReadModel(FCPDatabaseConnection &db, DecodedBlobCache *decodedBlobs)
    : db_(db), decodedBlobs_(decodedBlobs),
      decodedSource_(decodedBlobs ? decodedBlobs->sourceOf(db.path()) : 0) {
    collectionsHeld_ = loadCollections();
    childrenHeld_ = loadChildren();
    blobsHeld_ = loadBlobs();
    if (!collectionsHeld_ || !childrenHeld_ || !blobsHeld_) {
        log()->info("Reading '{}' partly one statement per item (collections {}, children {}, "
                    "blobs {})",
                    db_.path(), collectionsHeld_ ? "held" : "not held",
                    childrenHeld_ ? "held" : "not held", blobsHeld_ ? "held" : "not held");
    }
}

std::vector<std::string> CollectionReadModel::loadStatements(FCPDatabaseConnection &db) {
    std::vector<std::string> statements{collectionsStatement};
    if (auto children = childrenStatement(db.db())) {
        statements.push_back(std::move(*children));
    }
    statements.emplace_back(blobsStatement);
    return statements;
}

bool CollectionReadModel::loadCollections() {
    Rows rows(db_.db(), collectionsStatement);
    if (!rows.prepared()) {
        return false;
    }
    // Types and slot names repeat on every other row: each is kept once.
    std::unordered_map<std::string_view, uint32_t> interned;
    const auto intern = [&](std::string_view text) {
        if (const auto found = interned.find(text); found != interned.end()) {
            return found->second;
        }
        const auto index = static_cast<uint32_t>(strings_.size());
        strings_.emplace_back(text);
        interned.emplace(strings_.back(), index);
        return index;
    };
    while (rows.next()) {
        // The lookups bind integer keys; a key of another kind would match differently.
        if (rows.type(0) != SQLITE_INTEGER) {
            return false;
        }
        Collection c{.pk = rows.integer(0)};
        if (const auto type = rows.text(1)) {
            c.type = intern(*type);
        }
        if (const auto name = rows.text(3)) {
            c.name = intern(*name);
        }
        if (const auto identifier = rows.text(2)) {
            if (identifiers_.size() + identifier->size() >= none) {
                return false;
            }
            c.identifierOffset = static_cast<uint32_t>(identifiers_.size());
            c.identifierLength = static_cast<uint32_t>(identifier->size());
            identifiers_.append(*identifier);
        }
        collections_.push_back(c);
    }
    if (!rows.complete()) {
        return false;
    }
    // In rowid order the first collection of an identifier is the one its lookup finds: a
    // stable sort by identifier keeps it first among its namesakes.
    for (const Collection &c : collections_) {
        if (c.identifierLength != none) {
            byIdentifier_.push_back({c.identifierOffset, c.identifierLength, c.pk});
        }
    }
    std::stable_sort(byIdentifier_.begin(), byIdentifier_.end(),
                     [this](const Named &a, const Named &b) { return text(a) < text(b); });
    byIdentifier_.erase(
        std::unique(byIdentifier_.begin(), byIdentifier_.end(),
                    [this](const Named &a, const Named &b) { return text(a) == text(b); }),
        byIdentifier_.end());
    byIdentifier_.shrink_to_fit();
    const auto byKey = [](const Collection &a, const Collection &b) { return a.pk < b.pk; };
    if (!std::is_sorted(collections_.begin(), collections_.end(), byKey)) {
        std::stable_sort(collections_.begin(), collections_.end(), byKey);
    }
    const auto twice =
        std::adjacent_find(collections_.begin(), collections_.end(),
                           [](const auto &a, const auto &b) { return a.pk == b.pk; });
    return twice == collections_.end();
}

bool CollectionReadModel::loadChildren() {
    const auto statement = childrenStatement(db_.db());
    if (!statement) {
        return false;
    }
    Rows rows(db_.db(), *statement);
    if (!rows.prepared()) {
        return false;
    }
    std::vector<std::pair<int64_t, int64_t>> links;
    while (rows.next()) {
        const int parentType = rows.type(0);
        const int childType = rows.type(1);
        if (parentType == SQLITE_NULL || childType == SQLITE_NULL) {
            continue; // matched by no lookup
        }
        if (parentType != SQLITE_INTEGER || childType != SQLITE_INTEGER) {
            return false;
        }
        links.emplace_back(rows.integer(0), rows.integer(1));
    }
    if (!rows.complete()) {
        return false;
    }
    const auto byParent = [](const auto &a, const auto &b) { return a.first < b.first; };
    if (!std::is_sorted(links.begin(), links.end(), byParent)) {
        std::stable_sort(links.begin(), links.end(), byParent);
    }
    childKeys_.reserve(links.size());
    for (const auto &[parent, child] : links) {
        if (parents_.empty() || parents_.back().parent != parent) {
            parents_.push_back({parent, childKeys_.size(), childKeys_.size()});
        }
        childKeys_.push_back(child);
        parents_.back().end = childKeys_.size();
    }
    parents_.shrink_to_fit();
    // Walks ask for the children of every collection they pass: a table by key answers at once
    // where the keys lie close together, as the editor numbers them.
    if (!parents_.empty() && parents_.size() < UINT32_MAX) {
        const uint64_t span = static_cast<uint64_t>(parents_.back().parent) -
                              static_cast<uint64_t>(parents_.front().parent) + 1;
        if (span <= 4 * std::max(parents_.size(), collections_.size())) {
            parentAt_.assign(span, 0);
            for (size_t i = 0; i < parents_.size(); ++i) {
                parentAt_[static_cast<uint64_t>(parents_[i].parent) -
                          static_cast<uint64_t>(parents_.front().parent)] =
                    static_cast<uint32_t>(i + 1);
            }
        }
    }
    return true;
}

// The keys a walk from a sequence can reach: marked by their place among the collections,
// and for the rare child without a collection row, kept apart.
class CollectionReadModel::Reach {
public:
    explicit Reach(const CollectionReadModel &model)
        : model_(&model), marked_(model.collections_.size()) {}

    // True the first time.
    bool mark(int64_t pk) {
        if (const Collection *c = model_->collection(pk)) {
            std::vector<bool>::reference mark =
                marked_[static_cast<size_t>(c - model_->collections_.data())];
            const bool first = !mark;
            mark = true;
            return first;
        }
        return others_.insert(pk).second;
    }
    bool contains(int64_t pk) const {
        if (const Collection *c = model_->collection(pk)) {
            return marked_[static_cast<size_t>(c - model_->collections_.data())];
        }
        return others_.contains(pk);
    }

private:
    const CollectionReadModel *model_;
    std::vector<bool> marked_;
    std::unordered_set<int64_t> others_;
};

std::optional<CollectionReadModel::Reach> CollectionReadModel::keysBelowSequences() const {
    if (!collectionsHeld_ || !childrenHeld_) {
        return std::nullopt;
    }
    Reach reach(*this);
    std::vector<int64_t> pending;
    for (const Collection &c : collections_) {
        if (c.type != none && strings_[c.type] == sequenceType && reach.mark(c.pk)) {
            pending.push_back(c.pk);
        }
    }
    while (!pending.empty()) {
        const int64_t pk = pending.back();
        pending.pop_back();
        if (const Children *list = children(pk)) {
            for (size_t i = list->begin; i < list->end; ++i) {
                if (reach.mark(childKeys_[i])) {
                    pending.push_back(childKeys_[i]);
                }
            }
        }
    }
    return reach;
}

const uint8_t *CollectionReadModel::storeBytes(const uint8_t *bytes, size_t size) {
    if (chunks_.empty() || chunkBytes_ - chunkUsed_ < size) {
        chunkBytes_ = std::max(chunkSize, size);
        chunks_.push_back(std::make_unique_for_overwrite<uint8_t[]>(chunkBytes_));
        chunkUsed_ = 0;
        allocatedChunkBytes_ += chunkBytes_;
    }
    uint8_t *stored = chunks_.back().get() + chunkUsed_;
    std::copy_n(bytes, size, stored);
    chunkUsed_ += size;
    return stored;
}

bool CollectionReadModel::loadBlobs() {
    // Only blobs a walk can reach are kept; the others are left to the statement.
    const auto reachable = keysBelowSequences();
    Rows rows(db_.db(), blobsStatement);
    if (!rows.prepared()) {
        return false;
    }
    while (rows.next()) {
        const int keyType = rows.type(0);
        if (keyType == SQLITE_NULL) {
            continue;
        }
        if (keyType != SQLITE_INTEGER) {
            return false;
        }
        const int64_t pk = rows.integer(0);
        if (!blobs_.empty() && blobs_.back().pk == pk) {
            continue; // the lookup answers with the first row of a key (others go below)
        }
        Blob entry{.pk = pk};
        if (reachable && !reachable->contains(pk)) {
            entry.state = Blob::State::notKept;
        } else if (const auto bytes = rows.blob(1); !bytes.empty()) {
            entry.state = Blob::State::present;
            entry.bytes = storeBytes(bytes.data(), bytes.size());
            entry.size = bytes.size();
        }
        blobs_.push_back(entry);
    }
    if (!rows.complete()) {
        return false;
    }
    const auto byKey = [](const Blob &a, const Blob &b) { return a.pk < b.pk; };
    if (!std::is_sorted(blobs_.begin(), blobs_.end(), byKey)) {
        std::stable_sort(blobs_.begin(), blobs_.end(), byKey);
    }
    blobs_.erase(std::unique(blobs_.begin(), blobs_.end(),
                             [](const Blob &a, const Blob &b) { return a.pk == b.pk; }),
                 blobs_.end());
    blobs_.shrink_to_fit();
    return true;
}

namespace {

// The row of `key` in rows sorted by unique keys. The editor numbers its rows from 1 without
// gaps, so the row usually sits where its key says; elsewhere it is searched for.
template <typename Row, typename Key>
const Row *rowOf(const std::vector<Row> &rows, int64_t key, Key keyOf) {
    if (!rows.empty()) {
        const uint64_t at = static_cast<uint64_t>(key) - static_cast<uint64_t>(keyOf(rows.front()));
        if (at < rows.size() && keyOf(rows[at]) == key) {
            return &rows[at];
        }
    }
    const auto found = std::lower_bound(rows.begin(), rows.end(), key,
                                        [&](const Row &row, int64_t k) { return keyOf(row) < k; });
    return found != rows.end() && keyOf(*found) == key ? &*found : nullptr;
}

} // namespace

const CollectionReadModel::Collection *CollectionReadModel::collection(int64_t pk) const {
    return rowOf(collections_, pk, [](const Collection &c) { return c.pk; });
}

const CollectionReadModel::Children *CollectionReadModel::children(int64_t parent) const {
    if (!parentAt_.empty()) {
        const uint64_t at =
            static_cast<uint64_t>(parent) - static_cast<uint64_t>(parents_.front().parent);
        return at < parentAt_.size() && parentAt_[at] ? &parents_[parentAt_[at] - 1] : nullptr;
    }
    return rowOf(parents_, parent, [](const Children &c) { return c.parent; });
}

const CollectionReadModel::Blob *CollectionReadModel::blob(int64_t pk) const {
    return rowOf(blobs_, pk, [](const Blob &b) { return b.pk; });
}

std::optional<std::string> CollectionReadModel::text(uint32_t index) const {
    return index == none ? std::nullopt : std::optional<std::string>(strings_[index]);
}

std::optional<std::string> CollectionReadModel::identifier(const Collection &collection) const {
    if (collection.identifierLength == none) {
        return std::nullopt;
    }
    return identifiers_.substr(collection.identifierOffset, collection.identifierLength);
}

std::optional<Bytes> CollectionReadModel::fetchBlob(int64_t forCollectionPK) {
    if (!blobsHeld_) {
        return db_.fetchBlob(forCollectionPK);
    }
    const Blob *entry = blob(forCollectionPK);
    if (!entry) {
        return std::nullopt;
    }
    switch (entry->state) {
    case Blob::State::present:
        return Bytes(entry->bytes, entry->bytes + entry->size);
    case Blob::State::notKept:
        return db_.fetchBlob(forCollectionPK);
    case Blob::State::absent:
        break;
    }
    return std::nullopt;
}

std::optional<std::span<const int64_t>> CollectionReadModel::heldChildPKs(int64_t ofParent) const {
    if (!childrenHeld_) {
        return std::nullopt;
    }
    const Children *list = children(ofParent);
    if (!list) {
        return std::span<const int64_t>();
    }
    return std::span<const int64_t>(childKeys_).subspan(list->begin, list->end - list->begin);
}

std::optional<CollectionReadModel::HeldKind> CollectionReadModel::heldKind(int64_t pk) const {
    if (!collectionsHeld_) {
        return std::nullopt;
    }
    HeldKind kind;
    if (const Collection *found = collection(pk)) {
        if (found->type != none) {
            kind.type = strings_[found->type];
        }
        if (found->name != none) {
            kind.name = strings_[found->name];
        }
    }
    return kind;
}

std::vector<int64_t> CollectionReadModel::fetchChildPKs(int64_t ofParent) {
    if (!childrenHeld_) {
        return db_.fetchChildPKs(ofParent);
    }
    const Children *list = children(ofParent);
    if (!list) {
        return {};
    }
    const auto begin = childKeys_.begin() + static_cast<ptrdiff_t>(list->begin);
    return {begin, begin + static_cast<ptrdiff_t>(list->end - list->begin)};
}

CollectionReadModel::CollectionInfo CollectionReadModel::fetchCollectionInfo(int64_t pk) {
    if (!collectionsHeld_) {
        return db_.fetchCollectionInfo(pk);
    }
    const Collection *found = collection(pk);
    if (!found) {
        return {};
    }
    return {text(found->type), identifier(*found), text(found->name)};
}

std::optional<int64_t> CollectionReadModel::childPK(int64_t ofParent,
                                                    std::string_view named) noexcept {
    if (!collectionsHeld_ || !childrenHeld_) {
        return db_.childPK(ofParent, named);
    }
    const Children *list = children(ofParent);
    if (!list) {
        return std::nullopt;
    }
    // The lookup's join meets the parent's rows in this order and keeps those whose
    // collection exists under that name.
    for (size_t i = list->begin; i < list->end; ++i) {
        const Collection *child = collection(childKeys_[i]);
        if (child && child->name != none && strings_[child->name] == named) {
            return child->pk;
        }
    }
    return std::nullopt;
}

std::optional<int64_t> CollectionReadModel::pkForIdentifier(std::string_view identifier) noexcept {
    if (!collectionsHeld_) {
        return db_.pkForIdentifier(identifier);
    }
    const auto found = std::lower_bound(
        byIdentifier_.begin(), byIdentifier_.end(), identifier,
        [this](const Named &named, std::string_view key) { return text(named) < key; });
    return found != byIdentifier_.end() && text(*found) == identifier ? std::optional(found->pk)
                                                                      : std::nullopt;
}

std::shared_ptr<const CollectionReadModel::DecodedBlob>
CollectionReadModel::decodedBlob(int64_t pk) {
    if (keepDecoded_) {
        if (const auto kept = decodedByKey_.find(pk); kept != decodedByKey_.end()) {
            decoded_.splice(decoded_.begin(), decoded_, kept->second);
            return kept->second->second;
        }
    }
    std::shared_ptr<const DecodedBlob> decoded;
    try {
        const Blob *entry = blobsHeld_ ? blob(pk) : nullptr;
        if (entry && entry->state == Blob::State::present) {
            decoded = decodeBytes({entry->bytes, entry->size}, pk);
        } else if (!blobsHeld_ || (entry && entry->state == Blob::State::notKept)) {
            if (const auto bytes = db_.fetchBlob(pk)) {
                decoded = decodeBytes(*bytes, pk);
            }
        }
    } catch (const std::exception &) {
        // No blob to read: the walk goes on without it.
    }
    if (keepDecoded_) {
        decoded_.emplace_front(pk, decoded);
        decodedByKey_.emplace(pk, decoded_.begin());
        if (decoded_.size() > keptDecodedBlobs) {
            decodedByKey_.erase(decoded_.back().first);
            decoded_.pop_back();
        }
    }
    return decoded;
}

std::shared_ptr<const CollectionReadModel::DecodedBlob>
CollectionReadModel::decodeBytes(std::span<const uint8_t> bytes, int64_t pk) {
    if (decodedBlobs_) {
        return decodedBlobs_->decode(bytes, DecodedBlobCache::Place{decodedSource_, pk});
    }
    return std::make_shared<const DecodedBlob>(BlobDecoder::decode(bytes));
}

void CollectionReadModel::keepDecodedBlobs(bool keep) {
    keepDecoded_ = keep;
    if (!keep) {
        decoded_.clear();
        decodedByKey_.clear();
    }
}

size_t CollectionReadModel::memoryBytes() const {
    size_t bytes = sizeof(*this) + vectorBytes(collections_) + identifiers_.capacity() +
                   vectorBytes(byIdentifier_) + vectorBytes(parents_) + vectorBytes(parentAt_) +
                   vectorBytes(childKeys_) + vectorBytes(blobs_) + vectorBytes(chunks_) +
                   allocatedChunkBytes_;
    for (const std::string &s : strings_) {
        bytes += stringBytes(s);
    }
    return bytes;
}

} // namespace tandrel
