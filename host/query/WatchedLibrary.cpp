#include "host/query/WatchedLibrary.h"

namespace tandrel {

WatchedLibrary WatchedLibrary::forURL(const std::filesystem::path &url) {
    // A folder given with a trailing separator is still named after its last component.
    const std::filesystem::path folder = url.has_filename() ? url : url.parent_path();
    WatchedLibrary library;
    library.id = Uuid::random();
    library.url = url;
    library.name = folder.stem().string();
    return library;
}

WatchedLibrary WatchedLibrary::loadedWith(const FCPLibrary &scan) const {
    WatchedLibrary library = *this;
    library.name = scan.name;
    library.events.clear();
    for (const FCPEvent &event : scan.events) {
        if (!event.timelines.empty()) {
            library.events.push_back(
                {Uuid::random(), event.name, event.path, event.databaseURL, event.timelines});
        }
    }
    library.isLoaded = true;
    return library;
}

} // namespace tandrel
