#pragma once

#include "core/model/BurnInElement.h"
#include "core/model/MarkerType.h"
#include "core/model/MetadataField.h"
#include "core/model/RoleDisplayMode.h"
#include "core/model/StackedLayerColumns.h"
#include "core/model/StackedLayerPrefixPosition.h"
#include "plugin/TandrelMetadata.h"

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tandrel {

// The text each element field burns into a frame, from the frame's metadata record. Pure:
// no state, no lock, no errors. Nothing means the element draws nothing on this frame; any
// other text, the empty one included, goes to the rasteriser.
struct BurnInText {
    // The text of `field`. Most values are joined to a non-empty label with one space (on the
    // first line of a value of several lines); custom text, role text in custom mode and the
    // two stacked-layer blocks are not. showStackedLayers adds one line per stacked layer to
    // the source timecode, source file, reel, scene/shot and source frame fields. A number
    // that no 64-bit integer holds gives no text.
    static std::optional<std::string>
    resolve(MetadataField field, const TandrelMetadata &from, std::string_view label,
            const std::set<MarkerType> &markerTypes, const std::set<std::string> &roleFilterUIDs,
            RoleDisplayMode roleDisplayMode, std::string_view secondaryLabel,
            bool showStackedLayers, std::optional<bool> stackedLayersV1OnTop,
            std::optional<StackedLayerColumns> stackedLayerColumns,
            std::optional<StackedLayerPrefixPosition> stackedLayerPrefixPosition);

    // The element's text on a frame drawn with these state options: the element's own
    // V1-on-top choice when it has one, else the state's (which may be absent too).
    static std::optional<std::string> resolve(const BurnInElement &element,
                                              const TandrelMetadata &from, bool showStackedLayers,
                                              std::optional<bool> stackedLayersV1OnTop);
};

} // namespace tandrel
