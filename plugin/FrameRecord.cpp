#include "plugin/FrameRecord.h"

#include "core/snapshot/SnapshotLimits.h"
#include "core/support/Numeric.h"
#include "plugin/Timecoding.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

using timecode::TimecodeFrameRate;

// Frames per second of the host's timeline rate, a denominator below 2 taken as 1.
double timelineFramesPerSecond(uint64_t num, uint64_t den) {
    return static_cast<double>(num) / static_cast<double>(den < 2 ? 1 : den);
}

std::optional<int64_t> plus(int64_t a, std::optional<int64_t> b) {
    int64_t sum = 0;
    if (!b || __builtin_add_overflow(a, *b, &sum)) {
        return std::nullopt;
    }
    return sum;
}

std::optional<int64_t> sourceFrame(const PluginSnapshotEntry &entry, int64_t offset, double tlFps,
                                   uint64_t rateNum, uint64_t rateDen) {
    const double srcFps = SnapshotLimits::framesPerSecond(entry.srcFpsNum, entry.srcFpsDen);
    const auto &keypoints = entry.srcTimeMapKeypoints;
    if (keypoints && keypoints->size() > 1) {
        // The keypoints carry source time: the start frame is already in them.
        const double seconds =
            FrameRecord::interpolatedSourceSeconds(*keypoints, static_cast<double>(offset) / tlFps);
        return roundToInt64(seconds * srcFps);
    }
    const bool sameRate = entry.srcFpsNum >= 0 && entry.srcFpsDen >= 0 &&
                          static_cast<uint64_t>(entry.srcFpsNum) == rateNum &&
                          static_cast<uint64_t>(entry.srcFpsDen) == rateDen;
    if (entry.srcSpeed == 1 && sameRate) {
        return plus(entry.srcStartFrame, offset);
    }
    // A negative speed counts backwards, on a line that starts at the end of the used range: the
    // boundary after the clip's last frame, which is the frame shown first.
    const double advance =
        std::floor(entry.srcSpeed * static_cast<double>(offset) * (srcFps / tlFps) + 0.5);
    const auto start = entry.srcSpeed < 0 ? plus(entry.srcStartFrame, -1) : entry.srcStartFrame;
    return start ? plus(*start, truncateToInt64(advance)) : std::nullopt;
}

PluginStackedLayerInfo layerAt(const PluginStackedLayerInfo &layer, int64_t tlFrame, double tlFps) {
    if (!layer.layerTimelineStart || !layer.correctedSourceStart || !layer.sourceFpsNum ||
        !layer.sourceFpsDen || !layer.sourceRateString) {
        return layer;
    }
    const auto rate = TimecodeFrameRate::fromRawValue(*layer.sourceRateString);
    if (!rate) {
        return layer;
    }
    // From the timeline's start, not the entry's: the layer's own start is a timeline time.
    const double seconds = static_cast<double>(tlFrame) / tlFps - *layer.layerTimelineStart +
                           *layer.correctedSourceStart;
    const auto frame = roundToInt64(
        seconds * SnapshotLimits::framesPerSecond(*layer.sourceFpsNum, *layer.sourceFpsDen));
    if (!frame) {
        return layer;
    }
    PluginStackedLayerInfo moved = layer;
    moved.sourceFrameNumber = *frame;
    moved.sourceTimecode = Timecoding::text(*frame, *rate);
    return moved;
}

} // namespace

TandrelMetadata FrameRecord::build(const PluginSnapshotEntry &entry, int64_t tlFrame,
                                   int64_t absoluteFrame, TimecodeFrameRate tlRate,
                                   uint64_t rateNum, uint64_t rateDen) {
    const int64_t entryStart = Timecoding::wholeFrames(entry.tlStart, tlRate);
    const int64_t offset = std::max<int64_t>(0, tlFrame - entryStart);
    const double tlFps = timelineFramesPerSecond(rateNum, rateDen);

    TandrelMetadata record = entry.metadata;
    auto frame = sourceFrame(entry, offset, tlFps, rateNum, rateDen);
    // Rounding to the nearest source frame reaches one frame past the clip's range at the
    // end of a slowed clip (its out point, which it never shows): such a frame shows the
    // nearest end of the range instead.
    if (frame && entry.usedSourceFrames) {
        frame = std::clamp(*frame, entry.usedSourceFrames->first, entry.usedSourceFrames->last);
    }
    if (entry.srcRateUnresolved.value_or(false) || !frame) {
        record.sourceTimecode.clear();
        record.sourceFrameNumber.reset();
    } else {
        const TimecodeFrameRate sourceRate =
            TimecodeFrameRate::fromRawValue(entry.srcRate).value_or(tlRate);
        record.sourceTimecode = Timecoding::text(*frame, sourceRate);
        record.sourceFrameNumber = *frame;
    }
    record.projectTimecode = Timecoding::text(absoluteFrame, tlRate);
    if (record.stackedLayers) {
        for (PluginStackedLayerInfo &layer : *record.stackedLayers) {
            layer = layerAt(layer, tlFrame, tlFps);
        }
    }
    return record;
}

double FrameRecord::interpolatedSourceSeconds(const std::vector<SnapshotTimeMapKeypoint> &keypoints,
                                              double t) {
    if (keypoints.empty()) {
        return 0;
    }
    if (t <= keypoints.front().timelineSeconds) {
        return keypoints.front().sourceSeconds;
    }
    if (keypoints.size() == 1 || t >= keypoints.back().timelineSeconds) {
        return keypoints.back().sourceSeconds;
    }
    for (std::size_t i = 0; i + 1 < keypoints.size(); ++i) {
        const SnapshotTimeMapKeypoint &a = keypoints[i];
        const SnapshotTimeMapKeypoint &b = keypoints[i + 1];
        if (a.timelineSeconds <= t && t <= b.timelineSeconds) {
            const double span = b.timelineSeconds - a.timelineSeconds;
            if (!(span > 0)) {
                return a.sourceSeconds;
            }
            return a.sourceSeconds +
                   (t - a.timelineSeconds) / span * (b.sourceSeconds - a.sourceSeconds);
        }
    }
    return keypoints.back().sourceSeconds;
}

} // namespace tandrel
