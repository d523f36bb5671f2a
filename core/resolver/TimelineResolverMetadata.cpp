// The metadata record of one timeline frame, and the display segments of an entry.

#include "core/model/TimecodeCalculator.h"
#include "core/resolver/TimelineResolver.h"
#include "core/support/Numeric.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace tandrel {

namespace {

double perSecond(FrameRate rate) {
    const auto rational = rate.rational();
    return static_cast<double>(rational.num) / static_cast<double>(rational.den);
}

std::optional<int64_t> add(std::optional<int64_t> a, std::optional<int64_t> b) {
    int64_t sum = 0;
    if (!a || !b || __builtin_add_overflow(*a, *b, &sum)) {
        return std::nullopt;
    }
    return sum;
}

template <typename T> std::optional<T> unlessEmpty(const T &values) {
    return values.empty() ? std::nullopt : std::optional<T>(values);
}

// The source frame shown at timeline time t of the entry; nothing when it leaves 64 bits.
std::optional<int64_t> sourceFrame(const EditEntry &entry, double t, FrameRate timelineRate,
                                   FrameRate sourceRate) {
    const double sourcePerSecond = perSecond(sourceRate);
    const auto base = add(entry.sourceStartTC, roundToInt64(entry.sourceIn * sourcePerSecond));
    const double offset = t - entry.timelineIn;
    const double speed = entry.speedRate.value_or(1.0);
    const double sign = entry.isReversed ? -1 : 1;
    const auto timelineFrames = roundToInt64(offset * perSecond(timelineRate));
    if (!timelineFrames) {
        return std::nullopt;
    }
    const auto retimed = truncateToInt64(std::floor(
        sourcePerSecond / timelineRate.fps() * sign * speed * static_cast<double>(*timelineFrames) +
        0.5));
    if (entry.isReversed) {
        // The count starts at the end of the used range, the boundary after its last frame;
        // the frame shown there is the last one. A reversed freeze stays on its base frame.
        const auto span =
            roundToInt64(sourcePerSecond * speed * (entry.timelineOut - entry.timelineIn));
        return add(add(add(base, span), retimed), speed > 0 ? -1 : 0);
    }
    if (speed != 1) {
        return add(base, retimed);
    }
    const auto plain = add(base, roundToInt64(offset * sourcePerSecond));
    return plain ? std::optional(std::max<int64_t>(0, *plain)) : std::nullopt;
}

} // namespace

FCPMetadata TimelineResolver::buildMetadata(const EditEntry &from, int64_t timelineFrame,
                                            FrameRate rate) const {
    const double t = static_cast<double>(timelineFrame) / perSecond(rate);
    const EditEntry::DisplaySegment *segment = nullptr;
    for (const auto &candidate : from.displaySegments) {
        if (candidate.start <= t && t < candidate.end) {
            segment = &candidate;
            break;
        }
    }
    if (!segment && !from.displaySegments.empty()) {
        segment = &from.displaySegments.back();
    }
    const FrameRate sourceRate = from.frameRate.value_or(rate);
    const auto frame = sourceFrame(from, t, rate, sourceRate);
    const auto clipFrames = truncateToInt64(perSecond(rate) * (from.timelineOut - from.timelineIn));

    FCPMetadata record{{
        .sourceClipName = from.clipName,
        .sourceFileName = from.assetName,
        .mediaIdentifier = from.mediaIdentifier,
        .sourceTimecode = frame ? TimecodeCalculator::framesToTimecode(*frame, sourceRate) : "",
        .sourceFrameNumber = frame,
        .projectTimecode = TimecodeCalculator::framesToTimecode(timelineFrame, rate),
        .frameRate = perSecond(sourceRate),
        .reelName = from.reelName,
        .scene = from.scene,
        .shot = from.shot,
        .angle = from.angle,
        .notes = from.notes,
        .clipDuration = clipFrames
                            ? std::optional(TimecodeCalculator::framesToTimecode(*clipFrames, rate))
                            : std::nullopt,
        .clipType = from.clipType,
        .positionX = from.positionX,
        .positionY = from.positionY,
        .scaleX = from.scaleX,
        .scaleY = from.scaleY,
        .rotation = from.rotation,
        .speedRate = from.speedRate,
        .isReversed = from.isReversed,
        .isFreezeFrame = from.isFreezeFrame,
        .hasStabilization = from.hasStabilization,
        .markers = unlessEmpty(from.markers),
    }};
    if (from.resolution) {
        record.resolutionWidth = from.resolution->width;
        record.resolutionHeight = from.resolution->height;
    }
    if (segment) {
        record.stackedVideoClips = unlessEmpty(segment->stackedVideoClips);
        record.activeRoleClips = unlessEmpty(segment->activeRoleClips);
        record.stackedLayers = unlessEmpty(segment->stackedLayers);
    }
    return record;
}

