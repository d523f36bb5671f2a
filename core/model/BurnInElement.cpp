#include "core/model/BurnInElement.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

namespace {

// Keys of the older element format, read only when the current key has no value.
constexpr std::string_view legacyRoleUseMediaFilenameKey = "roleUseMediaFilename";
constexpr std::string_view legacyRoleFilterUIDKey = "roleFilterUID";

} // namespace

BurnInElement::BurnInElement(MetadataField field)
    : id(Uuid::random()), field(field), label(field.defaultLabel()),
      secondaryLabel(defaultSecondaryLabel(field)) {}

std::string_view BurnInElement::defaultSecondaryLabel(MetadataField field) {
    switch (field) {
    case MetadataField::stackedLayerReel:
        return "SRC FRM#";
    case MetadataField::stackedLayerSlate:
        return "SRC";
    default:
        return "";
    }
}

} // namespace tandrel

using tandrel::BurnInElement;
using tandrel::JsonReader;

BurnInElement nlohmann::adl_serializer<BurnInElement>::from_json(const tandrel::Json &json) {
    const JsonReader reader(json, "BurnInElement");
    BurnInElement element(reader.required<tandrel::MetadataField>("field"));
    BurnInElement::forEachMember(element,
                                 JsonReader(json, "BurnInElement", JsonReader::Mode::tolerant));

    if (!reader.has("roleDisplayMode") &&
        reader.optional<bool>(tandrel::legacyRoleUseMediaFilenameKey).value_or(false)) {
        element.roleDisplayMode = tandrel::RoleDisplayMode::mediaFilename;
    }
    if (!reader.has("roleFilterUIDs")) {
        if (auto uid = reader.optional<std::string>(tandrel::legacyRoleFilterUIDKey)) {
            element.roleFilterUIDs = {*uid};
        }
    }
    return element;
}

void nlohmann::adl_serializer<BurnInElement>::to_json(tandrel::Json &json,
                                                      const BurnInElement &element) {
    json = tandrel::JsonWriter::record(element);
}
