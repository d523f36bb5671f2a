#include "core/snapshot/TandrelSnapshot.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const TandrelSnapshot &snapshot) {
    json = JsonWriter::record(snapshot);
}

void from_json(const Json &json, TandrelSnapshot &snapshot) {
    TandrelSnapshot::forEachMember(snapshot, JsonReader(json, "TandrelSnapshot"));
}

} // namespace tandrel