FCPMetadata TimelineResolver::resolve(int64_t frame, int64_t timelineID, FrameRate rate) {
    const auto list = getEDL(timelineID);
    const EditEntry *entry = list->lookup(static_cast<double>(frame) / perSecond(rate));
    return entry ? buildMetadata(*entry, frame, rate) : FCPMetadata::empty();
}

FCPMetadata TimelineResolver::resolveSeconds(double seconds, int64_t timelineID, FrameRate rate) {
    const auto list = getEDL(timelineID);
    const EditEntry *entry = list->lookup(seconds);
    const auto frame = truncateToInt64(seconds * perSecond(rate));
    return entry && frame ? buildMetadata(*entry, *frame, rate) : FCPMetadata::empty();
}

std::vector<EditEntry::DisplaySegment>
TimelineResolver::displaySegments(const EditEntry &entry,
                                  const std::vector<ConnectedItem> &connected,
                                  const RoleResolver &roleResolver) {
    return displaySegments(entry, ConnectedItemsByTime(connected), roleResolver);
}

std::vector<EditEntry::DisplaySegment>
TimelineResolver::displaySegments(const EditEntry &entry, const ConnectedItemsByTime &connected,
                                  const RoleResolver &roleResolver) {
    const double in = entry.timelineIn;
    const double out = entry.timelineOut;
    if (in == out) {
        return {};
    }
    const auto end = [](const ConnectedItem &item) { return item.timelineStart + item.duration; };
    const std::vector<const ConnectedItem *> overlapping = connected.overlapping(in, out);
    std::set<double> boundaries{in, out};
    for (const ConnectedItem *item : overlapping) {
        for (double edge : {item->timelineStart, end(*item)}) {
            if (in < edge && edge < out) {
                boundaries.insert(edge);
            }
        }
    }
    if (overlapping.empty()) {
        return {{.start = in, .end = out}};
    }

    const auto unshown = [](const std::optional<std::string> &name) {
        return name == "Gap" || name == "New Stack";
    };
    const auto roleName = [&](const std::string &uid) {
        return roleResolver.resolve(uid).value_or("?");
    };

    std::vector<EditEntry::DisplaySegment> segments;
    for (auto it = boundaries.begin(); std::next(it) != boundaries.end(); ++it) {
        const double a = *it;
        const double b = *std::next(it);
        if (!(a < b)) {
            continue;
        }
        const double probe = (a + b) * 0.5;
        EditEntry::DisplaySegment segment{.start = a, .end = b};
        for (const ConnectedItem *item : overlapping) {
            if (!(item->timelineStart <= probe && probe < end(*item))) {
                continue;
            }
            const bool stacked = item->lane >= 1 && (item->type == "FFAnchoredCollection" ||
                                                     item->type == "FFAnchoredAngle");
            if (stacked && !unshown(item->name)) {
                if (item->name) {
                    segment.stackedVideoClips.push_back(*item->name);
                }
                segment.stackedLayers.push_back({
                    .videoLaneNumber = item->videoLaneNumber().value_or(item->lane),
                    .reelName = item->reelName,
                    .sceneShot = item->sceneShot,
                    .sourceFileName = item->sourceFileName,
                    .sourceTimecode = item->sourceTimecode,
                    .sourceFrameNumber = item->sourceFrameNumber,
                    .layerTimelineStart = item->timelineStart,
                    .correctedSourceStart = item->correctedSourceStart,
                    .sourceFpsNum = item->sourceFpsNum(),
                    .sourceFpsDen = item->sourceFpsDen(),
                    .sourceRateString = item->sourceRateString(),
                });
            }
            if (item->name && item->roleUID) {
                // The first item to claim a role keeps it, under its own role and its
                // top-level role.
                const std::string &role = *item->roleUID;
                segment.activeRoleClips.try_emplace(role,
                                                    ActiveRoleClip{roleName(role), *item->name});
                if (const auto topLevel = roleResolver.topLevelUID(role)) {
                    segment.activeRoleClips.try_emplace(
                        *topLevel, ActiveRoleClip{roleName(*topLevel), *item->name});
                }
            }
        }
        std::stable_sort(segment.stackedLayers.begin(), segment.stackedLayers.end(),
                         [](const StackedLayerInfo &x, const StackedLayerInfo &y) {
                             return x.videoLaneNumber < y.videoLaneNumber;
                         });
        segments.push_back(std::move(segment));
    }
    return segments;
}

} // namespace tandrel
