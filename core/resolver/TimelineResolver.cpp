#include "core/resolver/TimelineResolver.h"

#include "core/database/CollectionReads.h"
#include "core/database/RetimeParser.h"
#include "core/model/TimecodeCalculator.h"
#include "core/resolver/AssetInfoResolver.h"
#include "core/support/Log.h"

#include <algorithm>

namespace tandrel {

namespace {

using DecodedBlob = BlobDecoder::DecodedBlob;

auto log() {
    return logger("com.ostrevale.tandrel.host", "resolver");
}

std::optional<TimecodeCalculator::TimeRange> clippedRange(const DecodedBlob &blob) {
    const auto text = blob.string("clippedRange");
    return text ? TimecodeCalculator::parseCMTimeRangeString(*text) : std::nullopt;
}

bool gateActive(const TimelineResolver::StructureGate *gate) {
    return gate && gate->firstEntryEmitted;
}

void markEmitted(TimelineResolver::StructureGate *gate) {
    if (gate) {
        gate->firstEntryEmitted = true;
    }
}

} // namespace

TimelineResolver::TimelineResolver(std::shared_ptr<FCPDatabaseConnection> db,
                                   std::shared_ptr<const AssetStore> assetStore,
                                   std::shared_ptr<const RoleResolver> roleResolver,
                                   std::shared_ptr<MulticamMediaIndex> multicamIndex)
    : db_(std::move(db)), assetStore_(std::move(assetStore)),
      roleResolver_(std::move(roleResolver)), multicamIndex_(std::move(multicamIndex)) {
    // Missing services read as empty ones.
    if (!assetStore_) {
        assetStore_ = std::make_shared<const AssetStore>();
    }
    if (!roleResolver_) {
        roleResolver_ = std::make_shared<const RoleResolver>();
    }
    if (!multicamIndex_) {
        multicamIndex_ = std::make_shared<MulticamMediaIndex>();
    }
}

std::shared_ptr<const EditDecisionList> TimelineResolver::getEDL(int64_t timelineID) {
    auto &cached = edlCache_[timelineID];
    if (!cached) {
        cached = std::make_shared<const EditDecisionList>(loadEDL(timelineID));
    }
    return cached;
}

std::shared_ptr<const EditDecisionList> TimelineResolver::markerScanEDL(int64_t timelineID) {
    auto &cached = structureEDLCache_[timelineID];
    if (!cached) {
        StructureGate gate;
        cached = std::make_shared<const EditDecisionList>(loadEDL(timelineID, &gate));
    }
    return cached;
}

EditDecisionList TimelineResolver::loadEDL(int64_t timelineID, StructureGate *structureGate) {
    spineItemsLeft_ = spineItemBudget_;
    budgetExhaustedLogged_ = false;
    const auto session = readSession();
    SpineWalk walk = collectSpineEntries(timelineID, source(*db_), 0, 0, structureGate);
    if (!structureGate && !walk.entries.empty()) {
        const ConnectedItemsByTime connected(walk.connected);
        for (EditEntry &entry : walk.entries) {
            entry.displaySegments = displaySegments(entry, connected, *roleResolver_);
        }
    }
    return EditDecisionList(timelineID, std::move(walk.entries));
}

// Marks a collection as entered for as long as the walk is inside it.
class TimelineResolver::OpenCollection {
public:
    OpenCollection(TimelineResolver &resolver, const CollectionSource &db, int64_t pk)
        : resolver_(resolver), key_(db.path(), pk) {
        resolver_.openCollections_.insert(key_);
    }
    ~OpenCollection() { resolver_.openCollections_.erase(key_); }
    OpenCollection(const OpenCollection &) = delete;
    OpenCollection &operator=(const OpenCollection &) = delete;

private:
    TimelineResolver &resolver_;
    std::pair<std::string, int64_t> key_;
};

bool TimelineResolver::isOpen(const CollectionSource &db, int64_t pk) const {
    if (!openCollections_.contains({db.path(), pk})) {
        return false;
    }
    log()->warn("Skipped collection {} of {}: it is listed inside itself", pk, db.path());
    return true;
}

TimelineResolver::SpineWalk TimelineResolver::collectSpineEntries(int64_t sequencePK,
                                                                  const CollectionSource &db,
                                                                  double timelineStart, int depth,
                                                                  StructureGate *structureGate) {
    if (depth > maxSpineDepth || isOpen(db, sequencePK)) {
        return {};
    }
    const OpenCollection sequence(*this, db, sequencePK);
    const auto spines = CollectionReads::slotItems(db, sequencePK, "primaryObject");
    if (spines.empty() || isOpen(db, spines.front())) {
        return {};
    }
    const int64_t spine = spines.front();
    if (CollectionReads::type(db, spine) == "FFAnchoredClip") {
        return expandCompoundClip(spine, db, timelineStart, depth, structureGate);
    }
    const OpenCollection openSpine(*this, db, spine);

    const std::vector<int64_t> items = CollectionReads::orderedContainedItems(db, spine);
    SpineWalk walk;
    walk.entries.reserve(items.size());
    double position = timelineStart;
    for (int64_t item : items) {
        if (isOpen(db, item)) {
            continue;
        }
        if (!spendSpineItem()) {
            break;
        }
        if (CollectionReads::type(db, item) == "FFAnchoredClip") {
            SpineWalk inner = expandCompoundClip(item, db, position, depth, structureGate);
            std::move(inner.entries.begin(), inner.entries.end(), std::back_inserter(walk.entries));
            std::move(inner.connected.begin(), inner.connected.end(),
                      std::back_inserter(walk.connected));
            position += inner.duration;
            continue;
        }
        std::optional<SpineClip> clip = loadSpineClip(item, db, position, 0, structureGate);
        if (!clip) {
            continue;
        }
        if (clip->entry) {
            walk.entries.push_back(std::move(*clip->entry));
        }
        for (ConnectedItem &connected : clip->connectedItems) {
            if (connected.isEnabled) {
                walk.connected.push_back(std::move(connected));
            }
        }
        position += clip->duration;
    }
    walk.duration = position - timelineStart;
    return walk;
}

bool TimelineResolver::spendSpineItem() {
    if (spineItemsLeft_ > 0) {
        --spineItemsLeft_;
        return true;
    }
    if (!budgetExhaustedLogged_) {
        budgetExhaustedLogged_ = true;
        log()->warn("Timeline walk stopped after {} items in {}", spineItemBudget_, db_->path());
    }
    return false;
}

std::optional<TimelineResolver::SpineClip>
TimelineResolver::loadSpineClip(int64_t pk, const CollectionSource &db, double timelineStart,
                                int stackDepth, StructureGate *structureGate) {
    const double T = timelineStart;
    const auto type = CollectionReads::type(db, pk);
    if (!type) {
        return SpineClip{};
    }

    if (*type == "FFAnchoredStack") {
        // An audition plays its active pick in its place.
        if (stackDepth <= maxStackDepth) {
            if (const auto pick = db.resolveActivePick(pk)) {
                return loadSpineClip(*pick, db, T, stackDepth + 1, structureGate);
            }
        }
        return SpineClip{};
    }

    if (*type == "FFAnchoredGapGeneratorComponent") {
        const auto blob = CollectionReads::blob(db, pk);
        if (!blob) {
            return SpineClip{};
        }
        const auto range = clippedRange(*blob);
        SpineClip gap;
        // A range running backwards takes no room rather than pulling later items back.
        gap.duration = range ? std::max(0.0, range->duration) : 0;
        if (!gateActive(structureGate)) {
            gap.connectedItems =
                connectedItems(pk, db, T, range ? range->start : 0,
                               ConnectedItemResolver::isClipEnabled(*blob), std::nullopt);
        }
        return gap;
    }

    if (*type == "FFAnchoredGeneratorComponent") {
        const auto blob = CollectionReads::blob(db, pk);
        const auto range = blob ? clippedRange(*blob) : std::nullopt;
        if (!range || !(range->duration > 0)) {
            return SpineClip{};
        }
        SpineClip generator;
        generator.duration = range->duration;
        EditEntry entry{.collectionPK = pk,
                        .clipName = blob->string("displayName").value_or("Unknown"),
                        .clipType = ClipCategory::generator,
                        .timelineIn = T,
                        .timelineOut = T + range->duration,
                        .sourceIn = range->start,
                        .sourceStartTC = 0,
                        .databasePath = db.path()};
        if (!gateActive(structureGate)) {
            if (generatorIsTitle(pk, db)) {
                entry.clipType = ClipCategory::title;
            }
            generator.connectedItems = connectedItems(
                pk, db, T, range->start, ConnectedItemResolver::isClipEnabled(*blob), std::nullopt);
            entry.markers = findMarkers(pk, db);
        }
        markEmitted(structureGate);
        generator.entry = std::move(entry);
        return generator;
    }

    if (*type != "FFAnchoredCollection" && *type != "FFAnchoredAngle" &&
        *type != "FFAnchoredMediaComponent") {
        return SpineClip{};
    }
    const auto blob = CollectionReads::blob(db, pk);
    if (!blob) {
        return SpineClip{};
    }
    const std::string name = blob->string("displayName").value_or("Unknown");
    const bool enabled = ConnectedItemResolver::isClipEnabled(*blob);
    const auto range = clippedRange(*blob).value_or(TimecodeCalculator::TimeRange{0, 0});
    if (!(range.duration > 0)) {
        return SpineClip{};
    }
    if (name == "Gap" || name == "New Stack") {
        return SpineClip{.duration = range.duration};
    }

    EditEntry entry{.collectionPK = pk,
                    .clipName = name,
                    .timelineIn = T,
                    .timelineOut = T + range.duration,
                    .sourceIn = range.start,
                    .sourceStartTC = 0,
                    .isSyncClip = blob->boolean("isSyncronized").value_or(false),
                    .isCompoundClip = blob->boolean("isCompoundClip").value_or(false),
                    .videoAngle = blob->string("videoAngle"),
                    .databasePath = db.path()};
    if (entry.isSyncClip) {
        entry.clipType = ClipCategory::sync;
    } else if (entry.isCompoundClip) {
        entry.clipType = ClipCategory::compound;
    } else if (entry.videoAngle || *type == "FFAnchoredAngle") {
        entry.clipType = ClipCategory::multicam;
    } else {
        entry.clipType = ClipCategory::simple;
    }

    SpineClip clip{.duration = range.duration};
    if (!gateActive(structureGate)) {
        entry = fullClipEntry(pk, db, *blob, std::move(entry), range.start);
        clip.connectedItems = connectedItems(pk, db, T, range.start, enabled, entry.frameRate);
        markEmitted(structureGate);
    }
    clip.entry = std::move(entry);
    return clip;
}

EditEntry TimelineResolver::fullClipEntry(int64_t pk, const CollectionSource &db,
                                          const DecodedBlob &blob, EditEntry entry,
                                          double clippedStart) {
    const PlistValue::Dictionary *meta = blob.dictionary("metadata");
    const auto text = [&](std::string_view key) -> std::optional<std::string> {
        const auto found = meta ? meta->find(key) : PlistValue::Dictionary::const_iterator{};
        return meta && found != meta->end() ? found->second.stringValue() : std::nullopt;
    };
    const auto info = AssetInfoResolver::findAssetInfo(pk, db, *assetStore_, multicamIndex_.get(),
                                                       entry.videoAngle, clippedStart);
    const auto retime = RetimeParser::find(pk, db);

    // The source start comes from the curve as the library stores it, in the clip's own time.
    entry.sourceIn = AssetInfoResolver::correctedSourceIn(
        clippedStart, info, retime ? std::optional(retime->timeMapKeypoints) : std::nullopt);
    entry.assetName = info.name;
    entry.mediaIdentifier = info.mediaID;
    entry.frameRate = info.rate;
    entry.reelName = text("reel") ? text("reel") : info.reel;
    entry.scene = text("scene") ? text("scene") : info.scene;
    entry.shot = text("shot") ? text("shot") : info.shot;
    entry.notes = text("notes") ? text("notes") : info.notes;
    entry.angle = text("angle") ? text("angle") : entry.videoAngle ? entry.videoAngle : info.angle;
    if (const PlistValue::Dictionary *props = blob.dictionary("videoProps")) {
        if (const auto found = props->find("PB"); found != props->end()) {
            if (const auto rectangle = found->second.stringValue()) {
                entry.resolution = parseVideoProps(*rectangle);
            }
        }
    }

    if (retime) {
        entry.isReversed = retime->isReversed;
        if (const auto speed = retime->effectiveSpeed()) {
            entry.speedRate = *speed / 100;
        } else if (retime->timeMapKeypoints.size() >= 3) {
            // Entries carry the curve on the timeline: the clip's own time shifted so that its
            // clipped start falls on the entry's start.
            std::vector<TimeMapKeypoint> keypoints = retime->timeMapKeypoints;
            for (TimeMapKeypoint &keypoint : keypoints) {
                keypoint.timelineSeconds =
                    entry.timelineIn + (keypoint.timelineSeconds - clippedStart);
            }
            entry.timeMapKeypoints = std::move(keypoints);
        }
        entry.isFreezeFrame = retime->isFreezeFrame();
    }
    entry.hasStabilization = loadStabilizationInfo(pk, db);
    if (const auto transform = loadTransformInfo(pk, db)) {
        entry.positionX = transform->positionX;
        entry.positionY = transform->positionY;
        entry.scaleX = transform->scaleX;
        entry.scaleY = transform->scaleY;
        entry.rotation = transform->rotation;
    }
    entry.markers = findMarkers(pk, db);
    return entry;
}

std::vector<TimelineResolver::ConnectedItem>
TimelineResolver::connectedItems(int64_t pk, const CollectionSource &db, double timelineStart,
                                 double containerStart, bool enabled,
                                 std::optional<FrameRate> fallbackRate) {
    // One walk for all of the item's connections, so that a collection listed under several
    // of them is met once, as everywhere else.
    return ConnectedItemResolver::findConnectedItems(
        pk, timelineStart, containerStart, enabled,
        {db, assetStore_.get(), multicamIndex_.get(), fallbackRate});
}

void TimelineResolver::invalidateCache() {
    edlCache_.clear();
    structureEDLCache_.clear();
    readModels_.clear();
}

void TimelineResolver::invalidateCache(int64_t timelineID) {
    edlCache_.erase(timelineID);
    structureEDLCache_.erase(timelineID);
    // The models hold whole databases: one timeline read afresh means its database read afresh.
    readModels_.clear();
}

void TimelineResolver::setReadModelsEnabled(bool enabled) {
    readModelsEnabled_ = enabled;
    readModels_.clear();
}

void TimelineResolver::decodeBlobsThrough(std::shared_ptr<DecodedBlobCache> decodedBlobs) {
    readModels_.decodeThrough(std::move(decodedBlobs));
}

CollectionSource TimelineResolver::source(FCPDatabaseConnection &db) {
    return CollectionSource::of(db, readModelsEnabled_ ? &readModels_ : nullptr);
}

void TimelineResolver::loadMulticamIndex(const std::filesystem::path &libraryURL) {
    multicamIndex_->scan(libraryURL);
}

FCPDatabaseConnection *TimelineResolver::connection(const std::string &databasePath) {
    if (databasePath.empty() || databasePath == db_->path()) {
        return db_.get();
    }
    return multicamIndex_->connection(databasePath);
}

} // namespace tandrel
