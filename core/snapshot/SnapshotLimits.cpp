#include "core/snapshot/SnapshotLimits.h"

#include "core/support/Numeric.h"

#include <cmath>
#include <string>

namespace tandrel {

namespace {

[[noreturn]] void reject(std::string detail) {
    throw DecodingError(DecodingError::Kind::dataCorrupted, std::move(detail));
}

std::string text(double value) {
    return Json(value).dump();
}

} // namespace

double SnapshotLimits::framesPerSecond(int64_t num, int64_t den) {
    return static_cast<double>(num) / static_cast<double>(den < 2 ? 1 : den);
}

void SnapshotLimits::checkTime(const RationalTime &time) {
    if (time.timescale < 1) {
        reject("Timescale " + std::to_string(time.timescale) + " is not positive.");
    }
    // Exact: the value against the bound in units of the time's own timescale.
    const Int128 limit = static_cast<Int128>(maxSeconds) * time.timescale;
    const Int128 value = time.value;
    if (value > limit || value < -limit) {
        reject("Time " + std::to_string(time.value) + "/" + std::to_string(time.timescale) +
               " lies beyond " + text(maxSeconds) + " seconds.");
    }
}

void SnapshotLimits::checkSeconds(double seconds) {
    if (!(std::abs(seconds) <= maxSeconds)) {
        reject(text(seconds) + " seconds lie beyond " + text(maxSeconds) + " seconds.");
    }
}

void SnapshotLimits::checkFramesPerSecond(int64_t num, int64_t den) {
    if (!(std::abs(framesPerSecond(num, den)) <= maxFramesPerSecond)) {
        reject("Rate " + std::to_string(num) + "/" + std::to_string(den) + " exceeds " +
               text(maxFramesPerSecond) + " frames per second.");
    }
}

void SnapshotLimits::checkSpeed(double speed) {
    if (!(std::abs(speed) <= maxSpeed)) {
        reject("Speed " + text(speed) + " exceeds " + text(maxSpeed) + ".");
    }
}

void SnapshotLimits::checkSourceFrame(int64_t frame) {
    if (frame > maxSourceFrame || frame < -maxSourceFrame) {
        reject("Source frame " + std::to_string(frame) + " lies beyond " +
               std::to_string(maxSourceFrame) + ".");
    }
}

void SnapshotLimits::checkKeypoints(const std::vector<SnapshotTimeMapKeypoint> &keypoints) {
    for (std::size_t i = 0; i < keypoints.size(); ++i) {
        underIndex(i, [&] {
            under("timelineSeconds", [&] { checkSeconds(keypoints[i].timelineSeconds); });
            under("sourceSeconds", [&] { checkSeconds(keypoints[i].sourceSeconds); });
        });
    }
}

void SnapshotLimits::checkStackedLayers(const std::vector<StackedLayerInfo> &layers) {
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const StackedLayerInfo &layer = layers[i];
        underIndex(i, [&] {
            if (layer.layerTimelineStart) {
                under("layerTimelineStart", [&] { checkSeconds(*layer.layerTimelineStart); });
            }
            if (layer.correctedSourceStart) {
                under("correctedSourceStart", [&] { checkSeconds(*layer.correctedSourceStart); });
            }
            if (layer.sourceFpsNum && layer.sourceFpsDen) {
                under("sourceFpsNum",
                      [&] { checkFramesPerSecond(*layer.sourceFpsNum, *layer.sourceFpsDen); });
            }
        });
    }
}

} // namespace tandrel
