#include "core/model/MarkerInfo.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const MarkerInfo &marker) {
    json = JsonWriter::record(marker);
}

void from_json(const Json &json, MarkerInfo &marker) {
    MarkerInfo::forEachMember(marker, JsonReader(json, "MarkerInfo"));
}

} // namespace tandrel
