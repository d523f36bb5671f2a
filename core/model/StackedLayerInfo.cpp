#include "core/model/StackedLayerInfo.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const StackedLayerInfo &layer) {
    json = JsonWriter::record(layer);
}

void from_json(const Json &json, StackedLayerInfo &layer) {
    StackedLayerInfo::forEachMember(layer, JsonReader(json, "StackedLayerInfo"));
}

} // namespace tandrel
