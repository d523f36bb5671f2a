#include "plugin/ClipSourceFrames.h"

#include "core/snapshot/SnapshotLimits.h"
#include "plugin/FrameRecord.h"

#include <cmath>
#include <limits>

namespace tandrel {

namespace {

// Entry times are rounded to 1/240000 s, offsets between them thus to twice that.
constexpr double timeTolerance = 2.0 / RationalTime::snapshotTimescale;

double secondsBetween(const RationalTime &from, const RationalTime &to) {
    return to.seconds() - from.seconds();
}

// Whether `next`, right after `previous`, continues the clip whose first entry is `first`.
bool continues(const PluginSnapshotEntry &first, const PluginSnapshotEntry &previous,
               const PluginSnapshotEntry &next) {
    if (!(next.tlStart == previous.tlEnd) || next.srcSpeed != first.srcSpeed ||
        next.srcRate != first.srcRate || next.srcFpsNum != first.srcFpsNum ||
        next.srcFpsDen != first.srcFpsDen || next.srcRateUnresolved != first.srcRateUnresolved ||
        next.metadata.sourceClipName != first.metadata.sourceClipName ||
        next.metadata.sourceFileName != first.metadata.sourceFileName ||
        next.metadata.mediaIdentifier != first.metadata.mediaIdentifier ||
        next.srcTimeMapKeypoints.has_value() != first.srcTimeMapKeypoints.has_value()) {
        return false;
    }
    const double offset = secondsBetween(first.tlStart, next.tlStart);
    if (first.srcTimeMapKeypoints) {
        // The same curve, measured from the later start.
        const auto &a = *first.srcTimeMapKeypoints;
        const auto &b = *next.srcTimeMapKeypoints;
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].sourceSeconds != b[i].sourceSeconds ||
                !(std::abs(a[i].timelineSeconds - offset - b[i].timelineSeconds) <=
                  timeTolerance)) {
                return false;
            }
        }
        return true;
    }
    // The same line, up to the half frame of rounding of each entry's start.
    const double fps = SnapshotLimits::framesPerSecond(first.srcFpsNum, first.srcFpsDen);
    const double expected =
        static_cast<double>(first.srcStartFrame) + first.srcSpeed * fps * offset;
    return std::abs(static_cast<double>(next.srcStartFrame) - expected) <=
           0.5 + std::abs(first.srcSpeed) * fps * timeTolerance;
}

} // namespace

void ClipSourceFrames::assign(std::vector<PluginSnapshotEntry> &entries) {
    for (std::size_t start = 0; start < entries.size();) {
        std::size_t end = start + 1;
        while (end < entries.size() && continues(entries[start], entries[end - 1], entries[end])) {
            ++end;
        }
        const auto range =
            of(entries[start], secondsBetween(entries[start].tlStart, entries[end - 1].tlEnd));
        for (std::size_t i = start; i < end; ++i) {
            entries[i].usedSourceFrames = range;
        }
        start = end;
    }
}

std::optional<SourceFrameRange> ClipSourceFrames::of(const PluginSnapshotEntry &first,
                                                     double seconds) {
    if (!(seconds > 0)) {
        return std::nullopt;
    }
    const double fps = SnapshotLimits::framesPerSecond(first.srcFpsNum, first.srcFpsDen);
    SourceFrameRange::Builder used;
    const auto &keypoints = first.srcTimeMapKeypoints;
    if (!keypoints || keypoints->size() < 2) {
        const double start = static_cast<double>(first.srcStartFrame);
        const double end = start + first.srcSpeed * seconds * fps;
        start == end ? used.holding(start) : used.moving(start, end);
        return used.range();
    }
    // The curve from keypoint to keypoint, cut to the clip's [0, seconds).
    const auto stretch = [&](double from, double to) {
        from = std::max(from, 0.0);
        to = std::min(to, seconds);
        if (!(from < to)) {
            return;
        }
        const double a = FrameRecord::interpolatedSourceSeconds(*keypoints, from) * fps;
        const double b = FrameRecord::interpolatedSourceSeconds(*keypoints, to) * fps;
        a == b ? used.holding(a) : used.moving(a, b);
    };
    constexpr double infinity = std::numeric_limits<double>::infinity();
    stretch(-infinity, keypoints->front().timelineSeconds);
    for (std::size_t i = 0; i + 1 < keypoints->size(); ++i) {
        const double from = (*keypoints)[i].timelineSeconds;
        const double to = (*keypoints)[i + 1].timelineSeconds;
        if (to < from) {
            return std::nullopt;
        }
        stretch(from, to);
    }
    stretch(keypoints->back().timelineSeconds, infinity);
    return used.range();
}

} // namespace tandrel
