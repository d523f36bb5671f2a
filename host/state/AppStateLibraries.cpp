// Watched libraries: adding, loading, reloading on change and removing.

#include "host/state/AppState.h"

#include "platform/runtime/MainQueue.h"

namespace tandrel {

namespace {

// The folder without a trailing separator, so that one library has one URL.
std::filesystem::path libraryFolder(const std::filesystem::path &url) {
    return url.has_filename() ? url : url.parent_path();
}

} // namespace

std::optional<size_t> AppState::libraryIndex(const std::filesystem::path &url) const {
    for (size_t i = 0; i < watchedLibraries_.size(); ++i) {
        if (watchedLibraries_[i].url == url) {
            return i;
        }
    }
    return std::nullopt;
}

void AppState::addLibrary(const std::filesystem::path &url) {
    const std::filesystem::path folder = libraryFolder(url);
    if (folder.extension() != ".fcpbundle" || libraryIndex(folder)) {
        return;
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    libraries.push_back(WatchedLibrary::forURL(folder));
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    if (libraryWatcher_) {
        libraryWatcher_->watch(folder);
    }
    platform::MainQueue::async(this, [this, folder] {
        if (const auto index = libraryIndex(folder)) {
            loadLibrary(*index);
        }
    });
}

void AppState::loadLibrary(size_t index) {
    if (index >= watchedLibraries_.size()) {
        return;
    }
    const std::filesystem::path url = watchedLibraries_[index].url;
    const int generation = ++scanGeneration_[url];
    std::optional<FCPLibrary> scan;
    std::string failure;
    try {
        scan = services_.scanLibrary(url);
    } catch (const std::exception &error) {
        failure = error.what();
    }
    const auto current = scanGeneration_.find(url);
    const std::optional<size_t> at = libraryIndex(url);
    if (current == scanGeneration_.end() || current->second != generation || !at) {
        return; // a newer scan was started, or the library is gone
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    if (scan) {
        libraries[*at] = libraries[*at].loadedWith(*scan);
    } else {
        // A library loaded before keeps its events.
        libraries[*at].errorMessage = failure;
    }
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    refreshResolvers();
    // The panel's sequence may be in the library just loaded.
    applyExtensionSelection();
}

void AppState::removeLibrary(size_t index) {
    if (index >= watchedLibraries_.size()) {
        return;
    }
    if (libraryWatcher_) {
        libraryWatcher_->stopWatching(watchedLibraries_[index].url);
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    libraries.erase(libraries.begin() + static_cast<std::ptrdiff_t>(index));
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    refreshResolvers();
}

void AppState::handleLibraryChange(const std::filesystem::path &url) {
    if (!libraryIndex(url)) {
        return;
    }
    // Looked up again when it runs: the list may have changed meanwhile.
    platform::MainQueue::async(this, [this, url] {
        if (const auto index = libraryIndex(url)) {
            loadLibrary(*index);
        }
    });
}

} // namespace tandrel
