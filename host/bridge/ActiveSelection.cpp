#include "host/bridge/ActiveSelection.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel::ExtensionBridge {

double ActiveSelection::secondsSinceReferenceDate(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    // Subtracted before the conversion, which would round away the fraction of a large count.
    const auto referenceDate =
        duration_cast<system_clock::duration>(duration<double>(referenceDateSince1970));
    return duration<double>(time.time_since_epoch() - referenceDate).count();
}

void to_json(Json &json, const ActiveSelection &selection) {
    json = JsonWriter::record(selection);
}

void from_json(const Json &json, ActiveSelection &selection) {
    ActiveSelection::forEachMember(selection, JsonReader(json, "ActiveSelection"));
}

} // namespace tandrel::ExtensionBridge
