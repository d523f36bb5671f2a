#pragma once

#include "core/model/MetadataRecord.h"
#include "core/support/Json.h"
#include "plugin/PluginActiveRoleClip.h"
#include "plugin/PluginMarkerInfo.h"
#include "plugin/PluginStackedLayerInfo.h"

#include <string>
#include <string_view>

namespace tandrel {

// The per-segment metadata record as the plug-in reads it from a snapshot entry and passes it
// on, per frame, in its render state. Same keys, order and optional members as the host's
// record (FCPMetadata), read the same way: the four plain members are required, the others
// may be missing or null. It differs in what it tolerates: `clipType` is any text (only
// "generator" and "title" mean something here) and a marker's type is any text too.
//
// Reading also checks that the timing fields of every stacked layer keep SnapshotLimits, so
// that the frame arithmetic done on a layer cannot overflow.
struct TandrelMetadata : MetadataRecord<std::string, PluginMarkerInfo> {
    // A clip name (or source timecode) of exactly this text means there is no clip.
    static constexpr std::string_view noClipName = "\u2014";

    // The record a status text travels in: the text as clip name, empty timecodes, the
    // timeline's frames per second, nothing else.
    static TandrelMetadata status(std::string text, double frameRate);
};

void to_json(Json &json, const TandrelMetadata &metadata);
void from_json(const Json &json, TandrelMetadata &metadata);

} // namespace tandrel
