#pragma once

#include "core/model/FCPTimelineInfo.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// One event of a library: its event database and the timelines found in it.
struct FCPEvent {
    FCPEvent(std::string name, std::optional<std::string> path, std::filesystem::path databaseURL,
             std::vector<FCPTimelineInfo> timelines)
        : name(std::move(name)), path(path ? std::move(*path) : this->name),
          databaseURL(std::move(databaseURL)), timelines(std::move(timelines)) {}

    // The top-level folder under the library that holds the event.
    std::string name;
    // The folder names from the library down to the event folder, joined with " / ".
    std::string path;
    // "CurrentVersion.fcpevent" inside the event folder.
    std::filesystem::path databaseURL;
    std::vector<FCPTimelineInfo> timelines;
    // Why its database could not be read (it does not open as a database, or its project list
    // cannot be queried); it then has no timelines. Nothing when it was read.
    std::optional<std::string> readFailure;

    friend bool operator==(const FCPEvent &, const FCPEvent &) = default;
};

} // namespace tandrel
