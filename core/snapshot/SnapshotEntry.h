#pragma once

#include "core/model/FCPMetadata.h"
#include "core/snapshot/SnapshotEntryRecord.h"
#include "core/support/Json.h"

namespace tandrel {

// A stretch of the timeline as the host writes it.
struct SnapshotEntry : SnapshotEntryRecord<FCPMetadata> {};

void to_json(Json &json, const SnapshotEntry &entry);
void from_json(const Json &json, SnapshotEntry &entry);

} // namespace tandrel
