#include "host/query/WatchedLibrary.h"

namespace tandrel {

std::filesystem::path WatchedLibrary::folderOf(const std::filesystem::path &url) {
    return url.has_filename() ? url : url.parent_path();
}

bool WatchedLibrary::isLibraryFolder(const std::filesystem::path &folder) {
    return folder.extension() == ".fcpbundle";
}

WatchedLibrary WatchedLibrary::forURL(const std::filesystem::path &url) {
    WatchedLibrary library;
    library.id = Uuid::random();
    library.url = url;
    // A folder given with a trailing separator is still named after its last component.
    library.name = folderOf(url).stem().string();
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
