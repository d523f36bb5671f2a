#pragma once

#include "core/model/DisplayConfig.h"
#include "core/snapshot/SnapshotDocument.h"
#include "core/snapshot/SnapshotEntry.h"
#include "core/support/Json.h"

namespace tandrel {

// The snapshot document as the host writes it, with the whole active preset.
struct TandrelSnapshot : SnapshotDocument<SnapshotEntry, DisplayConfig> {};

void to_json(Json &json, const TandrelSnapshot &snapshot);
void from_json(const Json &json, TandrelSnapshot &snapshot);

} // namespace tandrel
