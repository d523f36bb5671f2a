#include "plugin/PluginDisplayConfig.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const PluginDisplayConfig &config) {
    json = JsonWriter::record(config);
}

void from_json(const Json &json, PluginDisplayConfig &config) {
    PluginDisplayConfig::forEachMember(config, JsonReader(json, "DisplayConfig"));
}

} // namespace tandrel
