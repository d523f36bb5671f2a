// Single facts of a clip or a timeline: title detection, markers, transform, stabilisation,
// frame size, start and rate.

#include "core/database/CollectionReads.h"
#include "core/database/CollectionVisits.h"
#include "core/model/TimecodeCalculator.h"
#include "core/resolver/TimelineResolver.h"
#include "core/support/Numeric.h"
#include "core/support/TextSplit.h"
#include "core/support/UnicodeText.h"

#include <array>
#include <limits>

namespace tandrel {

namespace {

using DecodedBlob = BlobDecoder::DecodedBlob;

constexpr int maxTitleDepth = 5;
constexpr int maxEffectDepth = 7;

std::optional<std::string> dictionaryText(const PlistValue::Dictionary *dictionary,
                                          std::string_view key) {
    if (!dictionary) {
        return std::nullopt;
    }
    const auto found = dictionary->find(key);
    return found == dictionary->end() ? std::nullopt : found->second.stringValue();
}

// Each search below enters a collection once: the editor's collections form a tree, so this
// changes no answer there, and it keeps crafted fan-outs linear.
bool titleBelow(int64_t pk, const CollectionSource &db, int depth, CollectionVisits &visits) {
    if (depth > maxTitleDepth) {
        return false;
    }
    for (int64_t child : CollectionReads::children(db, pk)) {
        if (!visits.enter(child)) {
            continue;
        }
        const auto info = CollectionReads::kind(db, child);
        if (info && info->name == "persistedAnchoredObject") {
            continue;
        }
        const auto blob = CollectionReads::blob(db, child);
        if (blob && blob->string("effectType") == "effect.video.title") {
            return true;
        }
        if (titleBelow(child, db, depth + 1, visits)) {
            return true;
        }
    }
    return false;
}

void markersBelow(int64_t pk, const CollectionSource &db, int depth, CollectionVisits &visits,
                  std::vector<MarkerInfo> &out) {
    if (depth > maxEffectDepth) {
        return;
    }
    for (int64_t child : CollectionReads::slotItems(db, pk, "anchoredItems")) {
        const auto type = CollectionReads::type(db, child);
        if (!type || !visits.enter(child)) {
            continue;
        }
        if (*type == "FFAnchoredTimeMarker") {
            const auto blob = CollectionReads::blob(db, child);
            if (!blob) {
                continue;
            }
            MarkerInfo marker{.text = blob->string("displayName").value_or("Marker")};
            if (blob->boolean("isChapter").value_or(false)) {
                marker.type = MarkerType::chapter;
                marker.chapterNote = dictionaryText(blob->dictionary("metadata"), "notes");
            } else if (blob->hasKey("isTodo")) {
                marker.type = MarkerType::todo;
            } else {
                marker.type = MarkerType::standard;
            }
            out.push_back(std::move(marker));
        } else if (type->find("Marker") == std::string::npos) {
            // A connected clip: its markers follow in place.
            markersBelow(child, db, depth + 1, visits, out);
        }
    }
}

std::optional<TransformParser::TransformValues>
transformBelow(int64_t pk, const CollectionSource &db, int depth, CollectionVisits &visits) {
    if (depth > maxEffectDepth) {
        return std::nullopt;
    }
    for (int64_t child : CollectionReads::children(db, pk)) {
        const auto info = CollectionReads::kind(db, child);
        if ((info && info->name == "anchoredItems") || !visits.enter(child)) {
            continue;
        }
        if (info && info->type == "FFHeXForm3DEffect") {
            const auto blob = CollectionReads::blob(db, child);
            if (const Bytes *data = blob ? blob->data("channelData") : nullptr) {
                // The parser passes the document through the entity guard first.
                const auto values = *db.decoded(*data, &TransformParser::parse);
                if (values && values->isModified()) {
                    return values;
                }
            }
        }
        if (auto found = transformBelow(child, db, depth + 1, visits)) {
            return found;
        }
    }
    return std::nullopt;
}

std::optional<bool> stabilizationBelow(int64_t pk, const CollectionSource &db, int depth,
                                       CollectionVisits &visits) {
    if (depth > maxEffectDepth) {
        return std::nullopt;
    }
    bool sawVideoEffect = false;
    for (int64_t child : CollectionReads::children(db, pk)) {
        const auto info = CollectionReads::kind(db, child);
        if ((info && (info->name == "anchoredItems" || info->name == "persistedAnchoredObject")) ||
            !visits.enter(child)) {
            continue;
        }
        const std::optional<std::string_view> type = info ? info->type : std::nullopt;
        if (type == "FFStabilizationEffect") {
            const auto blob = CollectionReads::blob(db, child);
            if (blob && blob->data("channelData")) {
                return true;
            }
            sawVideoEffect = true;
            continue;
        }
        if (type == "FFEffectStack") {
            const auto blob = CollectionReads::blob(db, child);
            if (blob && blob->string("filterType") == "video") {
                sawVideoEffect = true;
            }
        }
        if (const auto found = stabilizationBelow(child, db, depth + 1, visits)) {
            if (*found) {
                return true;
            }
            sawVideoEffect = true;
        }
    }
    return sawVideoEffect ? std::optional(false) : std::nullopt;
}

std::shared_ptr<const DecodedBlob> firstSlotItemBlob(const CollectionSource &db, int64_t pk,
                                                     std::string_view slot) {
    const auto items = CollectionReads::slotItems(db, pk, slot);
    return items.empty() ? nullptr : CollectionReads::blob(db, items.front());
}

// A sequence info's drop-frame flag, a Boolean or a number; false when it states none.
bool statedDropFrame(const DecodedBlob &sequenceInfo) {
    if (const PlistValue *value = sequenceInfo.value("timecodeDisplayDropFrame")) {
        if (const bool *flag = value->asBoolean()) {
            return *flag;
        }
        if (const int64_t *number = value->asInteger()) {
            return *number != 0;
        }
    }
    return false;
}

} // namespace

bool TimelineResolver::generatorIsTitle(int64_t pk, const CollectionSource &db) {
    CollectionVisits visits;
    visits.enter(pk);
    return titleBelow(pk, db, 0, visits);
}

std::vector<MarkerInfo> TimelineResolver::findMarkers(int64_t forSpineClipPK,
                                                      const CollectionSource &db) {
    std::vector<MarkerInfo> markers;
    CollectionVisits visits;
    visits.enter(forSpineClipPK);
    markersBelow(forSpineClipPK, db, 0, visits, markers);
    return markers;
}

std::optional<TimelineResolver::TransformValues>
TimelineResolver::loadTransformInfo(int64_t forClipPK, const CollectionSource &db) {
    CollectionVisits visits;
    visits.enter(forClipPK);
    return transformBelow(forClipPK, db, 0, visits);
}

std::optional<bool> TimelineResolver::loadStabilizationInfo(int64_t forClipPK,
                                                            const CollectionSource &db) {
    CollectionVisits visits;
    visits.enter(forClipPK);
    return stabilizationBelow(forClipPK, db, 0, visits);
}

std::optional<Size> TimelineResolver::parseVideoProps(std::string_view text) {
    const TextWithout bare(text, "{}");
    // The third and fourth of the numbers, without a list of them.
    std::array<double, 4> numbers{};
    size_t count = 0;
    std::string_view rest = bare.view();
    while (count < numbers.size() && !rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (const auto number = parseFiniteDouble(trimmingWhitespaceAndNewlines(piece))) {
            numbers[count++] = *number;
        }
    }
    if (count < numbers.size()) {
        return std::nullopt;
    }
    return Size{numbers[2], numbers[3]};
}

std::optional<FrameRate> TimelineResolver::frameRate(std::string_view fromDurationString) {
    const auto fraction = AssetStore::parseFraction(fromDurationString);
    if (!fraction || fraction->second < std::numeric_limits<int32_t>::min() ||
        fraction->second > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return FrameRate::from(fraction->first, static_cast<int32_t>(fraction->second));
}

std::optional<Size> TimelineResolver::timelineResolution(int64_t timelineID) {
    const auto blob = firstSlotItemBlob(source(*db_), timelineID, "primaryObject");
    const auto rectangle =
        blob ? dictionaryText(blob->dictionary("videoProps"), "PB") : std::nullopt;
    return rectangle ? parseVideoProps(*rectangle) : std::nullopt;
}

std::optional<ProjectTimecodeInfo> TimelineResolver::projectTimecodeInfo(int64_t timelineID) {
    const auto blob = firstSlotItemBlob(source(*db_), timelineID, "sequenceInfo");
    const auto rangeText = blob ? blob->string("mediaRange") : std::nullopt;
    const auto range =
        rangeText ? TimecodeCalculator::parseCMTimeRangeString(*rangeText) : std::nullopt;
    if (!range) {
        return std::nullopt;
    }
    const bool dropFrame = statedDropFrame(*blob);
    ProjectTimecodeInfo info{.startSeconds = range->start};
    const auto durationText = blob->string("timecodeFrameDuration");
    if (const auto stated = durationText ? frameRate(*durationText) : std::nullopt) {
        FrameRate rate = *stated;
        if (dropFrame && rate == FrameRate::fps29_97ndf) {
            rate = FrameRate::fps29_97df;
        } else if (dropFrame && rate == FrameRate::fps59_94ndf) {
            rate = FrameRate::fps59_94df;
        }
        info.rate = rate;
    }
    return info;
}

std::optional<bool> TimelineResolver::timelineDropFrame(int64_t timelineID) {
    const auto blob = firstSlotItemBlob(source(*db_), timelineID, "sequenceInfo");
    return blob ? std::optional(statedDropFrame(*blob)) : std::nullopt;
}

} // namespace tandrel
