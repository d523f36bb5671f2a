#include "plugin/TandrelMetadata.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonWriter.h"
#include "plugin/SnapshotLimits.h"

namespace tandrel {

namespace {

void checkLayer(const PluginStackedLayerInfo &layer) {
    if (layer.layerTimelineStart) {
        SnapshotLimits::under("layerTimelineStart",
                              [&] { SnapshotLimits::checkSeconds(*layer.layerTimelineStart); });
    }
    if (layer.correctedSourceStart) {
        SnapshotLimits::under("correctedSourceStart",
                              [&] { SnapshotLimits::checkSeconds(*layer.correctedSourceStart); });
    }
    if (layer.sourceFpsNum && layer.sourceFpsDen) {
        SnapshotLimits::under("sourceFpsNum", [&] {
            SnapshotLimits::checkFramesPerSecond(*layer.sourceFpsNum, *layer.sourceFpsDen);
        });
    }
}

} // namespace

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
    SnapshotLimits::under("stackedLayers", [&] {
        for (std::size_t i = 0; i < metadata.stackedLayers->size(); ++i) {
            SnapshotLimits::underIndex(i, [&] { checkLayer((*metadata.stackedLayers)[i]); });
        }
    });
}

} // namespace tandrel
