#pragma once

#include "core/model/ClipCategory.h"
#include "core/model/MarkerInfo.h"
#include "core/model/MetadataRecord.h"
#include "core/support/Json.h"

namespace tandrel {

// Everything the burn-in can show about one stretch of a timeline, as the host writes it into
// every snapshot entry: the clip's kind and its markers' kinds are read strictly.
struct FCPMetadata : MetadataRecord<ClipCategory, MarkerInfo> {
    // The record for a frame with no clip: "—" as clip name and source timecode, project
    // timecode "00:00:00:00", 24 fps, nothing else.
    static const FCPMetadata &empty();
};

void to_json(Json &json, const FCPMetadata &metadata);
void from_json(const Json &json, FCPMetadata &metadata);

} // namespace tandrel
