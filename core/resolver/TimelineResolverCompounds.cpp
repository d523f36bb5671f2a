// Compound clips: the inner sequence's spine walked in place and cut to the clip's window.

#include "core/database/CollectionReads.h"
#include "core/model/TimecodeCalculator.h"
#include "core/resolver/TimelineResolver.h"
#include "core/support/Numeric.h"

#include <algorithm>

namespace tandrel {

namespace {

// Cuts and matches of the library readers are made to this tolerance.
constexpr double sliverSeconds = 1.0 / 240.0;

// A connected item of a compound's contents cut to the window [start, end]; nothing when at
// most a sliver of it shows.
std::optional<ConnectedItemResolver::ConnectedItem>
cutToWindow(ConnectedItemResolver::ConnectedItem item, double start, double end) {
    const double p = item.timelineStart;
    const double visibleStart = std::max(start, p);
    const double visibleEnd = std::min(p + item.duration, end);
    if (!(visibleEnd - visibleStart > sliverSeconds)) {
        return std::nullopt;
    }
    if (p >= start && p + item.duration <= end) {
        return item;
    }
    item.timelineStart = visibleStart;
    item.duration = visibleEnd - visibleStart;
    const double headCut = visibleStart - p;
    if (headCut > 0 && item.correctedSourceStart) {
        *item.correctedSourceStart += headCut;
        if (item.sourceRate) {
            const auto rational = item.sourceRate->rational();
            const auto frame =
                roundToInt64(*item.correctedSourceStart * static_cast<double>(rational.num) /
                             static_cast<double>(rational.den));
            if (frame) {
                item.sourceFrameNumber = *frame;
                item.sourceTimecode = TimecodeCalculator::framesToTimecode(
                    std::max<int64_t>(0, *frame), *item.sourceRate);
            } else {
                // A start without a frame count in 64 bits shows no source position at all.
                item.sourceFrameNumber.reset();
                item.sourceTimecode.reset();
            }
        }
    }
    return item;
}

} // namespace

TimelineResolver::SpineWalk TimelineResolver::expandCompoundClip(int64_t clipPK,
                                                                 const CollectionSource &db,
                                                                 double timelineStart, int depth,
                                                                 StructureGate *structureGate) {
    if (depth > maxSpineDepth) {
        return {};
    }
    const auto mediaIdentifier = compoundMediaIdentifier(clipPK, db);
    if (!mediaIdentifier) {
        return {};
    }
    std::optional<CollectionSource> innerDB;
    int64_t sequencePK = 0;
    if (const auto location = multicamIndex_->sequenceLocation(*mediaIdentifier, db.path())) {
        innerDB = db.on(location->db);
        sequencePK = location->sequencePK;
    } else if (const auto local = localCompoundSequencePK(*mediaIdentifier, db)) {
        innerDB = db;
        sequencePK = *local;
    } else {
        return {};
    }

    const auto blob = CollectionReads::blob(db, clipPK);
    if (!blob) {
        return collectSpineEntries(sequencePK, *innerDB, timelineStart, depth + 1, structureGate);
    }
    const bool enabled = ConnectedItemResolver::isClipEnabled(*blob);
    const auto rangeText = blob->string("clippedRange");
    const auto range =
        rangeText ? TimecodeCalculator::parseCMTimeRangeString(*rangeText) : std::nullopt;
    if (!range || !(range->duration > 0)) {
        SpineWalk inner =
            collectSpineEntries(sequencePK, *innerDB, timelineStart, depth + 1, structureGate);
        if (!enabled) {
            return {.duration = inner.duration};
        }
        return inner;
    }

    const double s = range->start;
    const double d = range->duration;
    const double origin = compoundContentOrigin(sequencePK, *innerDB);
    SpineWalk inner = collectSpineEntries(sequencePK, *innerDB, timelineStart - (s - origin),
                                          depth + 1, structureGate);
    SpineWalk shown{.duration = d};
    if (!enabled) {
        return shown;
    }
    const double windowEnd = timelineStart + d;
    for (const EditEntry &entry : inner.entries) {
        if (auto cut = entry.restricted({timelineStart, windowEnd})) {
            shown.entries.push_back(std::move(*cut));
        }
    }
    for (ConnectedItem &item : inner.connected) {
        if (auto cut = cutToWindow(std::move(item), timelineStart, windowEnd)) {
            shown.connected.push_back(std::move(*cut));
        }
    }
    return shown;
}

std::optional<std::string> TimelineResolver::compoundMediaIdentifier(int64_t ofClipPK,
                                                                     const CollectionSource &db) {
    for (int64_t reference : CollectionReads::slotItems(db, ofClipPK, "media")) {
        if (CollectionReads::type(db, reference) != "FFClipRef") {
            continue;
        }
        const auto blob = CollectionReads::blob(db, reference);
        if (auto identifier = blob ? blob->string("mediaIdentifier") : std::nullopt) {
            return identifier;
        }
    }
    return std::nullopt;
}

std::optional<int64_t>
TimelineResolver::localCompoundSequencePK(std::string_view forMediaIdentifier,
                                          const CollectionSource &db) {
    auto cached = localSequenceIndexCache_.find(db.path());
    if (cached == localSequenceIndexCache_.end()) {
        std::map<std::string, int64_t, std::less<>> index;
        std::vector<FCPDatabaseConnection::CollectionRow> rows;
        try {
            rows = db.fetchCollections("FFAnchoredSequence");
        } catch (const std::exception &) {
            // An index that cannot be read stays empty for the resolver's life.
        }
        for (const auto &row : rows) {
            if (!row.blob) {
                continue;
            }
            try {
                if (auto identifier = BlobDecoder::decode(*row.blob).string("mediaIdentifier")) {
                    index.emplace(*identifier, row.pk); // the first sequence stays
                }
            } catch (const std::exception &) {
            }
        }
        cached = localSequenceIndexCache_.emplace(db.path(), std::move(index)).first;
    }
    const auto found = cached->second.find(forMediaIdentifier);
    return found == cached->second.end() ? std::nullopt : std::optional(found->second);
}

double TimelineResolver::compoundContentOrigin(int64_t sequencePK, const CollectionSource &db) {
    const auto spines = CollectionReads::slotItems(db, sequencePK, "primaryObject");
    const auto blob = spines.empty() ? nullptr : CollectionReads::blob(db, spines.front());
    const auto text = blob ? blob->string("unclippedStart") : std::nullopt;
    return text ? TimecodeCalculator::parseCMTimeString(*text).value_or(0) : 0;
}

} // namespace tandrel
