#pragma once

#include "core/database/AssetStore.h"
#include "core/database/BlobDecoder.h"
#include "core/database/CollectionReadModels.h"
#include "core/database/CollectionSource.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/database/RoleResolver.h"
#include "core/database/TransformParser.h"
#include "core/model/EditEntry.h"
#include "core/model/FCPMetadata.h"
#include "core/model/FrameRate.h"
#include "core/model/MarkerInfo.h"
#include "core/model/Size.h"
#include "core/resolver/ConnectedItemResolver.h"
#include "core/resolver/ConnectedItemsByTime.h"
#include "core/resolver/EditDecisionList.h"
#include "core/resolver/MulticamMediaIndex.h"
#include "core/resolver/ProjectTimecodeInfo.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel {

// Turns the timelines of one event database into edit decision lists: the items of each
// timeline's primary storyline ("spine") with their source position, clip facts, effects,
// markers and display segments; compound clips are expanded in place, also when their
// sequence lives in another event's database. Built lists are cached per timeline and shared
// immutably with the callers.
//
// Reads only; reports no errors from inside a walk: whatever cannot be read gives no entry,
// zero duration, an absent field or the name "Unknown", and the walk goes on. The walks read
// each database through a read model, loaded with a few whole-table queries when a walk first
// needs that database and kept with the lists until the caches are invalidated. Not safe for
// concurrent use: the caller serialises every call (built lists may be read from anywhere).
class TimelineResolver {
public:
    using ConnectedItem = ConnectedItemResolver::ConnectedItem;
    using TransformValues = TransformParser::TransformValues;

    // Marks a structure-only walk: full detail only until its first entry has been emitted.
    struct StructureGate {
        bool firstEntryEmitted = false;
    };

    // What a spine walk (or a compound expansion) gives: its entries, its enabled connected
    // items and its length in seconds.
    struct SpineWalk {
        std::vector<EditEntry> entries = {};
        std::vector<ConnectedItem> connected = {};
        double duration = 0;
    };

    // What one spine item gives: its entry (none for a gap), the room it takes and what is
    // connected to it.
    struct SpineClip {
        std::optional<EditEntry> entry = {};
        double duration = 0;
        std::vector<ConnectedItem> connectedItems = {};
    };

    // Spine walks deeper than this (compound clips nested eight deep) give nothing.
    static constexpr int maxSpineDepth = 7;
    // Auditions nested deeper than this give nothing.
    static constexpr int maxStackDepth = 3;
    // The spine items one walk visits at most, compound contents included. Real timelines
    // stay far below; a crafted library whose compound clips fan out cannot make a walk run
    // for ever: past the budget the walk ends (and logs a warning).
    static constexpr int64_t maxSpineItemsPerWalk = 100000;

    // One resolver per event database; the asset store, role resolver and multicam index are
    // shared by the resolvers of all watched libraries.
    TimelineResolver(std::shared_ptr<FCPDatabaseConnection> db,
                     std::shared_ptr<const AssetStore> assetStore,
                     std::shared_ptr<const RoleResolver> roleResolver,
                     std::shared_ptr<MulticamMediaIndex> multicamIndex);

    FCPDatabaseConnection &db() const { return *db_; }
    MulticamMediaIndex &multicamIndex() const { return *multicamIndex_; }

    // The timeline's full list, built on first request and cached. A key that names no
    // sequence gives an empty list.
    std::shared_ptr<const EditDecisionList> getEDL(int64_t timelineID);
    // The structure-only list of the marker scan: the same entries at the same places, with
    // full detail only on the first one. Cached apart from the full list.
    std::shared_ptr<const EditDecisionList> markerScanEDL(int64_t timelineID);
    // A new list, the caches untouched; with a gate, structure only and no display segments.
    EditDecisionList loadEDL(int64_t timelineID, StructureGate *structureGate = nullptr);

    SpineWalk collectSpineEntries(int64_t sequencePK, const CollectionSource &db,
                                  double timelineStart, int depth, StructureGate *structureGate);
    std::optional<SpineClip> loadSpineClip(int64_t pk, const CollectionSource &db,
                                           double timelineStart, int stackDepth,
                                           StructureGate *structureGate);

    // Compound clips: the inner sequence's spine walked in place and cut to the clip's window.
    SpineWalk expandCompoundClip(int64_t clipPK, const CollectionSource &db, double timelineStart,
                                 int depth, StructureGate *structureGate);
    static std::optional<std::string> compoundMediaIdentifier(int64_t ofClipPK,
                                                              const CollectionSource &db);
    std::optional<int64_t> localCompoundSequencePK(std::string_view forMediaIdentifier,
                                                   const CollectionSource &db);
    static double compoundContentOrigin(int64_t sequencePK, const CollectionSource &db);

    // Both drop the read models with the lists: what is read next comes from the database.
    void invalidateCache();
    void invalidateCache(int64_t timelineID);
    void loadMulticamIndex(const std::filesystem::path &libraryURL);
    // Another budget than `maxSpineItemsPerWalk` for the walks from now on.
    void setSpineItemBudget(int64_t items) { spineItemBudget_ = items; }

