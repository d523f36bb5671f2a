#include "core/model/ActiveRoleClip.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const ActiveRoleClip &clip) {
    json = JsonWriter::record(clip);
}

void from_json(const Json &json, ActiveRoleClip &clip) {
    ActiveRoleClip::forEachMember(clip, JsonReader(json, "ActiveRoleClip"));
}

} // namespace tandrel
