// Watched libraries: adding, loading, reloading on change or on request, and removing.

#include "host/state/AppState.h"

#include "core/database/LibraryScanner.h"
#include "core/support/Log.h"
#include "platform/runtime/MainQueue.h"

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "libraries");
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

bool AppState::acceptsLibrary(const std::filesystem::path &url) const {
    const std::filesystem::path folder = WatchedLibrary::folderOf(url);
    return WatchedLibrary::isLibraryFolder(folder) && !libraryIndex(folder);
}

void AppState::addLibrary(const std::filesystem::path &url) {
    if (!acceptsLibrary(url)) {
        return;
    }
    const std::filesystem::path folder = WatchedLibrary::folderOf(url);
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    libraries.push_back(WatchedLibrary::forURL(folder));
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    if (libraryWatcher_) {
        libraryWatcher_->watch(folder);
    }
    saveBookmark(folder);
    platform::MainQueue::async(this, [this, folder] { loadLibrary(folder); });
}

void AppState::loadLibrary(const std::filesystem::path &url) {
    if (!libraryIndex(url)) {
        return;
    }
    const int generation = ++scanGeneration_[url];
    std::optional<FCPLibrary> scan;
    std::string failure;
    bool midSave = false;
    try {
        scan = services_.scanLibrary(url);
    } catch (const LibraryScanner::UnsettledLibrary &unsettled) {
        log()->info("{}", unsettled.what());
        scan = unsettled.library();
        midSave = true;
    } catch (const std::exception &error) {
        failure = error.what();
    }
    const auto current = scanGeneration_.find(url);
    const std::optional<size_t> at = libraryIndex(url);
    if (current == scanGeneration_.end() || current->second != generation || !at) {
        return; // a newer scan was started, or the library is gone
    }
    if (midSave) {
        readInTheMiddleOfASave_.insert(url);
        if (libraryWatcher_) {
            libraryWatcher_->reportWhenSettled(url);
        }
        // Half a save is not the library's content: a timeline missing from it may only be
        // not written yet. A library read before keeps what it had, and what is served from it
        // stays served; a library never read takes what could be read, for now, but counts as
        // not read yet (for the timeline restored from the last run, and the lone timeline).
        if (watchedLibraries_[*at].isLoaded) {
            return;
        }
    } else {
        readInTheMiddleOfASave_.erase(url);
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    if (scan) {
        libraries[*at] = libraries[*at].loadedWith(*scan);
    } else {
        // A library loaded before keeps its events.
        libraries[*at].errorMessage = failure;
    }
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    const int writesBefore = snapshotWrites_;
    refreshResolvers();
    // A change that leaves the served timeline as it was may be the first part of a save
    // whose rest is on its way (a journal filled before the database is written, a log's
    // frames before its index): the rest is heard of once it settles, not a debounce interval
    // later. Without a change to come, nothing more happens.
    if (libraryWatcher_ && snapshotWrites_ == writesBefore && activeTimelineLibrary_ == url &&
        servedTimelineID_ && servedTimelineID_ == activeTimelineID_) {
        libraryWatcher_->reportRestWhenSettled(url);
    }
    // The panel's sequence may be in the library just loaded.
    applyExtensionSelection();
}

void AppState::removeLibrary(size_t index) {
    if (index >= watchedLibraries_.size()) {
        return;
    }
    const std::filesystem::path url = watchedLibraries_[index].url;
    if (libraryWatcher_) {
        libraryWatcher_->stopWatching(url);
    }
    removeBookmark(url);
    readInTheMiddleOfASave_.erase(url);
    if (const auto access = securityScopedLibraryURLs_.extract(url)) {
        for (int i = 0; i < access.mapped(); ++i) {
            services_.bookmarks->stopAccessing(url);
        }
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    libraries.erase(libraries.begin() + static_cast<std::ptrdiff_t>(index));
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    refreshResolvers();
}

void AppState::refreshNow() {
    if (watchedLibraries_.empty()) {
        return;
    }
    publish(isRefreshing_, true, &AppState::isRefreshingChanged);
    platform::MainQueue::async(this, [this] {
        std::vector<std::filesystem::path> urls;
        for (const WatchedLibrary &library : watchedLibraries_) {
            urls.push_back(library.url);
        }
        refreshLibraries(std::move(urls));
    });
}

void AppState::refreshLibraries(std::vector<std::filesystem::path> urls) {
    if (urls.empty()) {
        publish(isRefreshing_, false, &AppState::isRefreshingChanged);
        return;
    }
    // By URL, not by position: a library removed between two loads must not shift the rest.
    loadLibrary(urls.front());
    urls.erase(urls.begin());
    platform::MainQueue::async(this, [this, urls = std::move(urls)] { refreshLibraries(urls); });
}

void AppState::handleLibraryChange(const std::filesystem::path &url) {
    if (!libraryIndex(url)) {
        return;
    }
    platform::MainQueue::async(this, [this, url] { loadLibrary(url); });
}

} // namespace tandrel
