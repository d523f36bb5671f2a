// Watched libraries: adding, loading, reloading on change or on request, and removing.

#include "host/state/AppState.h"

#include "core/database/LibraryScanner.h"
#include "core/support/Log.h"
#include "host/state/LibraryReadRule.h"
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
    // A folder that went and came back (a "Refresh" after it) is watched again.
    if (libraryWatcher_) {
        libraryWatcher_->watch(url);
    }
    const int generation = ++scanGeneration_[url];
    std::optional<FCPLibrary> scan;
    std::optional<std::string> failure;
    std::vector<std::filesystem::path> halfSaved;
    try {
        scan = services_.scanLibrary(url);
    } catch (const LibraryScanner::UnsettledLibrary &unsettled) {
        log()->info("{}", unsettled.what());
        scan = unsettled.library();
        halfSaved = unsettled.databases();
        if (halfSaved.empty()) {
            halfSaved = databasesOf(url);
        }
    } catch (const std::exception &error) {
        failure = error.what();
    }
    const auto current = scanGeneration_.find(url);
    if (current == scanGeneration_.end() || current->second != generation || !libraryIndex(url)) {
        return; // a newer scan was started, or the library is gone
    }
    takeRead(url, std::move(scan), failure, halfSaved);
}

std::vector<std::filesystem::path> AppState::databasesOf(const std::filesystem::path &url) const {
    std::vector<std::filesystem::path> databases;
    if (const std::optional<size_t> at = libraryIndex(url)) {
        for (const WatchedEvent &event : watchedLibraries_[*at].events) {
            databases.push_back(event.databaseURL);
        }
    }
    return databases;
}

void AppState::takeRead(const std::filesystem::path &url, std::optional<FCPLibrary> scan,
                        const std::optional<std::string> &failure,
                        const std::vector<std::filesystem::path> &halfSaved) {
    const size_t at = *libraryIndex(url);
    const WatchedLibrary &held = watchedLibraries_[at];
    // What the read lost of what the library had.
    std::set<std::filesystem::path> found;
    std::vector<std::string> unreadable;
    bool offersChoice = false;
    if (scan) {
        for (const FCPEvent &event : scan->events) {
            found.insert(event.databaseURL);
            if (event.readFailure) {
                unreadable.push_back(event.path + ": " + *event.readFailure);
            }
            for (const FCPTimelineInfo &timeline : event.timelines) {
                offersChoice = offersChoice || (choice_ && timeline.id == choice_->timelineID);
            }
        }
    }
    bool lostDatabase = !unreadable.empty();
    bool heldChoice = false;
    for (const WatchedEvent &event : held.events) {
        lostDatabase = lostDatabase || (scan && !found.contains(event.databaseURL));
        for (const FCPTimelineInfo &timeline : event.timelines) {
            heldChoice = heldChoice || (choice_ && timeline.id == choice_->timelineID);
        }
    }
    // A choice restored from the last run has its library's first read to wait for.
    const bool choiceIsHere = heldChoice || (choice_ && choice_->library == url && !held.isLoaded);
    const LibraryReadRule::Read read{
        .readBefore = held.isLoaded,
        .midSave = !halfSaved.empty(),
        .failed = failure.has_value(),
        .lostDatabase = lostDatabase,
        .lostChoice = choiceIsHere && !offersChoice,
        .doubtedBefore = doubtedReads_.contains(url),
        .quiet = libraryWatcher_ ? std::chrono::duration_cast<std::chrono::milliseconds>(
                                       libraryWatcher_->quietFor(url))
                                 : std::chrono::milliseconds::max(),
    };
    const LibraryReadRule::Verdict verdict = LibraryReadRule::judge(
        read, LibraryWatcher::settleInterval,
        std::chrono::duration_cast<std::chrono::milliseconds>(LibraryWatcher::longestSavePause));
    if (read.midSave && libraryWatcher_) {
        libraryWatcher_->reportWhenSettled(url, halfSaved);
    }
    if (verdict.doubted) {
        doubtedReads_.insert(url);
        log()->info("{} read without {}; read again once its writes are quiet", url.string(),
                    read.lostChoice && !read.failed && !read.lostDatabase
                        ? "the chosen timeline"
                        : "a database it had, or with one that cannot be read");
        if (libraryWatcher_) {
            libraryWatcher_->reportOnceQuietFor(url, *verdict.readAgainAfterQuiet);
        }
    }
    std::vector<WatchedLibrary> libraries = watchedLibraries_;
    WatchedLibrary &library = libraries[at];
    if (failure) {
        // Noted at once; a library loaded before keeps its events until the loss is believed.
        library.errorMessage = failure;
    }
    if (verdict.take == LibraryReadRule::Take::nothing) {
        // Half a save, or a loss not believed yet: what the library had and what is served
        // from it stay.
        publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
        return;
    }
    if (verdict.take == LibraryReadRule::Take::whole) {
        notReadWhole_.erase(url);
        doubtedReads_.erase(url);
        if (failure && library.isLoaded) {
            // Gone for longer than any save: so are its timelines.
            log()->warn("{} cannot be read: {}", url.string(), *failure);
            library.events.clear();
        }
        if (scan && unreadable != library.unreadableDatabases) {
            for (const std::string &reason : unreadable) {
                log()->warn("{}: an event database cannot be read: {}", url.string(), reason);
            }
            library.unreadableDatabases = unreadable;
        }
    } else {
        notReadWhole_.insert(url);
    }
    if (scan) {
        library = library.loadedWith(*scan);
    }
    publish(watchedLibraries_, std::move(libraries), &AppState::watchedLibrariesChanged);
    const int writesBefore = snapshotWrites_;
    refreshResolvers();
    // A change that leaves the served timeline as it was may be the first part of a save
    // whose rest is on its way (a journal filled before the database is written, a log's
    // frames before its index): the rest is heard of once it settles, not a debounce interval
    // later. Without a change to come, nothing more happens.
    if (libraryWatcher_ && !read.midSave && snapshotWrites_ == writesBefore &&
        activeTimelineLibrary_ == url && servedTimelineID_ &&
        servedTimelineID_ == activeTimelineID_) {
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
    // Its bookmark and a choice in it go in one write.
    const SettingsChange change(*this);
    if (libraryWatcher_) {
        libraryWatcher_->stopWatching(url);
    }
    removeBookmark(url);
    notReadWhole_.erase(url);
    doubtedReads_.erase(url);
    if (choice_ && choice_->library == url) {
        // Nobody can choose it back from here: the choice goes with its library.
        chooseTimeline(std::nullopt);
    }
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
