#pragma once

#include "core/model/MarkerType.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tandrel {

// One marker of a timeline with its place on the timeline and the clip that holds it.
struct ScannedMarker {
    int64_t markerPK = 0;
    // "Marker" when the marker has no name.
    std::string text = {};
    MarkerType type = MarkerType::standard;
    // The state of a to-do marker, when recorded.
    std::optional<bool> completed = {};
    // The note of a chapter marker.
    std::optional<std::string> chapterNote = {};
    // The role of the connected clip that holds the marker; absent for spine clips.
    std::optional<std::string> roleUID = {};
    double timelinePositionSeconds = 0;
    std::optional<std::string> containingClipName = {};

    friend bool operator==(const ScannedMarker &, const ScannedMarker &) = default;
};

} // namespace tandrel
