#include "core/model/FCPMetadata.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

const FCPMetadata &FCPMetadata::empty() {
    static const FCPMetadata record{
        .sourceClipName = "\u2014",
        .sourceTimecode = "\u2014",
        .projectTimecode = "00:00:00:00",
        .frameRate = 24,
    };
    return record;
}

void to_json(Json &json, const FCPMetadata &metadata) {
    json = JsonWriter::record(metadata);
}

void from_json(const Json &json, FCPMetadata &metadata) {
    FCPMetadata::forEachMember(metadata, JsonReader(json, "FCPMetadata"));
}

} // namespace tandrel