    // The connection to read an entry's collection through: the resolver's own for its event
    // database, the multicam index's for another event's. Null when that does not open.
    FCPDatabaseConnection *connection(const std::string &databasePath);
    // What the walks read a database through: its read model (statements when read models are
    // off).
    CollectionSource source(FCPDatabaseConnection &db);
    // Keeps the blobs that walks decoded last while it lives (see `CollectionReadModels`);
    // every walk of the resolver opens one. For callers that read on after a walk.
    CollectionReadModels::Session readSession() {
        return CollectionReadModels::Session(readModels_);
    }
    // Off: every lookup is a statement of the connection, as without read models (the lists
    // are the same either way). Drops the models.
    void setReadModelsEnabled(bool enabled);
    // The read models decode blobs through this cache from now on, shared with the resolvers
    // of other databases and of later readings, so that a blob decoded before is not decoded
    // again (the lists are the same either way). Its owner serialises the resolvers' calls.
    // Drops the models.
    void decodeBlobsThrough(std::shared_ptr<DecodedBlobCache> decodedBlobs);
    // What the read models keep between walks.
    size_t readModelBytes() const { return readModels_.memoryBytes(); }

    // Single facts of a clip.
    static bool generatorIsTitle(int64_t pk, const CollectionSource &db);
    static std::vector<MarkerInfo> findMarkers(int64_t forSpineClipPK, const CollectionSource &db);
    static std::optional<TransformValues> loadTransformInfo(int64_t forClipPK,
                                                            const CollectionSource &db);
    static std::optional<bool> loadStabilizationInfo(int64_t forClipPK, const CollectionSource &db);
    // A rectangle text "{{x, y}, {w, h}}" to its size.
    static std::optional<Size> parseVideoProps(std::string_view text);
    // A frame-duration text "1001/30000" to its rate (never a drop-frame case).
    static std::optional<FrameRate> frameRate(std::string_view fromDurationString);

    // Facts of a timeline.
    std::optional<Size> timelineResolution(int64_t timelineID);
    std::optional<ProjectTimecodeInfo> projectTimecodeInfo(int64_t timelineID);
    // Whether the timeline's timecode counts drop frame, as its sequence info states it (not
    // stated: false); also when the info gives no start. Nothing without sequence info.
    std::optional<bool> timelineDropFrame(int64_t timelineID);

    // The metadata record of one timeline frame of an entry.
    FCPMetadata buildMetadata(const EditEntry &from, int64_t timelineFrame, FrameRate rate) const;
    // The metadata of a timeline frame (or time), `FCPMetadata::empty()` where no entry is.
    FCPMetadata resolve(int64_t frame, int64_t timelineID, FrameRate rate);
    FCPMetadata resolveSeconds(double seconds, int64_t timelineID, FrameRate rate);

    // The display segments of the entry over [timelineIn, timelineOut) from the connected
    // items of the whole walk.
    static std::vector<EditEntry::DisplaySegment>
    displaySegments(const EditEntry &entry, const std::vector<ConnectedItem> &connected,
                    const RoleResolver &roleResolver);
    static std::vector<EditEntry::DisplaySegment>
    displaySegments(const EditEntry &entry, const ConnectedItemsByTime &connected,
                    const RoleResolver &roleResolver);

private:
    // The collections a walk is inside of (sequences, their spines), by database and key. A
    // collection listed inside itself, directly or through compound clips, is corrupt data:
    // the walk skips the repeat instead of expanding the collection into itself.
    class OpenCollection;
    bool isOpen(const CollectionSource &db, int64_t pk) const;

    bool spendSpineItem();
    std::vector<ConnectedItem> connectedItems(int64_t pk, const CollectionSource &db,
                                              double timelineStart, double containerStart,
                                              bool enabled, std::optional<FrameRate> fallbackRate);
    EditEntry fullClipEntry(int64_t pk, const CollectionSource &db,
                            const BlobDecoder::DecodedBlob &blob, EditEntry entry,
                            double clippedStart);

    std::shared_ptr<FCPDatabaseConnection> db_;
    std::shared_ptr<const AssetStore> assetStore_;
    std::shared_ptr<const RoleResolver> roleResolver_;
    std::shared_ptr<MulticamMediaIndex> multicamIndex_;
    std::map<int64_t, std::shared_ptr<const EditDecisionList>> edlCache_;
    std::map<int64_t, std::shared_ptr<const EditDecisionList>> structureEDLCache_;
    std::map<std::string, std::map<std::string, int64_t, std::less<>>, std::less<>>
        localSequenceIndexCache_;
    std::set<std::pair<std::string, int64_t>> openCollections_;
    // After the connections it reads through, so that it goes first.
    CollectionReadModels readModels_;
    bool readModelsEnabled_ = true;
    int64_t spineItemBudget_ = maxSpineItemsPerWalk;
    int64_t spineItemsLeft_ = maxSpineItemsPerWalk;
    bool budgetExhaustedLogged_ = false;
};

} // namespace tandrel
