#pragma once

#include "core/snapshot/SnapshotEntryRecord.h"
#include "core/support/Json.h"
#include "plugin/TandrelMetadata.h"

namespace tandrel {

// One timeline span [tlStart, tlEnd) of the snapshot as the plug-in reads it: the host's
// entry with the plug-in's metadata record. Everything but the keypoints and the
// unresolved-rate flag is required, and reading enforces SnapshotLimits on the times, rates,
// speed, start frame and keypoints.
struct PluginSnapshotEntry : SnapshotEntryRecord<TandrelMetadata> {};

void to_json(Json &json, const PluginSnapshotEntry &entry);
void from_json(const Json &json, PluginSnapshotEntry &entry);

} // namespace tandrel
