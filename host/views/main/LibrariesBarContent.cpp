#include "host/views/main/LibrariesBarContent.h"

#include "core/support/UnicodeText.h"

#include <algorithm>

namespace tandrel {

LibrariesBarContent::Status LibrariesBarContent::status(const WatchedLibrary &library) {
    if (library.isLoaded) {
        return library.unreadableDatabases.empty() ? Status::loaded : Status::failed;
    }
    return library.errorMessage ? Status::failed : Status::reading;
}

std::string LibrariesBarContent::failure(const WatchedLibrary &library) {
    if (status(library) != Status::failed) {
        return "";
    }
    // Each outside text on a line of its own: a path or an error's words cannot break it.
    if (!library.isLoaded) {
        return shownMessage(*library.errorMessage);
    }
    std::string text = "Cannot be read:";
    const size_t shown = std::min(library.unreadableDatabases.size(), maxFailureLines);
    for (size_t i = 0; i < shown; ++i) {
        text.append("\n").append(shownName(library.unreadableDatabases[i], shownNameCharacters));
    }
    if (shown < library.unreadableDatabases.size()) {
        text.append("\nand ")
            .append(std::to_string(library.unreadableDatabases.size() - shown))
            .append(" more");
    }
    return text;
}

std::string LibrariesBarContent::removeLabel(const WatchedLibrary &library) {
    return std::string("Remove ").append(shownName(library.name, shownNameCharacters));
}

std::optional<size_t> LibrariesBarContent::indexOf(const std::vector<WatchedLibrary> &libraries,
                                                   const Uuid &id) {
    for (size_t i = 0; i < libraries.size(); ++i) {
        if (libraries[i].id == id) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace tandrel
