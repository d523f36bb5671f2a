#include "core/model/TandrelQuery.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

void to_json(Json &json, const TandrelQuery &query) {
    json = JsonWriter::record(query);
}

void from_json(const Json &json, TandrelQuery &query) {
    TandrelQuery::forEachMember(query, JsonReader(json, "TandrelQuery"));
}

} // namespace tandrel
