#include "host/bridge/PresetSummary.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel::ExtensionBridge {

void to_json(Json &json, const PresetSummary &summary) {
    json = JsonWriter::record(summary);
}

void from_json(const Json &json, PresetSummary &summary) {
    PresetSummary::forEachMember(summary, JsonReader(json, "PresetSummary"));
}

} // namespace tandrel::ExtensionBridge
