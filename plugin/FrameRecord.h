#pragma once

#include "core/snapshot/SnapshotTimeMapKeypoint.h"
#include "plugin/PluginSnapshotEntry.h"
#include "plugin/TandrelMetadata.h"
#include "timecode/core/TimecodeFrameRate.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tandrel {

// One frame's metadata record, built from the snapshot entry under the playhead: the entry's
// record with the source timecode and frame, the project timecode and the stacked layers'
// source positions of that very frame.
struct FrameRecord {
    // The record of timeline frame `tlFrame` (absolute frame `absoluteFrame`) inside `entry`,
    // on a timeline of `rateNum`/`rateDen` frames per second whose timecode rate is `tlRate`.
    // Source frames follow the entry's retime keypoints when it has more than one, else its
    // speed and the ratio of source and timeline rates, rounded to the nearest frame and kept
    // within the source frames its clip uses (`usedSourceFrames`, when known); when the
    // entry's source rate is not
    // known, or its source frame is not a number a 64-bit integer holds (a timeline rate of
    // 0 fps, say), the source timecode is empty and the source frame absent. A stacked layer
    // with all five timing fields gets the source position of the frame too, unless that is
    // no such number either.
    static TandrelMetadata build(const PluginSnapshotEntry &entry, int64_t tlFrame,
                                 int64_t absoluteFrame, timecode::TimecodeFrameRate tlRate,
                                 uint64_t rateNum, uint64_t rateDen);

    // The source second shown at `timelineSeconds` (from the entry's start) on a retime curve:
    // linear between the keypoints around it, held at the first and last; 0 without keypoints.
    static double interpolatedSourceSeconds(const std::vector<SnapshotTimeMapKeypoint> &keypoints,
                                            double timelineSeconds);
};

} // namespace tandrel
