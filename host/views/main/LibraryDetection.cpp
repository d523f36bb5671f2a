#include "host/views/main/LibraryDetection.h"

#include <algorithm>

namespace tandrel {

std::vector<std::filesystem::path>
LibraryDetection::freshLibraries(const std::vector<std::filesystem::path> &found,
                                 const std::vector<WatchedLibrary> &watched) {
    std::vector<std::filesystem::path> fresh;
    for (const std::filesystem::path &library : found) {
        const bool isWatched =
            std::any_of(watched.begin(), watched.end(), [&](const WatchedLibrary &known) {
                return WatchedLibrary::folderOf(known.url) == WatchedLibrary::folderOf(library);
            });
        if (!isWatched) {
            fresh.push_back(library);
        }
    }
    return fresh;
}

LibraryDetection::Step LibraryDetection::next(const std::vector<std::filesystem::path> &found,
                                              const std::vector<WatchedLibrary> &watched) {
    std::vector<std::filesystem::path> fresh = freshLibraries(found, watched);
    const Step::Kind kind = fresh.empty()       ? Step::Kind::nothing
                            : fresh.size() == 1 ? Step::Kind::addOne
                                                : Step::Kind::choose;
    return {kind, std::move(fresh)};
}

std::string LibraryDetection::choiceLabel(const std::filesystem::path &library) {
    return WatchedLibrary::folderOf(library).stem().string();
}

std::string LibraryDetection::resetCommand(const std::optional<std::string> &bundleIdentifier) {
    const bool named = bundleIdentifier && !bundleIdentifier->empty();
    return "tccutil reset AppleEvents " + (named ? *bundleIdentifier : defaultBundleIdentifier);
}

} // namespace tandrel
