#include "core/resolver/AssetInfoResolver.h"

#include "core/database/CollectionReads.h"
#include "core/database/CollectionVisits.h"
#include "core/model/TimecodeCalculator.h"
#include "core/resolver/MulticamMediaIndex.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

using AssetInfo = AssetInfoResolver::AssetInfo;

std::optional<double> clippedStart(const BlobDecoder::DecodedBlob &blob) {
    const auto text = blob.string("clippedRange");
    const auto range = text ? TimecodeCalculator::parseCMTimeRangeString(*text) : std::nullopt;
    return range ? std::optional(range->start) : std::nullopt;
}

template <typename T> void fillIfAbsent(std::optional<T> &field, const std::optional<T> &value) {
    if (!field) {
        field = value;
    }
}

// The eight fields that collections met along the way contribute: reel to notes and the three
// offsets. `into` keeps what it has.
void fillClipFields(AssetInfo &into, const AssetInfo &from) {
    fillIfAbsent(into.reel, from.reel);
    fillIfAbsent(into.scene, from.scene);
    fillIfAbsent(into.shot, from.shot);
    fillIfAbsent(into.angle, from.angle);
    fillIfAbsent(into.notes, from.notes);
    fillIfAbsent(into.videoCollectionStart, from.videoCollectionStart);
    fillIfAbsent(into.videoMediaComponentStart, from.videoMediaComponentStart);
    fillIfAbsent(into.multicamAngleClockOffset, from.multicamAngleClockOffset);
}

void readCollectionMetadata(AssetInfo &into, const BlobDecoder::DecodedBlob &blob) {
    if (const auto *metadata = blob.dictionary("metadata")) {
        const auto text = [&](std::string_view key) -> std::optional<std::string> {
            auto found = metadata->find(key);
            return found == metadata->end() ? std::nullopt : found->second.stringValue();
        };
        fillIfAbsent(into.reel, text("reel"));
        fillIfAbsent(into.scene, text("scene"));
        fillIfAbsent(into.shot, text("shot"));
        fillIfAbsent(into.angle, text("angle"));
        fillIfAbsent(into.notes, text("notes"));
    }
    fillIfAbsent(into.videoCollectionStart, clippedStart(blob));
}

} // namespace

namespace {

struct AssetWalk {
    const CollectionSource &db;
    const AssetStore &assetStore;
    MulticamMediaIndex *multicamIndex;
    const std::optional<std::string> &videoAngle;
    std::optional<double> outerStart;
    CollectionVisits visits = {};

    AssetInfo below(int64_t pk, int depth);
};

AssetInfo AssetWalk::below(int64_t pk, int depth) {
    AssetInfo accumulator;
    if (depth > AssetInfoResolver::maxDepth) {
        return accumulator;
    }
    for (int64_t child : CollectionReads::children(db, pk)) {
        const auto info = CollectionReads::kind(db, child);
        if (!info || info->name == "anchoredItems" || !visits.enter(child)) {
            continue;
        }
        const std::string_view type = info->type.value_or("");
        if (type == "FFAssetRef") {
            if (const auto blob = CollectionReads::blob(db, child)) {
                const auto mediaID = blob->string("mediaIdentifier");
                const auto displayName = blob->string("displayName");
                const auto asset = mediaID ? assetStore.resolve(*mediaID) : std::nullopt;
                AssetInfo found = accumulator;
                found.name = displayName ? displayName
                             : asset     ? std::optional(asset->fileName)
                                         : std::nullopt;
                found.mediaID = mediaID;
                found.rate = asset ? asset->frameRate : std::nullopt;
                return found;
            }
        } else if (type == "FFClipRef" && multicamIndex) {
            const auto blob = CollectionReads::blob(db, child);
            const auto mediaID = blob ? blob->string("mediaIdentifier") : std::nullopt;
            if (mediaID) {
                if (auto multicam = multicamIndex->resolve(*mediaID, videoAngle, assetStore,
                                                           db.path(), outerStart, db.models())) {
                    multicam->videoCollectionStart.reset();
                    multicam->videoMediaComponentStart.reset();
                    return *multicam;
                }
            }
        } else if (type == "FFAnchoredCollection") {
            if (const auto blob = CollectionReads::blob(db, child)) {
                readCollectionMetadata(accumulator, *blob);
            }
        } else if (type == "FFAnchoredMediaComponent") {
            if (const auto blob = CollectionReads::blob(db, child)) {
                fillIfAbsent(accumulator.videoMediaComponentStart, clippedStart(*blob));
            }
        }
        const AssetInfo deeper = below(child, depth + 1);
        if (deeper.name || deeper.mediaID) {
            // The deeper find wins; what it lacks comes from the collections met up here.
            AssetInfo found = deeper;
            fillClipFields(found, accumulator);
            return found;
        }
        fillClipFields(accumulator, deeper);
    }
    return accumulator;
}

} // namespace

AssetInfo AssetInfoResolver::findAssetInfo(int64_t pk, const CollectionSource &db,
                                           const AssetStore &assetStore,
                                           MulticamMediaIndex *multicamIndex,
                                           const std::optional<std::string> &videoAngle,
                                           std::optional<double> outerStart, int depth) {
    AssetWalk walk{db, assetStore, multicamIndex, videoAngle, outerStart};
    walk.visits.enter(pk);
    return walk.below(pk, depth);
}

double AssetInfoResolver::correctedSourceIn(
    double outerStart, const AssetInfo &info,
    const std::optional<std::vector<TimeMapKeypoint>> &wrapperTimeMap) {
    const double s = outerStart;
    if (info.multicamAngleClockOffset) {
        const double offset = *info.multicamAngleClockOffset;
        return std::abs(offset) > tolerance ? s + offset : s;
    }
    if (!info.videoCollectionStart || !info.videoMediaComponentStart) {
        return s;
    }
    const double c = *info.videoCollectionStart;
    const double m = *info.videoMediaComponentStart;
    if (std::abs(s - c) <= tolerance) {
        return c;
    }
    if (const double d = s - m; d >= -tolerance) {
        return c + d;
    }
    const auto mapped = evaluateTimeMap(wrapperTimeMap, s);
    if (!mapped) {
        return c;
    }
    const double d = *mapped - m;
    return d >= -tolerance ? c + d : c;
}

std::optional<double>
AssetInfoResolver::evaluateTimeMap(const std::optional<std::vector<TimeMapKeypoint>> &timeMap,
                                   double at) {
    if (!timeMap || timeMap->size() < 2) {
        return std::nullopt;
    }
    std::vector<TimeMapKeypoint> keypoints = *timeMap;
    std::stable_sort(keypoints.begin(), keypoints.end(), [](const auto &a, const auto &b) {
        return a.timelineSeconds < b.timelineSeconds;
    });
    if (!(at >= keypoints.front().timelineSeconds - tolerance &&
          at <= keypoints.back().timelineSeconds + tolerance)) {
        return std::nullopt;
    }
    // After the test above the last keypoint always qualifies.
    size_t k = 1;
    while (k + 1 < keypoints.size() && !(keypoints[k].timelineSeconds + tolerance >= at)) {
        ++k;
    }
    const auto &p = keypoints[k - 1];
    const auto &next = keypoints[k];
    const double span = next.timelineSeconds - p.timelineSeconds;
    const double value = span <= tolerance
                             ? p.sourceSeconds
                             : p.sourceSeconds + (at - p.timelineSeconds) / span *
                                                     (next.sourceSeconds - p.sourceSeconds);
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

} // namespace tandrel
