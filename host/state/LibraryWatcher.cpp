#include "host/state/LibraryWatcher.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace tandrel {

namespace {

// The event names a rollback journal whose commit is over (the journal gone), or a write-ahead
// log, or its index, whose last commit is over (the index counts every frame of the log). A
// journal that is still there tells nothing: a writer begins its commit with the journal empty,
// then with its header zeroed until the journal is synced, the very states in which a journal
// kept after its commit (cut short, or its header zeroed) is left; such a commit is heard of
// once its writes settle.
bool endsACommit(const platform::FileSystemEvent &event) {
    if (event.overflow || event.folderGone) {
        return false;
    }
    const std::string name = event.path.filename().string();
    const auto database = [&](std::string_view suffix) {
        return event.path.parent_path() / name.substr(0, name.size() - suffix.size());
    };
    if (name.ends_with("-journal")) {
        std::error_code error;
        if (std::filesystem::exists(event.path, error) || error) {
            return false;
        }
        const DatabaseFileState state = DatabaseFileState::of(database("-journal"));
        return state.database && !state.notADatabase && !state.inTheMiddleOfASave();
    }
    if (name.ends_with("-wal")) {
        return DatabaseFileState::logIsIndexedWhole(database("-wal"));
    }
    if (name.ends_with("-shm")) {
        return DatabaseFileState::logIsIndexedWhole(database("-shm"));
    }
    return false;
}

} // namespace

LibraryWatcher::LibraryWatcher(OnChange onChange, Environment environment)
    : onChange_(std::move(onChange)), environment_(std::move(environment)) {}

bool LibraryWatcher::isDatabaseChange(const platform::FileSystemEvent &event) {
    if (event.overflow || event.folderGone) {
        return true;
    }
    const std::string name = event.path.filename().string();
    return name.ends_with(".fcpevent") || name.ends_with("-wal") || name.ends_with("-shm") ||
           name.ends_with("-journal");
}

void LibraryWatcher::watch(const std::filesystem::path &libraryURL) {
    if (const auto known = watched_.find(libraryURL); known != watched_.end()) {
        if (!known->second.stream && startStream(libraryURL, known->second)) {
            known->second.lookForFolder->stop();
        }
        return;
    }
    Watched &watched = watched_[libraryURL];
    watched.lateReport = environment_.timers();
    watched.settled = environment_.timers();
    watched.looks = environment_.timers();
    watched.quiet = environment_.timers();
    watched.lookForFolder = environment_.timers();
    watched.lastChange = environment_.clock->steadyNow();
    if (!startStream(libraryURL, watched)) {
        watched.folderLookInterval = settleInterval;
        lookForFolder(libraryURL);
    }
}

bool LibraryWatcher::startStream(const std::filesystem::path &libraryURL, Watched &watched) {
    watched.stream = environment_.streams(
        libraryURL, [this, libraryURL](const std::vector<platform::FileSystemEvent> &events) {
            handle(libraryURL, events);
        });
    return watched.stream != nullptr;
}

bool LibraryWatcher::stopWatching(const std::filesystem::path &libraryURL) {
    return watched_.erase(libraryURL) > 0;
}

bool LibraryWatcher::isWatching(const std::filesystem::path &libraryURL) const {
    const auto watched = watched_.find(libraryURL);
    return watched != watched_.end() && watched->second.stream;
}

void LibraryWatcher::reportWhenSettled(const std::filesystem::path &libraryURL,
                                       std::vector<std::filesystem::path> databases) {
    const auto found = watched_.find(libraryURL);
    if (found == watched_.end()) {
        return;
    }
    Watched &watched = found->second;
    watched.awaitingSettle = true;
    watched.lookInterval = firstLookInterval;
    watched.halfSaved = std::move(databases);
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    // Changes heard after the report that led to the read may be the rest of its save: the
    // read may have come before them, and no further change may follow.
    const auto last = lastFireTimes_.find(libraryURL);
    watched.changedSinceAsk = last != lastFireTimes_.end() && watched.lastChange > last->second;
    if (watched.changedSinceAsk) {
        watched.settled->start(std::max<platform::Clock::SteadyTime::duration>(
                                   watched.lastChange + settleInterval - now, {}),
                               [this, libraryURL] { report(libraryURL, true); });
    }
    if (!watched.halfSaved.empty()) {
        watched.looks->start(firstLookInterval, [this, libraryURL] { lookAgain(libraryURL); });
    }
}

void LibraryWatcher::reportRestWhenSettled(const std::filesystem::path &libraryURL) {
    const auto watched = watched_.find(libraryURL);
    if (watched == watched_.end()) {
        return;
    }
    const std::optional<platform::Clock::SteadyTime> last = watched->second.lastSettledReport;
    if (!last || environment_.clock->steadyNow() - *last >= debounceInterval) {
        reportWhenSettled(libraryURL);
    }
}

