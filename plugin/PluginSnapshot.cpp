#include "plugin/PluginSnapshot.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "core/support/JsonWriter.h"
#include "plugin/ClipSourceFrames.h"
#include "plugin/HeldTexts.h"

namespace tandrel {

PluginSnapshot PluginSnapshot::decode(std::string_view text) {
    return decodeJsonValue<PluginSnapshot>(parseJsonText(text));
}

void to_json(Json &json, const PluginSnapshot &snapshot) {
    json = JsonWriter::record(snapshot);
}

void from_json(const Json &json, PluginSnapshot &snapshot) {
    PluginSnapshot::forEachMember(snapshot, JsonReader(json, "TandrelSnapshot"));
    HeldTexts::boundAll(snapshot);
    ClipSourceFrames::assign(snapshot.entries);
}

} // namespace tandrel
