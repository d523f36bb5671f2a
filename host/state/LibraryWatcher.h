#pragma once

#include "core/database/DatabaseFileState.h"
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
// ends a commit) count, a lost stretch of events (an overflow), and the folder itself going.
// Reading a library is no change of it: the stream reports writes, never opens and closes.
// Each library is reported at most once per debounce interval; a change that comes sooner is
// reported when the interval since the last report ends, so the last save of a burst is never
// left unreported. A reader that found a save half done asks for the library again once its
// writes settle, which comes sooner. A folder that goes (removed, moved away, its drive
// unmounted) is looked for on a timer that backs off, watched again once it is back, and its
// library reported then. Runs on the thread that creates it.
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
    // How long the writes must have been quiet for a database that is gone, or cannot be read,
    // to be so for good rather than for a moment of a save (one that removes the file and
    // writes a new one, say).
    static constexpr std::chrono::seconds longestSavePause{2};
    // The first look at a save that a reader found under way without a change to tell of its
    // end (a log's index updated by the writer raises no event); the looks then grow twice as
    // far apart each time, up to the longest wait below. A look costs a few file headers.
    static constexpr std::chrono::milliseconds firstLookInterval{10};
    // The longest wait between two looks at such a save, and between two looks for a folder
    // that went.
    static constexpr std::chrono::seconds longestLookInterval{5};

    LibraryWatcher(OnChange onChange, Environment environment);
    LibraryWatcher(const LibraryWatcher &) = delete;
    LibraryWatcher &operator=(const LibraryWatcher &) = delete;

    // Starts a stream on the folder unless one runs for it. A folder that cannot be watched
    // (gone, say) is tried again at the next call and on a timer, and reported once watched.
    void watch(const std::filesystem::path &libraryURL);
    // Stops the library's stream and any report still due for it; true when it was watched.
    bool stopWatching(const std::filesystem::path &libraryURL);
    // Whether a stream runs for the library.
    bool isWatching(const std::filesystem::path &libraryURL) const;
    // The library was read in the middle of a save: the next change of it is reported, debounce
    // aside, once no further change has come for the settle interval (and no later than the
    // debounce allows), or at once when the change ends a commit through a rollback journal
    // (the journal's database reads as a whole again) or into a write-ahead log (its index
    // counts every frame the log holds). Changes that came after the last report are such a
    // change already. Besides, `databases` (those found half saved) are looked at again soon,
    // and then less and less often: the library is reported once none of them is in the
    // middle of a save any more, changes or not (the end of a commit into a log shows only in
    // its index, updated without an event). Nothing more happens without databases and
    // without a change: that is no save under way.
    void reportWhenSettled(const std::filesystem::path &libraryURL,
                           std::vector<std::filesystem::path> databases = {});

    // A read of the library found it as it was, which may only mean that a save under way was
    // read too early (a journal filled before the database is written, a log's frames before
    // its index): the next change is reported as `reportWhenSettled` says, unless a report was
    // made so in the last debounce interval. So a library written without end, changing
    // nothing that is read, is still read no more than twice per interval.
    void reportRestWhenSettled(const std::filesystem::path &libraryURL);

    // A read found the library without something it had: the library is reported again once
    // its writes have been quiet for `quiet` (at once when they have been already), so that a
    // second read can tell a save caught between its steps from a loss. A change before then
    // is reported as any other, and the read it brings judges anew.
    void reportOnceQuietFor(const std::filesystem::path &libraryURL,
                            std::chrono::milliseconds quiet);
    // How long no change of the library's databases has come (since it has been watched, when
    // none has).
    platform::Clock::SteadyTime::duration quietFor(const std::filesystem::path &libraryURL) const;

    // Whether a change of this file is one of a library's database changes.
    static bool isDatabaseChange(const platform::FileSystemEvent &event);

private:
    struct Watched {
        std::unique_ptr<platform::FileSystemEventStream> stream;
        std::unique_ptr<platform::Timer> lateReport;
        // Armed by each change while a reader waits for a save to end.
        std::unique_ptr<platform::Timer> settled;
        // Armed while databases found half saved are looked at.
        std::unique_ptr<platform::Timer> looks;
        // Armed while a reader waits for the writes to be quiet.
        std::unique_ptr<platform::Timer> quiet;
        // Armed while the folder is looked for.
        std::unique_ptr<platform::Timer> lookForFolder;
        bool awaitingSettle = false;
        // A change came since the reader asked: the settle timer tells that it is over.
        bool changedSinceAsk = false;
        // The databases a reader found half saved.
        std::vector<std::filesystem::path> halfSaved;
        std::chrono::nanoseconds lookInterval = firstLookInterval;
        std::chrono::nanoseconds folderLookInterval = settleInterval;
        // When a report was last made once writes settled.
        std::optional<platform::Clock::SteadyTime> lastSettledReport;
        // When a database last changed, or the library began to be watched.
        platform::Clock::SteadyTime lastChange;
    };

    // Starts the folder's stream; false when it cannot be watched now.
    bool startStream(const std::filesystem::path &libraryURL, Watched &watched);
    void handle(const std::filesystem::path &libraryURL,
                const std::vector<platform::FileSystemEvent> &events);
    void report(const std::filesystem::path &libraryURL, bool settled = false);
    // A look at the databases found half saved.
    void lookAgain(const std::filesystem::path &libraryURL);
    void lookForFolder(const std::filesystem::path &libraryURL);

    OnChange onChange_;
    Environment environment_;
    std::map<std::filesystem::path, Watched> watched_;
    std::map<std::filesystem::path, platform::Clock::SteadyTime> lastFireTimes_;
};

} // namespace tandrel