void LibraryWatcher::reportOnceQuietFor(const std::filesystem::path &libraryURL,
                                        std::chrono::milliseconds quiet) {
    const auto found = watched_.find(libraryURL);
    if (found == watched_.end()) {
        return;
    }
    Watched &watched = found->second;
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    watched.quiet->start(
        std::max<platform::Clock::SteadyTime::duration>(watched.lastChange + quiet - now, {}),
        [this, libraryURL] { report(libraryURL); });
}

platform::Clock::SteadyTime::duration
LibraryWatcher::quietFor(const std::filesystem::path &libraryURL) const {
    const auto watched = watched_.find(libraryURL);
    if (watched == watched_.end()) {
        return {};
    }
    return environment_.clock->steadyNow() - watched->second.lastChange;
}

void LibraryWatcher::handle(const std::filesystem::path &libraryURL,
                            const std::vector<platform::FileSystemEvent> &events) {
    const auto found = watched_.find(libraryURL);
    if (found == watched_.end() ||
        std::none_of(events.begin(), events.end(), &LibraryWatcher::isDatabaseChange)) {
        return;
    }
    Watched &watched = found->second;
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    watched.lastChange = now;
    if (std::any_of(events.begin(), events.end(),
                    [](const platform::FileSystemEvent &event) { return event.folderGone; })) {
        // The stream calling this ends with the folder; what is at its place later is looked
        // for.
        watched.stream.reset();
        watched.folderLookInterval = settleInterval;
        lookForFolder(libraryURL);
    }
    if (watched.awaitingSettle) {
        // A commit ends with its journal, or with the log's index: nothing is left to settle.
        if (std::any_of(events.begin(), events.end(), &endsACommit)) {
            report(libraryURL, true);
            return;
        }
        watched.changedSinceAsk = true;
        watched.settled->start(settleInterval, [this, libraryURL] { report(libraryURL, true); });
    }
    platform::Timer &lateReport = *watched.lateReport;
    const auto last = lastFireTimes_.find(libraryURL);
    if (last == lastFireTimes_.end() || now - last->second >= debounceInterval) {
        report(libraryURL);
    } else if (!lateReport.isActive()) {
        // Reported too recently: the report follows when the interval is over, and it covers
        // every change that comes before then.
        lateReport.start(last->second + debounceInterval - now,
                         [this, libraryURL] { report(libraryURL); });
    }
}

void LibraryWatcher::lookAgain(const std::filesystem::path &libraryURL) {
    const auto found = watched_.find(libraryURL);
    if (found == watched_.end()) {
        return;
    }
    Watched &watched = found->second;
    if (std::none_of(watched.halfSaved.begin(), watched.halfSaved.end(),
                     [](const std::filesystem::path &database) {
                         return DatabaseFileState::of(database).inTheMiddleOfASave().has_value();
                     })) {
        report(libraryURL, true);
        return;
    }
    // A writer that takes its time, or one that stopped for good half way (it crashed): each
    // look costs a few file headers, and the looks grow rarer.
    watched.lookInterval =
        std::min<std::chrono::nanoseconds>(2 * watched.lookInterval, longestLookInterval);
    watched.looks->start(watched.lookInterval, [this, libraryURL] { lookAgain(libraryURL); });
}

void LibraryWatcher::lookForFolder(const std::filesystem::path &libraryURL) {
    const auto found = watched_.find(libraryURL);
    if (found == watched_.end()) {
        return;
    }
    Watched &watched = found->second;
    watched.lookForFolder->start(watched.folderLookInterval, [this, libraryURL] {
        const auto again = watched_.find(libraryURL);
        if (again == watched_.end() || again->second.stream) {
            return;
        }
        std::error_code error;
        if (std::filesystem::is_directory(libraryURL, error) &&
            startStream(libraryURL, again->second)) {
            // Anything may have changed while it was away.
            again->second.lastChange = environment_.clock->steadyNow();
            report(libraryURL);
            return;
        }
        again->second.folderLookInterval = std::min<std::chrono::nanoseconds>(
            2 * again->second.folderLookInterval, longestLookInterval);
        lookForFolder(libraryURL);
    });
}

void LibraryWatcher::report(const std::filesystem::path &libraryURL, bool settled) {
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    // One report covers every change before it.
    if (const auto watched = watched_.find(libraryURL); watched != watched_.end()) {
        watched->second.lateReport->stop();
        watched->second.settled->stop();
        watched->second.looks->stop();
        watched->second.quiet->stop();
        watched->second.awaitingSettle = false;
        watched->second.changedSinceAsk = false;
        watched->second.halfSaved.clear();
        if (settled) {
            watched->second.lastSettledReport = now;
        }
    }
    lastFireTimes_[libraryURL] = now;
    onChange_(libraryURL);
}

} // namespace tandrel
