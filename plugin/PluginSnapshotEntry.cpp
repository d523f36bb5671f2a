#include "plugin/PluginSnapshotEntry.h"

#include "core/snapshot/SnapshotLimits.h"
#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const PluginSnapshotEntry &entry) {
    json = JsonWriter::record(entry);
}

void from_json(const Json &json, PluginSnapshotEntry &entry) {
    PluginSnapshotEntry::forEachMember(entry, JsonReader(json, "SnapshotEntry"));
    // The metadata record has checked its stacked layers while it was read.
    SnapshotLimits::checkTiming(entry);
}

} // namespace tandrel
