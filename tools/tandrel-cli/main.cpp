// tandrel-cli: the core library from the command line.
//   tandrel-cli scan LIBRARY   the events and timelines a scan of the library finds

#include "core/database/LibraryScanner.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: tandrel-cli scan LIBRARY\n");
    return 2;
}

int scan(const char *path) {
    // The scan itself reports no failure: a path that is no folder just has no events.
    if (!std::filesystem::is_directory(path)) {
        std::fprintf(stderr, "tandrel-cli: %s is not a library folder\n", path);
        return 1;
    }
    const tandrel::FCPLibrary library = tandrel::LibraryScanner::scan(path);
    std::printf("Library \"%s\" (%s): %zu events\n", library.name.c_str(), library.url.c_str(),
                library.events.size());
    for (const auto &event : library.events) {
        std::printf("\nEvent \"%s\" [%s]: %zu timelines\n  database %s\n", event.name.c_str(),
                    event.path.c_str(), event.timelines.size(), event.databaseURL.c_str());
        for (const auto &timeline : event.timelines) {
            std::printf("  - \"%s\": %lld edits, id %s\n", timeline.name.c_str(),
                        static_cast<long long>(timeline.editCount), timeline.id.c_str());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "scan") {
            return scan(argv[2]);
        }
        return usage();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tandrel-cli: %s\n", error.what());
        return 1;
    }
}
