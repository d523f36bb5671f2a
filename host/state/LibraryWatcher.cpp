#include "host/state/LibraryWatcher.h"

#include "core/database/DatabaseFileState.h"

#include <algorithm>
#include <string_view>

namespace tandrel {

namespace {

// The event names a rollback journal whose commit is over (the database beside it reads as a
// whole again: the journal gone, or kept without a commit in it), or a write-ahead log, or its
// index, whose last commit is over (the index counts every frame of the log).
bool endsACommit(const platform::FileSystemEvent &event) {
    if (event.overflow) {
        return false;
    }
    const std::string name = event.path.filename().string();
    const auto database = [&](std::string_view suffix) {
        return event.path.parent_path() / name.substr(0, name.size() - suffix.size());
    };
    if (name.ends_with("-journal")) {
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
    if (event.overflow) {
        return true;
    }
    const std::string name = event.path.filename().string();
    return name.ends_with(".fcpevent") || name.ends_with("-wal") || name.ends_with("-shm") ||
           name.ends_with("-journal");
}

void LibraryWatcher::watch(const std::filesystem::path &libraryURL) {
    if (streams_.contains(libraryURL)) {
        return;
    }
    auto stream = environment_.streams(
        libraryURL, [this, libraryURL](const std::vector<platform::FileSystemEvent> &events) {
            handle(libraryURL, events);
        });
    if (stream) {
        streams_[libraryURL] = {std::move(stream), environment_.timers(), environment_.timers(),
                                false, std::nullopt};
    }
}

bool LibraryWatcher::stopWatching(const std::filesystem::path &libraryURL) {
    return streams_.erase(libraryURL) > 0;
}

bool LibraryWatcher::isWatching(const std::filesystem::path &libraryURL) const {
    return streams_.contains(libraryURL);
}

void LibraryWatcher::reportWhenSettled(const std::filesystem::path &libraryURL) {
    if (const auto watched = streams_.find(libraryURL); watched != streams_.end()) {
        watched->second.awaitingSettle = true;
    }
}

void LibraryWatcher::reportRestWhenSettled(const std::filesystem::path &libraryURL) {
    const auto watched = streams_.find(libraryURL);
    if (watched == streams_.end()) {
        return;
    }
    const std::optional<platform::Clock::SteadyTime> last = watched->second.lastSettledReport;
    if (!last || environment_.clock->steadyNow() - *last >= debounceInterval) {
        watched->second.awaitingSettle = true;
    }
}

void LibraryWatcher::handle(const std::filesystem::path &libraryURL,
                            const std::vector<platform::FileSystemEvent> &events) {
    const auto watched = streams_.find(libraryURL);
    if (watched == streams_.end() ||
        std::none_of(events.begin(), events.end(), &LibraryWatcher::isDatabaseChange)) {
        return;
    }
    if (watched->second.awaitingSettle) {
        // A commit ends with its journal, or with the log's index: nothing is left to settle.
        if (std::any_of(events.begin(), events.end(), &endsACommit)) {
            report(libraryURL, true);
            return;
        }
        watched->second.settled->start(settleInterval,
                                       [this, libraryURL] { report(libraryURL, true); });
    }
    platform::Timer &lateReport = *watched->second.lateReport;
    const auto last = lastFireTimes_.find(libraryURL);
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    if (last == lastFireTimes_.end() || now - last->second >= debounceInterval) {
        report(libraryURL);
    } else if (!lateReport.isActive()) {
        // Reported too recently: the report follows when the interval is over, and it covers
        // every change that comes before then.
        lateReport.start(last->second + debounceInterval - now,
                         [this, libraryURL] { report(libraryURL); });
    }
}

void LibraryWatcher::report(const std::filesystem::path &libraryURL, bool settled) {
    const platform::Clock::SteadyTime now = environment_.clock->steadyNow();
    // One report covers every change before it.
    if (const auto watched = streams_.find(libraryURL); watched != streams_.end()) {
        watched->second.lateReport->stop();
        watched->second.settled->stop();
        watched->second.awaitingSettle = false;
        if (settled) {
            watched->second.lastSettledReport = now;
        }
    }
    lastFireTimes_[libraryURL] = now;
    onChange_(libraryURL);
}

} // namespace tandrel
