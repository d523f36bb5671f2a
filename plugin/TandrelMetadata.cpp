#include "plugin/TandrelMetadata.h"

#include "core/snapshot/SnapshotLimits.h"
#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"

namespace tandrel {

TandrelMetadata TandrelMetadata::status(std::string text, double frameRate) {
    TandrelMetadata record;
    record.sourceClipName = std::move(text);
    record.frameRate = frameRate;
    return record;
}

void to_json(Json &json, const TandrelMetadata &metadata) {
    json = JsonWriter::record(metadata);
}

void from_json(const Json &json, TandrelMetadata &metadata) {
    TandrelMetadata::forEachMember(metadata, JsonReader(json, "TandrelMetadata"));
    if (!metadata.stackedLayers) {
        return;
    }
    SnapshotLimits::under("stackedLayers",
                          [&] { SnapshotLimits::checkStackedLayers(*metadata.stackedLayers); });
}

} // namespace tandrel
