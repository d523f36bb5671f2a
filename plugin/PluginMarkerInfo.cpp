#include "plugin/PluginMarkerInfo.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const PluginMarkerInfo &marker) {
    json = JsonWriter::record(marker);
}

void from_json(const Json &json, PluginMarkerInfo &marker) {
    PluginMarkerInfo::forEachMember(marker, JsonReader(json, "PluginMarkerInfo"));
}

} // namespace tandrel
