#include "core/model/FCPMetadata.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

const FCPMetadata &FCPMetadata::empty() {
    static const FCPMetadata record = [] {
        FCPMetadata none;
        none.sourceClipName = "\u2014";
        none.sourceTimecode = "\u2014";
        none.projectTimecode = "00:00:00:00";
        none.frameRate = 24;
        return none;
    }();
    return record;
}

void to_json(Json &json, const FCPMetadata &metadata) {
    json = JsonWriter::record(metadata);
}

void from_json(const Json &json, FCPMetadata &metadata) {
    FCPMetadata::forEachMember(metadata, JsonReader(json, "FCPMetadata"));
}

} // namespace tandrel
