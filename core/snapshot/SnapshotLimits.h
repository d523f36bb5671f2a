#pragma once

#include "core/model/StackedLayerInfo.h"
#include "core/snapshot/RationalTime.h"
#include "core/snapshot/SnapshotEntryRecord.h"
#include "core/snapshot/SnapshotTimeMapKeypoint.h"
#include "core/support/Json.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The bounds every snapshot the plug-in accepts keeps, so that the per-frame arithmetic done
// on it never divides by zero and never leaves 64 bits. The plug-in rejects a document outside
// them whole when it decodes it (DecodingError, dataCorrupted, naming the value's path),
// exactly like a document that is not JSON; the host's writer holds every entry to the same
// checks and leaves out those that fail, so that one odd clip cannot blank the burn-in of a
// whole timeline.
//
// What a decoded snapshot guarantees:
// - every RationalTime (an entry's tlStart and tlEnd) has a timescale of at least 1 and lies
//   within ±maxSeconds, so converting it to frames never divides by zero and gives at most
//   100 days of frames;
// - every keypoint's timelineSeconds and sourceSeconds, and every stacked layer's
//   layerTimelineStart and correctedSourceStart, lie within ±maxSeconds;
// - framesPerSecond(srcFpsNum, srcFpsDen), and the same of a layer's sourceFpsNum and
//   sourceFpsDen when both are present, lie within ±maxFramesPerSecond (0 is allowed: such a
//   source never advances);
// - |srcSpeed| ≤ maxSpeed and |srcStartFrame| ≤ maxSourceFrame.
// Hence, for a timeline rate of at least 1 fps and frame offsets below 2^31, every source
// frame a reader computes (srcStartFrame + speed × offset × source fps ÷ timeline fps, a
// keypoint's source seconds × source fps, or a layer's seconds × fps) stays below 2^62 in
// magnitude. A timeline rate of 0 fps (a host that gives 0/0) is not the document's to bound:
// a reader dividing by it must still convert the result through roundToInt64.
struct SnapshotLimits {
    // 100 days.
    static constexpr double maxSeconds = 8'640'000;
    static constexpr double maxFramesPerSecond = 1'000;
    static constexpr double maxSpeed = 1'000'000;
    static constexpr int64_t maxSourceFrame = 8'640'000'000; // maxSeconds × maxFramesPerSecond

    // Frames per second of a rate fraction: num ÷ den, with a denominator below 2 (0, 1 or
    // negative) taken as 1.
    static double framesPerSecond(int64_t num, int64_t den);

    // Each fails with DecodingError (dataCorrupted) when the value is outside its bound.
    static void checkTime(const RationalTime &time);
    static void checkSeconds(double seconds);
    static void checkFramesPerSecond(int64_t num, int64_t den);
    static void checkSpeed(double speed);
    static void checkSourceFrame(int64_t frame);

    // The bounds of one entry's own timing: tlStart, tlEnd, srcStartFrame, srcSpeed, the source
    // rate and the keypoints.
    template <typename Metadata>
    static void checkTiming(const SnapshotEntryRecord<Metadata> &entry);
    static void checkKeypoints(const std::vector<SnapshotTimeMapKeypoint> &keypoints);
    // The bounds of the timing fields of stacked layers, those that are present.
    static void checkStackedLayers(const std::vector<StackedLayerInfo> &layers);
    // Everything a reader holds one entry to: its timing and its stacked layers.
    template <typename Metadata> static void checkEntry(const SnapshotEntryRecord<Metadata> &entry);

    // Runs `check`, reporting its failure under `key`.
    template <typename Check> static void under(std::string_view key, Check &&check) {
        try {
            check();
        } catch (const DecodingError &error) {
            throw error.under(key);
        }
    }

    // Runs `check`, reporting its failure under the array index.
    template <typename Check> static void underIndex(std::size_t index, Check &&check) {
        std::string key = "[";
        key += std::to_string(index);
        key += ']';
        under(key, check);
    }
};

template <typename Metadata>
void SnapshotLimits::checkTiming(const SnapshotEntryRecord<Metadata> &entry) {
    under("tlStart", [&] { checkTime(entry.tlStart); });
    under("tlEnd", [&] { checkTime(entry.tlEnd); });
    under("srcStartFrame", [&] { checkSourceFrame(entry.srcStartFrame); });
    under("srcSpeed", [&] { checkSpeed(entry.srcSpeed); });
    under("srcFpsNum", [&] { checkFramesPerSecond(entry.srcFpsNum, entry.srcFpsDen); });
    if (entry.srcTimeMapKeypoints) {
        under("srcTimeMapKeypoints", [&] { checkKeypoints(*entry.srcTimeMapKeypoints); });
    }
}

template <typename Metadata>
void SnapshotLimits::checkEntry(const SnapshotEntryRecord<Metadata> &entry) {
    checkTiming(entry);
    if (entry.metadata.stackedLayers) {
        under("metadata", [&] {
            under("stackedLayers", [&] { checkStackedLayers(*entry.metadata.stackedLayers); });
        });
    }
}

} // namespace tandrel
