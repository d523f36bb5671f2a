#pragma once

#include "platform/runtime/Clock.h"
#include "platform/runtime/FileSystemEventStream.h"
#include "platform/runtime/Timer.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tandrel {

// Notices when the editor changes a watched library on disk: one file-system event stream per
// library folder, of which only the event databases (".fcpevent"), their write-ahead logs and
// shared-memory indexes ("-wal", "-shm") and their rollback journals ("-journal", whose removal
// ends a commit) count, and a lost stretch of events (an overflow). Reading a library is no
// change of it: the stream reports writes, never opens and closes. Each library is reported at
// most once per debounce interval; a change that comes sooner is reported when the interval
// since the last report ends, so the last save of a burst is never left unreported. A reader
// that found a save half done asks for the library again once its writes settle, which comes
// sooner. Runs on the thread that creates it.
class LibraryWatcher {
public:
    // Given the library folder. Must not stop watching that library from inside the call.
    using OnChange = std::function<void(const std::filesystem::path &libraryURL)>;

    struct Environment {
        std::shared_ptr<const platform::Clock> clock;
        platform::TimerFactory timers;
        platform::FileSystemEventStream::Factory streams;
    };

    static constexpr std::chrono::seconds debounceInterval{1};
    // How long the databases of a library must be left alone for a save to count as over.
    static constexpr std::chrono::milliseconds settleInterval{50};

    LibraryWatcher(OnChange onChange, Environment environment);
    LibraryWatcher(const LibraryWatcher &) = delete;
    LibraryWatcher &operator=(const LibraryWatcher &) = delete;

    // Starts a stream on the folder unless one runs for it. A folder that cannot be watched
    // stays unwatched (and is tried again at the next call).
    void watch(const std::filesystem::path &libraryURL);
    // Stops the library's stream and any report still due for it; true when a stream ran.
    bool stopWatching(const std::filesystem::path &libraryURL);
    bool isWatching(const std::filesystem::path &libraryURL) const;
    // The library was read in the middle of a save: the next change of it is reported, debounce
    // aside, once no further change has come for the settle interval (and no later than the
    // debounce allows), or at once when the change ends a commit through a rollback journal
    // (the journal's database reads as a whole again) or into a write-ahead log (its index
    // counts every frame the log holds). Nothing more happens when no change
    // comes: that is no save under way.
    void reportWhenSettled(const std::filesystem::path &libraryURL);

    // A read of the library found it as it was, which may only mean that a save under way was
    // read too early (a journal filled before the database is written, a log's frames before
    // its index): the next change is reported as `reportWhenSettled` says, unless a report was
    // made so in the last debounce interval. So a library written without end, changing
    // nothing that is read, is still read no more than twice per interval.
    void reportRestWhenSettled(const std::filesystem::path &libraryURL);

    // Whether a change of this file is one of a library's database changes.
    static bool isDatabaseChange(const platform::FileSystemEvent &event);

private:
    struct Watched {
        std::unique_ptr<platform::FileSystemEventStream> stream;
        std::unique_ptr<platform::Timer> lateReport;
        // Armed by each change while a reader waits for a save to end.
        std::unique_ptr<platform::Timer> settled;
        bool awaitingSettle = false;
        // When a report was last made once writes settled.
        std::optional<platform::Clock::SteadyTime> lastSettledReport;
    };

    void handle(const std::filesystem::path &libraryURL,
                const std::vector<platform::FileSystemEvent> &events);
    void report(const std::filesystem::path &libraryURL, bool settled = false);

    OnChange onChange_;
    Environment environment_;
    std::map<std::filesystem::path, Watched> streams_;
    std::map<std::filesystem::path, platform::Clock::SteadyTime> lastFireTimes_;
};

} // namespace tandrel
