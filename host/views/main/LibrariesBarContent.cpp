#include "host/views/main/LibrariesBarContent.h"

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
    if (!library.isLoaded) {
        return *library.errorMessage;
    }
    std::string text = "Cannot be read:";
    for (const std::string &database : library.unreadableDatabases) {
        text += "\n" + database;
    }
    return text;
}

std::string LibrariesBarContent::removeLabel(const WatchedLibrary &library) {
    return "Remove " + library.name;
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
