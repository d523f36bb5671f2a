#pragma once

#include "core/database/AssetStore.h"
#include "core/database/BlobDecoder.h"
#include "core/database/CollectionSource.h"
#include "core/model/FrameRate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

class MulticamMediaIndex;

// Everything connected to one clip of a timeline's spine: connected clips, connected
// storylines and their members, auditions through their active pick, and what is connected to
// those in turn, each with its place on the timeline, lane, enabled state, role and, when an
// asset store is given, its source facts. Stateless; never throws: an item that cannot be
// read is dropped with what hangs below it.
struct ConnectedItemResolver {
    struct ConnectedItem {
        // For an audition: its active pick.
        int64_t collectionPK = 0;
        std::optional<std::string> name = {};
        // The collection's class name; "?" for a storyline member without one.
        std::string type = {};
        // 0 is the spine; positive lanes lie above it, negative ones below.
        int64_t lane = 0;
        // Seconds on the timeline.
        double timelineStart = 0;
        double duration = 0;
        // Start of the item's clipped range in its own time, seconds.
        double sourceStart = 0;
        std::optional<std::string> roleUID = {};
        // False when the item or anything it hangs on is disabled.
        bool isEnabled = true;
        std::optional<std::string> reelName = {};
        // Scene and shot joined with "/".
        std::optional<std::string> sceneShot = {};
        std::optional<std::string> sourceFileName = {};
        // SMPTE text and frame count of `correctedSourceStart` at `sourceRate`.
        std::optional<std::string> sourceTimecode = {};
        std::optional<int64_t> sourceFrameNumber = {};
        std::optional<double> correctedSourceStart = {};
        std::optional<FrameRate> sourceRate = {};

        // Lane 1 above the spine is video layer 2; nothing below lane 1.
        std::optional<int64_t> videoLaneNumber() const;
        std::optional<int64_t> sourceFpsNum() const;
        std::optional<int64_t> sourceFpsDen() const;
        std::optional<std::string> sourceRateString() const;

        friend bool operator==(const ConnectedItem &, const ConnectedItem &) = default;
    };

    // What a walk reads through. Without an asset store no source facts are filled.
    struct Sources {
        CollectionSource db;
        const AssetStore *assetStore = nullptr;
        MulticamMediaIndex *multicamIndex = nullptr;
        // The rate of an item whose asset states none (used only when the asset is known by
        // name or media identifier).
        std::optional<FrameRate> fallbackRate = {};
    };

    // What an item hangs on: its position on the timeline, its start in its own time, its lane
    // (taken by items without a lane of their own) and whether it plays.
    struct Container {
        double position = 0;
        double start = 0;
        int64_t lane = 0;
        bool enabled = true;
    };

    // Items at depths 0 to `maxDepth` below the spine clip are visited.
    static constexpr int maxDepth = 7;
    // The lane value that means "the container's lane".
    static constexpr int64_t inheritedLaneMarker = 999999;

    // The items connected to a spine clip placed at `spineClipTimelineStart` whose clipped
    // range starts at `parentStart`, in walk order: an item before what is connected to it.
    static std::vector<ConnectedItem> findConnectedItems(int64_t forSpineClipPK,
                                                         double spineClipTimelineStart,
                                                         double parentStart, bool spineClipEnabled,
                                                         const Sources &sources);
    // One child of an "anchoredItems" collection and what hangs below it, appended to `out`.
    static void handle(int64_t pk, const Container &container, int depth, const Sources &sources,
                       std::vector<ConnectedItem> &out);

    // "playEnable" as an integer (non-zero plays), else as a boolean; plays when absent.
    static bool isClipEnabled(const BlobDecoder::DecodedBlob &blob);
    // The role of the audio layout item with the lowest first channel below the item's
    // "audioComponentsLayoutMap".
    static std::optional<std::string> channelSourceRoleUID(int64_t of, const CollectionSource &db);
    // The first "roleUID" among the item's descendants, depth-first, connected items left out.
    static std::optional<std::string> innerRoleUID(int64_t of, const CollectionSource &db,
                                                   int depth = 0);
    // Reel, scene/shot, file name and, with a rate, the corrected source start with its frame
    // count and timecode. Needs `sources.assetStore`.
    static void resolveAssetFields(ConnectedItem &into, int64_t pk, const Sources &sources);
};

} // namespace tandrel
