#include "core/snapshot/SnapshotEntry.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const SnapshotEntry &entry) {
    json = JsonWriter::record(entry);
}

void from_json(const Json &json, SnapshotEntry &entry) {
    SnapshotEntry::forEachMember(entry, JsonReader(json, "SnapshotEntry"));
}

} // namespace tandrel
