#include "core/resolver/ConnectedItemResolver.h"

#include "core/database/CollectionReads.h"
#include "core/database/CollectionVisits.h"
#include "core/database/RetimeParser.h"
#include "core/model/TimecodeCalculator.h"
#include "core/resolver/AssetInfoResolver.h"
#include "core/resolver/MulticamMediaIndex.h"
#include "core/support/Numeric.h"

#include <algorithm>
#include <limits>
#include <set>

namespace tandrel {

namespace {

using ConnectedItem = ConnectedItemResolver::ConnectedItem;
using Container = ConnectedItemResolver::Container;
using Sources = ConnectedItemResolver::Sources;
using DecodedBlob = BlobDecoder::DecodedBlob;

void handleItem(int64_t pk, const Container &container, int depth, const Sources &sources,
                CollectionVisits &visits, std::vector<ConnectedItem> &out);

constexpr int maxRoleDepth = 8;
constexpr int maxLayoutDepth = 9;

std::optional<TimecodeCalculator::TimeRange> range(const DecodedBlob &blob, std::string_view key) {
    const auto text = blob.string(key);
    return text ? TimecodeCalculator::parseCMTimeRangeString(*text) : std::nullopt;
}

// Second minus first of "anchorPair"; 0 when it does not read.
double anchorOffset(const DecodedBlob &blob) {
    const auto pair = range(blob, "anchorPair");
    return pair ? pair->duration - pair->start : 0;
}

int64_t laneOf(const DecodedBlob &blob, int64_t inherited) {
    const auto lane = blob.integer("anchoredLane");
    return lane && *lane != ConnectedItemResolver::inheritedLaneMarker ? *lane : inherited;
}

std::optional<std::string> roleOf(int64_t pk, const DecodedBlob &blob, const CollectionSource &db) {
    if (auto role = ConnectedItemResolver::channelSourceRoleUID(pk, db)) {
        return role;
    }
    if (auto role = blob.string("roleUID")) {
        return role;
    }
    return ConnectedItemResolver::innerRoleUID(pk, db);
}

struct LayoutItem {
    std::string uid;
    int64_t channel;
};

// The first channel of a layout item: "channelMap"'s first element as a decimal integer, the
// largest integer when it does not read.
int64_t firstChannel(const DecodedBlob &blob) {
    const auto *map = blob.array("channelMap");
    if (!map || map->empty()) {
        return std::numeric_limits<int64_t>::max();
    }
    const auto text = map->front().stringValue();
    const auto channel = text ? parseDecimalInt64(*text) : std::nullopt;
    return channel.value_or(std::numeric_limits<int64_t>::max());
}

void collectLayoutItems(int64_t pk, const CollectionSource &db, std::set<int64_t> &seen, int depth,
                        std::vector<LayoutItem> &out) {
    if (depth > maxLayoutDepth || !seen.insert(pk).second) {
        return;
    }
    if (CollectionReads::type(db, pk) == "FFMutableAudioClipComponentsLayoutItem") {
        const auto blob = CollectionReads::blob(db, pk);
        if (auto uid = blob ? blob->string("roleUID") : std::nullopt) {
            out.push_back({*uid, firstChannel(*blob)});
        }
    }
    for (int64_t child : CollectionReads::children(db, pk)) {
        collectLayoutItems(child, db, seen, depth + 1, out);
    }
}

void recurseIntoAnchored(int64_t pk, const Container &container, int depth, const Sources &sources,
                         CollectionVisits &visits, std::vector<ConnectedItem> &out) {
    for (int64_t child : CollectionReads::slotItems(sources.db, pk, "anchoredItems")) {
        handleItem(child, container, depth, sources, visits, out);
    }
}

void appendWithAssetFields(ConnectedItem item, const ConnectedItemResolver::Sources &sources,
                           std::vector<ConnectedItem> &out) {
    if (sources.assetStore) {
        ConnectedItemResolver::resolveAssetFields(item, item.collectionPK, sources);
    }
    out.push_back(std::move(item));
}

// An audition: the stack places, its active pick is the item.
void handleAudition(int64_t stack, const DecodedBlob &stackBlob, const Container &container,
                    int depth, const Sources &sources, CollectionVisits &visits,
                    std::vector<ConnectedItem> &out) {
    const CollectionSource &db = sources.db;
    const auto pick = db.resolveActivePick(stack);
    const auto pickBlob = pick ? CollectionReads::blob(db, *pick) : nullptr;
    const auto pickType = pickBlob ? CollectionReads::type(db, *pick) : std::nullopt;
    if (!pickType || !visits.enter(*pick)) {
        return;
    }
    const auto clipped = range(*pickBlob, "clippedRange");
    ConnectedItem item;
    item.collectionPK = *pick;
    item.name = pickBlob->string("displayName");
    item.type = *pickType;
    item.lane = laneOf(stackBlob, container.lane);
    item.isEnabled = container.enabled && ConnectedItemResolver::isClipEnabled(stackBlob);
    item.sourceStart = clipped ? clipped->start : 0;
    item.duration = clipped ? clipped->duration : 0;
    item.timelineStart =
        container.position + anchorOffset(stackBlob) + item.sourceStart - container.start;
    item.roleUID = roleOf(*pick, *pickBlob, db);
    const ConnectedItemResolver::Container below{item.timelineStart, item.sourceStart, item.lane,
                                                 item.isEnabled};
    appendWithAssetFields(item, sources, out);
    recurseIntoAnchored(*pick, below, depth + 1, sources, visits, out);
}

// A connected storyline: not an item itself; its members follow one another from its place.
void handleStoryline(int64_t storyline, double position, int64_t lane, bool enabled, int depth,
                     const Sources &sources, CollectionVisits &visits,
                     std::vector<ConnectedItem> &out) {
    const CollectionSource &db = sources.db;
    double offset = 0;
    for (int64_t member : CollectionReads::orderedContainedItems(db, storyline)) {
        if (!visits.enter(member)) {
            continue;
        }
        int64_t key = member;
        auto blob = CollectionReads::blob(db, key);
        if (!blob) {
            continue; // a member without blob takes no room
        }
        std::string type = CollectionReads::type(db, key).value_or("?");
        const bool memberEnabled = enabled && ConnectedItemResolver::isClipEnabled(*blob);
        if (type == "FFAnchoredStack") {
            const auto pick = db.resolveActivePick(key);
            if (auto pickBlob = pick ? CollectionReads::blob(db, *pick) : nullptr) {
                key = *pick;
                blob = std::move(pickBlob);
                type = CollectionReads::type(db, key).value_or("?");
            }
        }
        const auto clipped = range(*blob, "clippedRange");
        ConnectedItem item;
        item.collectionPK = key;
        item.name = blob->string("displayName");
        item.type = type;
        item.lane = lane;
        item.timelineStart = position + offset;
        item.duration = clipped ? clipped->duration : 0;
        item.sourceStart = clipped ? clipped->start : 0;
        item.roleUID = roleOf(key, *blob, db);
        item.isEnabled = memberEnabled;
        appendWithAssetFields(item, sources, out);
        recurseIntoAnchored(key, {position + offset, item.sourceStart, lane, memberEnabled},
                            depth + 1, sources, visits, out);
        // A range running backwards takes no room rather than pulling later members back.
        offset += std::max(0.0, item.duration);
    }
}

void handleItem(int64_t pk, const Container &container, int depth, const Sources &sources,
                CollectionVisits &visits, std::vector<ConnectedItem> &out) {
    if (depth > ConnectedItemResolver::maxDepth || !visits.enter(pk)) {
        return;
    }
    const CollectionSource &db = sources.db;
    const auto type = CollectionReads::type(db, pk);
    if (!type || type->find("Marker") != std::string::npos) {
        return;
    }
    const auto blob = CollectionReads::blob(db, pk);
    if (!blob) {
        return;
    }
    if (*type == "FFAnchoredStack") {
        handleAudition(pk, *blob, container, depth, sources, visits, out);
        return;
    }
    const auto clipped = range(*blob, "clippedRange");
    const int64_t lane = laneOf(*blob, container.lane);
    const bool enabled = container.enabled && ConnectedItemResolver::isClipEnabled(*blob);
    const double position =
        container.position + anchorOffset(*blob) + (clipped ? clipped->start : 0) - container.start;
    if (!clipped && db.childPK(pk, "containedItems")) {
        handleStoryline(pk, position, lane, enabled, depth, sources, visits, out);
        return;
    }
    ConnectedItem item;
    item.collectionPK = pk;
    item.name = blob->string("displayName");
    item.type = *type;
    item.lane = lane;
    item.timelineStart = position;
    item.duration = clipped ? clipped->duration : 0;
    item.sourceStart = clipped ? clipped->start : 0;
    item.roleUID = roleOf(pk, *blob, db);
    item.isEnabled = enabled;
    const Container below{item.timelineStart, item.sourceStart, lane, enabled};
    appendWithAssetFields(item, sources, out);
    recurseIntoAnchored(pk, below, depth + 1, sources, visits, out);
}

} // namespace

std::optional<int64_t> ConnectedItem::videoLaneNumber() const {
    int64_t number = 0;
    if (lane < 1 || __builtin_add_overflow(lane, int64_t{1}, &number)) {
        return std::nullopt;
    }
    return number;
}

std::optional<int64_t> ConnectedItem::sourceFpsNum() const {
    return sourceRate ? std::optional(sourceRate->rational().num) : std::nullopt;
}

std::optional<int64_t> ConnectedItem::sourceFpsDen() const {
    return sourceRate ? std::optional(sourceRate->rational().den) : std::nullopt;
}

std::optional<std::string> ConnectedItem::sourceRateString() const {
    return sourceRate ? std::optional(std::string(sourceRate->timecodeRateString())) : std::nullopt;
}

std::vector<ConnectedItem> ConnectedItemResolver::findConnectedItems(int64_t forSpineClipPK,
                                                                     double spineClipTimelineStart,
                                                                     double parentStart,
                                                                     bool spineClipEnabled,
                                                                     const Sources &sources) {
    std::vector<ConnectedItem> out;
    CollectionVisits visits;
    recurseIntoAnchored(forSpineClipPK, {spineClipTimelineStart, parentStart, 0, spineClipEnabled},
                        0, sources, visits, out);
    return out;
}

void ConnectedItemResolver::handle(int64_t pk, const Container &container, int depth,
                                   const Sources &sources, std::vector<ConnectedItem> &out) {
    CollectionVisits visits;
    handleItem(pk, container, depth, sources, visits, out);
}

bool ConnectedItemResolver::isClipEnabled(const DecodedBlob &blob) {
    if (const auto value = blob.integer("playEnable")) {
        return *value != 0;
    }
    return blob.boolean("playEnable").value_or(true);
}

std::optional<std::string> ConnectedItemResolver::channelSourceRoleUID(int64_t of,
                                                                       const CollectionSource &db) {
    const auto layout = db.childPK(of, "audioComponentsLayoutMap");
    if (!layout) {
        return std::nullopt;
    }
    std::vector<LayoutItem> items;
    std::set<int64_t> seen;
    collectLayoutItems(*layout, db, seen, 0, items);
    const LayoutItem *lowest = nullptr;
    for (const auto &item : items) {
        if (!lowest || item.channel < lowest->channel) {
            lowest = &item;
        }
    }
    return lowest ? std::optional(lowest->uid) : std::nullopt;
}

namespace {

std::optional<std::string> innerRoleBelow(int64_t of, const CollectionSource &db, int depth,
                                          CollectionVisits &visits) {
    if (depth >= maxRoleDepth) {
        return std::nullopt;
    }
    for (int64_t child : CollectionReads::children(db, of)) {
        const auto info = CollectionReads::kind(db, child);
        if ((info && info->name == "anchoredItems") || !visits.enter(child)) {
            continue;
        }
        const auto blob = CollectionReads::blob(db, child);
        if (auto role = blob ? blob->string("roleUID") : std::nullopt) {
            return role;
        }
        if (auto role = innerRoleBelow(child, db, depth + 1, visits)) {
            return role;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string>
ConnectedItemResolver::innerRoleUID(int64_t of, const CollectionSource &db, int depth) {
    CollectionVisits visits;
    visits.enter(of);
    return innerRoleBelow(of, db, depth, visits);
}

void ConnectedItemResolver::resolveAssetFields(ConnectedItem &into, int64_t pk,
                                               const Sources &sources) {
    const CollectionSource &db = sources.db;
    const auto blob = CollectionReads::blob(db, pk);
    std::optional<std::string> angle = blob ? blob->string("videoAngle") : std::nullopt;
    if (!angle && blob) {
        if (const auto *audioAngles = blob->array("audioAngles")) {
            for (const auto &element : *audioAngles) {
                if ((angle = element.stringValue())) {
                    break;
                }
            }
        }
    }
    const auto info = AssetInfoResolver::findAssetInfo(
        pk, db, *sources.assetStore, sources.multicamIndex, angle, into.sourceStart);
    into.reelName = info.reel;
    if (info.scene && info.shot) {
        into.sceneShot = *info.scene + "/" + *info.shot;
    } else {
        into.sceneShot = info.scene ? info.scene : info.shot;
    }
    into.sourceFileName = info.name;
    std::optional<FrameRate> rate = info.rate;
    if (!rate && (info.name || info.mediaID)) {
        rate = sources.fallbackRate;
    }
    if (!rate) {
        return;
    }
    const auto retime = RetimeParser::find(pk, db);
    const auto timeMap = retime ? std::optional(retime->timeMapKeypoints) : std::nullopt;
    const double corrected = AssetInfoResolver::correctedSourceIn(into.sourceStart, info, timeMap);
    const auto rational = rate->rational();
    // A start whose frame count has no integer value is left out with the rest of the timing.
    const auto frame = roundToInt64(
        corrected * (static_cast<double>(rational.num) / static_cast<double>(rational.den)));
    if (!frame) {
        return;
    }
    into.correctedSourceStart = corrected;
    into.sourceFrameNumber = *frame;
    into.sourceTimecode = TimecodeCalculator::framesToTimecode(std::max<int64_t>(0, *frame), *rate);
    into.sourceRate = rate;
}

} // namespace tandrel
