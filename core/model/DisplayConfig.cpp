#include "core/model/DisplayConfig.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

namespace {

BurnInElement defaultElement(MetadataField field, double posY) {
    BurnInElement element(field);
    element.posY = posY;
    return element;
}

} // namespace

DisplayConfig::DisplayConfig()
    : DisplayConfig(Uuid::random(), "Custom", false,
                    {defaultElement(MetadataField::sourceTC, 0.05),
                     defaultElement(MetadataField::clipName, 0.1)}) {}

DisplayConfig::DisplayConfig(Uuid id, std::string name, bool isBuiltIn,
                             std::vector<BurnInElement> elements, DisplayOptions options)
    : DisplayOptions(options), id(id), name(std::move(name)), isBuiltIn(isBuiltIn),
      elements(std::move(elements)) {}

} // namespace tandrel

using tandrel::DisplayConfig;

DisplayConfig nlohmann::adl_serializer<DisplayConfig>::from_json(const tandrel::Json &json) {
    DisplayConfig config(tandrel::Uuid(), {}, false, {});
    DisplayConfig::forEachMember(config, tandrel::JsonReader(json, "DisplayConfig"));
    return config;
}

void nlohmann::adl_serializer<DisplayConfig>::to_json(tandrel::Json &json,
                                                      const DisplayConfig &config) {
    json = tandrel::JsonWriter::record(config);
}
