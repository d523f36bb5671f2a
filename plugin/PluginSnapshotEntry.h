#pragma once

#include "core/snapshot/SnapshotEntryRecord.h"
#include "core/support/Json.h"
#include "plugin/SourceFrameRange.h"
#include "plugin/TandrelMetadata.h"

namespace tandrel {

// One timeline span [tlStart, tlEnd) of the snapshot as the plug-in reads it: the host's
// entry with the plug-in's metadata record. Everything but the keypoints and the
// unresolved-rate flag is required, and reading enforces SnapshotLimits on the times, rates,
// speed, start frame and keypoints.
struct PluginSnapshotEntry : SnapshotEntryRecord<TandrelMetadata> {
    // Not in the document: the lowest and highest source frames the entry's clip uses, which
    // reading a whole snapshot works out (SourceFrameRange). Absent, the frames are not kept
    // in any range.
    std::optional<SourceFrameRange> usedSourceFrames = {};
};

void to_json(Json &json, const PluginSnapshotEntry &entry);
void from_json(const Json &json, PluginSnapshotEntry &entry);

} // namespace tandrel
