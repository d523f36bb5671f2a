#include "core/resolver/TimelineMarkerScanner.h"

#include "core/database/CollectionReads.h"
#include "core/model/TimecodeCalculator.h"

namespace tandrel {

namespace {

using DecodedBlob = BlobDecoder::DecodedBlob;

std::optional<TimecodeCalculator::TimeRange> range(const DecodedBlob &blob, std::string_view key) {
    const auto text = blob.string(key);
    return text ? TimecodeCalculator::parseCMTimeRangeString(*text) : std::nullopt;
}

std::optional<bool> completion(const DecodedBlob &blob) {
    for (std::string_view key : TimelineMarkerScanner::completionKeys) {
        const PlistValue *value = blob.value(key);
        if (!value) {
            continue;
        }
        if (const bool *flag = value->asBoolean()) {
            return *flag;
        }
        if (const int64_t *number = value->asInteger()) {
            return *number != 0;
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<ScannedMarker> TimelineMarkerScanner::scan(int64_t timelineID,
                                                       FCPDatabaseConnection &db,
                                                       TimelineResolver &resolver) {
    const auto session = resolver.readSession();
    const auto list = resolver.markerScanEDL(timelineID);
    std::vector<ScannedMarker> found;
    const auto append = [&](std::vector<ScannedMarker> markers) {
        std::move(markers.begin(), markers.end(), std::back_inserter(found));
    };
    for (const EditEntry &entry : list->entries()) {
        // An entry inside a compound clip whose sequence lives in another event keeps its
        // collection key in that event's database: read it there.
        FCPDatabaseConnection *entryDB =
            entry.databasePath.empty() || entry.databasePath == db.path()
                ? &db
                : resolver.connection(entry.databasePath);
        if (!entryDB) {
            continue;
        }
        const CollectionSource source = resolver.source(*entryDB);
        const double start = rawSourceStart(entry.collectionPK, source).value_or(entry.sourceIn);
        append(markers(entry.collectionPK, source, entry.timelineIn, start, std::nullopt,
                       entry.clipName));

        // One walk over all of the entry's connections: each collection is met once.
        const auto connected = ConnectedItemResolver::findConnectedItems(
            entry.collectionPK, entry.timelineIn, start, true, {source});
        for (const auto &item : connected) {
            if (item.isEnabled) {
                append(markers(item.collectionPK, source, item.timelineStart, item.sourceStart,
                               item.roleUID, item.name));
            }
        }
    }
    return found;
}

std::vector<ScannedMarker>
TimelineMarkerScanner::markers(int64_t anchoredTo, const CollectionSource &db,
                               double containerTimelineStart, double containerSourceStart,
                               const std::optional<std::string> &roleUID,
                               const std::optional<std::string> &containingClipName) {
    std::vector<ScannedMarker> found;
    for (int64_t child : CollectionReads::slotItems(db, anchoredTo, "anchoredItems")) {
        if (CollectionReads::type(db, child) != "FFAnchoredTimeMarker") {
            continue;
        }
        const auto blob = CollectionReads::blob(db, child);
        if (!blob) {
            continue;
        }
        ScannedMarker marker{.markerPK = child,
                             .text = blob->string("displayName").value_or("Marker"),
                             .roleUID = roleUID,
                             .containingClipName = containingClipName};
        const bool isChapter = blob->boolean("isChapter").value_or(false);
        const bool isTodo = blob->hasKey("isTodo");
        marker.type = isChapter ? MarkerType::chapter
                      : isTodo  ? MarkerType::todo
                                : MarkerType::standard;
        if (isChapter) {
            if (const auto *metadata = blob->dictionary("metadata")) {
                if (const auto note = metadata->find("notes"); note != metadata->end()) {
                    marker.chapterNote = note->second.stringValue();
                }
            }
        }
        if (isTodo) {
            marker.completed = completion(*blob);
        }
        const auto clipped = range(*blob, "clippedRange");
        const auto anchor = range(*blob, "anchorPair");
        marker.timelinePositionSeconds = containerTimelineStart + (clipped ? clipped->start : 0) +
                                         (anchor ? anchor->duration - anchor->start : 0) -
                                         containerSourceStart;
        found.push_back(std::move(marker));
    }
    return found;
}

std::optional<double> TimelineMarkerScanner::rawSourceStart(int64_t of,
                                                            const CollectionSource &db) {
    const auto blob = CollectionReads::blob(db, of);
    const auto clipped = blob ? range(*blob, "clippedRange") : std::nullopt;
    return clipped ? std::optional(clipped->start) : std::nullopt;
}

} // namespace tandrel
