#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tandrel {

// One timeline (project) of an event as a library scan finds it.
struct FCPTimelineInfo {
    // The event database's path, "#", and `collectionPK` in decimal: unique across libraries.
    std::string id;
    std::string name;
    // Z_PK of the timeline's sequence collection in its event database.
    int64_t collectionPK = 0;
    // Items in the primary storyline; 0 for an empty timeline.
    int64_t editCount = 0;
    // Seconds; a scan leaves it absent.
    std::optional<double> duration;

    friend bool operator==(const FCPTimelineInfo &, const FCPTimelineInfo &) = default;
};

} // namespace tandrel
