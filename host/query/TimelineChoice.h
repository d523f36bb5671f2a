#pragma once

#include <cstdint>
#include <string>

namespace tandrel {

// One timeline the user can choose to serve, with where it lives. Identified by `id`; two
// choices are equal only when all six values are.
struct TimelineChoice {
    // The library scan's id of the timeline (`FCPTimelineInfo::id`).
    std::string id;
    // Its name as the host's views show it and the editor panel's selection is matched with
    // it: elided in the middle to shownNameCharacters characters (elidedLine). Only the query
    // resolver holds a name of megabytes whole, for the snapshot and the validation.
    std::string name;
    // The name of the library that holds it.
    std::string library;
    std::string eventName;
    std::string eventPath;
    int64_t editCount = 0;

    friend bool operator==(const TimelineChoice &, const TimelineChoice &) = default;
};

} // namespace tandrel
