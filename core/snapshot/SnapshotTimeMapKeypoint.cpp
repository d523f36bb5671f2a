#include "core/snapshot/SnapshotTimeMapKeypoint.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const SnapshotTimeMapKeypoint &keypoint) {
    json = JsonWriter::record(keypoint);
}

void from_json(const Json &json, SnapshotTimeMapKeypoint &keypoint) {
    SnapshotTimeMapKeypoint::forEachMember(keypoint, JsonReader(json, "SnapshotTimeMapKeypoint"));
}

} // namespace tandrel
