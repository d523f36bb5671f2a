#pragma once

#include "core/support/PrivateFolder.h"
#include "plugin/PluginSnapshot.h"
#include "plugin/SerialQueue.h"
#include "plugin/StartFrameDetector.h"
#include "plugin/TandrelMetadata.h"
#include "timecode/core/TimecodeFrameRate.h"

#include <spdlog/logger.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tandrel {

// The plug-in's only source of burn-in data: the snapshot file "Tandrel/current.json" that
// the host writes. The provider notices a new file by its modification stamp (examined at most
// every 0.25 s while a snapshot is loaded, at every call while none is), decodes the first one
// on the calling thread and later ones on its reload queue, and answers, per frame, which
// metadata record applies at a timeline time and rate, or why none does. A version of the
// file that is refused (over the size cap, or not a snapshot) is read once, and ends the use of
// the snapshot before it, which may belong to another timeline.
//
// Safe to call from many threads: one lock guards all of its state and is held for the whole
// of a frame's answer (a first, synchronous decode included); background decoding runs without
// it and only applying the result takes it.
class SnapshotProvider {
public:
    using Clock = std::chrono::steady_clock;

    // Where the provider looks and what time it is; the shared provider's are the system's.
    struct Environment {
        // The snapshot file to examine, or nothing when there is no place to look.
        std::function<std::optional<std::filesystem::path>()> snapshotURL = defaultSnapshotURL;
        std::function<Clock::time_point()> now = Clock::now;
        // The document of a snapshot file's text (fails with DecodingError for a bad one).
        std::function<PluginSnapshot(std::string_view)> decode = PluginSnapshot::decode;
    };

    // One frame's answer. The snapshot and the record or the reason come from one locked
    // call, so that concurrent frames never mix each other's answers.
    struct Answer {
        // The snapshot in use for the frame (its preset draws the frame); nothing when no
        // snapshot is loaded.
        std::shared_ptr<const PluginSnapshot> snapshot;
        // The frame's record; nothing for a frame without one.
        std::optional<TandrelMetadata> metadata;
        // Why there is no record, when the reason is worth a text of its own.
        std::optional<std::string> failureReason;
        // Without a snapshot: why the file is not read, when it or a folder it is in is not
        // the user's alone.
        std::optional<std::string> refusal{};

        // The status text of a frame without a record: without a snapshot, the refusal or else
        // the start text; with one, the reason, else the gap text.
        std::string statusText() const;
    };

    // Files larger than this are rejected unread.
    static constexpr std::uintmax_t maxSnapshotBytes = 52'428'800;
    // How long a loaded snapshot is trusted before the file is examined again.
    static constexpr std::chrono::milliseconds statInterval{250};
    // The label of the reload queue.
    static constexpr const char *reloadQueueLabel = "com.ostrevale.tandrel.plugin.snapshotReload";

    // The process's provider, made on first use and never released.
    static SnapshotProvider &shared();
    static std::shared_ptr<SnapshotProvider> make();
    static std::shared_ptr<SnapshotProvider> make(Environment environment);

    SnapshotProvider(const SnapshotProvider &) = delete;
    SnapshotProvider &operator=(const SnapshotProvider &) = delete;

    // The record of the frame at timeline time value ÷ timescale on a timeline of
    // rateNum/rateDen frames per second, with its source timecode, source frame, project
    // timecode and stacked layers of that frame. Picks up a changed file first.
    Answer metadata(int64_t value, int32_t timescale, uint64_t rateNum, uint64_t rateDen);

    // The file in the app-group container when it exists there, and it and its folders are
    // the user's own, else the one in Application Support; nothing when neither folder can be
    // named. Another user's copy in the container is never taken (and said in the log).
    static std::optional<std::filesystem::path> defaultSnapshotURL();
    static std::optional<std::filesystem::path> appGroupSnapshotURL();
    static std::optional<std::filesystem::path> legacySnapshotURL();

    // The entry whose span [tlStart, tlEnd), in whole frames at `rate`, holds `tlFrame`, by
    // bisection over entries in timeline order; nothing in a gap or outside the timeline.
    static const PluginSnapshotEntry *lookup(int64_t tlFrame, timecode::TimecodeFrameRate rate,
                                             const std::vector<PluginSnapshotEntry> &entries);

    // Returns once the reloads queued so far have been applied.
    void waitForReloads();

private:
    // What tells one version of the file from another: its modification and change times,
    // its identity and size (the host replaces the file whole, so each version is a new file,
    // and two writes within one tick of the file system's clock still differ).
    struct ModificationDate {
        timespec modified{};
        timespec changed{};
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        friend bool operator==(const ModificationDate &a, const ModificationDate &b) {
            return same(a.modified, b.modified) && same(a.changed, b.changed) &&
                   a.device == b.device && a.inode == b.inode && a.size == b.size;
        }
        static bool same(const timespec &a, const timespec &b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        }
    };

    // What decoding one version of the file gave.
    struct Decoded {
        // Nothing when the file gave no snapshot.
        std::shared_ptr<const PluginSnapshot> snapshot;
        // The file itself is unusable (over the size cap, or not a snapshot document): reading
        // it again gives the same answer until it changes. A read stopped for want of memory,
        // or by the file going away, is worth trying again.
        bool refused = false;
        // Why a file or folder was not read at all: it is not the user's alone.
        std::optional<std::string> refusal{};
    };

    // What examining the file found: its version, nothing when it is not there, or why it is
    // not read (another user's file or folder).
    struct Examined {
        std::optional<ModificationDate> date;
        std::optional<std::string> refusal;
    };

    explicit SnapshotProvider(Environment environment);

    // The file's folder, opened and checked to be the user's own (every folder below the data
    // folder, for a file there); fails with NotOursError or a filesystem_error.
    static PrivateFolder folderOf(const std::filesystem::path &url);
    static Examined examine(const std::filesystem::path &url);
    Decoded decodeSnapshotFile(const std::filesystem::path &url) const;

    void maybeReloadLocked();
    void applySnapshotLocked(Decoded decoded, const std::filesystem::path &url,
                             const ModificationDate &modDate);
    void clearSnapshotLocked();
    Answer metadataLocked(int64_t value, int32_t timescale, uint64_t rateNum, uint64_t rateDen);
    std::optional<int64_t>
    detectProjectStartFrameLocked(int64_t absoluteFrame, timecode::TimecodeFrameRate tlRate,
                                  const std::vector<PluginSnapshotEntry> &entries,
                                  const std::string &configured);

    Environment environment_;
    std::shared_ptr<spdlog::logger> logger_;
    std::weak_ptr<SnapshotProvider> self_;
    std::mutex lock_; // guards every member below
    std::shared_ptr<const PluginSnapshot> snapshot_;
    std::optional<ModificationDate> loadedModDate_;
    // The version of the file last refused, skipped until the file changes.
    std::optional<ModificationDate> refusedModDate_;
    // Why the file in use was not read, while it is not the user's alone.
    std::optional<std::string> refusal_;
    std::optional<Clock::time_point> lastStatCheck_; // nothing: never examined
    bool isReloading_ = false;
    std::optional<StartFrameDetector> startDetector_;
    // The timeline rate whose frames the detector counts.
    std::optional<timecode::TimecodeFrameRate> startDetectorRate_;
    SerialQueue reloadQueue_{reloadQueueLabel}; // last: its jobs end before the rest goes
};

} // namespace tandrel
