#pragma once

#include "core/model/FCPTimelineInfo.h"
#include "core/support/Uuid.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tandrel {

// One event of a loaded library that holds at least one timeline. Identified by `id`, which
// is new for every load.
struct WatchedEvent {
    Uuid id;
    std::string name;
    std::string path;
    std::filesystem::path databaseURL;
    std::vector<FCPTimelineInfo> timelines;

    friend bool operator==(const WatchedEvent &, const WatchedEvent &) = default;
};

} // namespace tandrel
