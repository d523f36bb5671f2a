#include "core/snapshot/RationalTime.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const RationalTime &time) {
    json = JsonWriter::record(time);
}

void from_json(const Json &json, RationalTime &time) {
    RationalTime::forEachMember(time, JsonReader(json, "RationalTime"));
}

} // namespace tandrel
