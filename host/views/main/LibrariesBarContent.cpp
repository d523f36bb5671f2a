#include "host/views/main/LibrariesBarContent.h"

namespace tandrel {

LibrariesBarContent::Status LibrariesBarContent::status(const WatchedLibrary &library) {
    if (library.isLoaded) {
        return Status::loaded;
    }
    return library.errorMessage ? Status::failed : Status::reading;
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
