#pragma once

#include "core/model/FCPLibrary.h"
#include "core/support/Uuid.h"
#include "host/query/WatchedEvent.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// One library bundle the user watches. Identified by `id`, which is new for every add; `id`
// and `url` never change, the rest follows each load of the library.
struct WatchedLibrary {
    Uuid id;
    std::filesystem::path url;
    std::string name;
    std::vector<WatchedEvent> events;
    bool isLoaded = false;
    // Why the last load failed; a later load that succeeds keeps it.
    std::optional<std::string> errorMessage;
    // The event databases that could not be read for longer than a save takes, each as its
    // event's path and why ("Day 1: Failed to open FCP database: file is not a database");
    // empty once every one reads.
    std::vector<std::string> unreadableDatabases;

    // The folder a library URL names, without a trailing separator, so that one library has
    // one URL.
    static std::filesystem::path folderOf(const std::filesystem::path &url);
    // Whether a folder is a library: its name ends in ".fcpbundle", compared as written
    // ("Show.FCPBUNDLE" is not one).
    static bool isLibraryFolder(const std::filesystem::path &folder);

    // A library just added: a new id, named after the bundle folder without its extension
    // ("/Volumes/Media/Show.fcpbundle" is "Show"), no events, not loaded yet.
    static WatchedLibrary forURL(const std::filesystem::path &url);

    // The library after a scan that succeeded: the scan's name, one new event (with a new id)
    // per scanned event that has timelines, in scan order, and loaded. The error message stays.
    WatchedLibrary loadedWith(const FCPLibrary &scan) const;

    friend bool operator==(const WatchedLibrary &, const WatchedLibrary &) = default;
};

} // namespace tandrel
