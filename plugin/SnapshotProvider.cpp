#include "plugin/SnapshotProvider.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
#include "core/support/RegularFile.h"
#include "core/support/UnicodeText.h"
#include "plugin/FrameRecord.h"
#include "plugin/StatusText.h"
#include "plugin/Timecoding.h"

#include <sys/stat.h>

#include <array>
#include <exception>
#include <iterator>
#include <mutex>

namespace tandrel {

namespace {

using timecode::TimecodeFrameRate;

const std::filesystem::path snapshotFile = std::filesystem::path("Tandrel") / "current.json";
constexpr const char *appGroup = "group.com.ostrevale.tandrel";

// The start candidates after the configured one: the usual project starts.
constexpr std::array<const char *, 3> usualStarts{"01:00:00:00", "00:00:00:00", "10:00:00:00"};

} // namespace

std::string SnapshotProvider::Answer::statusText() const {
    if (!snapshot && refusal) {
        return StatusText::refused(*refusal);
    }
    return StatusText::choose(snapshot != nullptr, failureReason);
}

SnapshotProvider &SnapshotProvider::shared() {
    // Never released: render threads of the host may still ask at exit.
    static const auto *const provider = new std::shared_ptr<SnapshotProvider>(make());
    return **provider;
}

std::shared_ptr<SnapshotProvider> SnapshotProvider::make() {
    return make(Environment{});
}

std::shared_ptr<SnapshotProvider> SnapshotProvider::make(Environment environment) {
    std::shared_ptr<SnapshotProvider> provider(new SnapshotProvider(std::move(environment)));
    provider->self_ = provider;
    return provider;
}

SnapshotProvider::SnapshotProvider(Environment environment)
    : environment_(std::move(environment)),
      logger_(logger("com.ostrevale.tandrel.plugin", "snapshot")) {}

std::optional<std::filesystem::path> SnapshotProvider::appGroupSnapshotURL() {
    try {
        return applicationSupportDirectory() / appGroup / snapshotFile;
    } catch (const std::exception &) {
        return std::nullopt; // no home folder: no container either
    }
}

std::optional<std::filesystem::path> SnapshotProvider::legacySnapshotURL() {
    try {
        return applicationSupportDirectory() / snapshotFile;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

PrivateFolder SnapshotProvider::folderOf(const std::filesystem::path &url) {
    // Below the user's data folder, every folder on the way is checked (the app group's and
    // its "Tandrel"); elsewhere, the file's own folder.
    try {
        const std::filesystem::path base = applicationSupportDirectory();
        const std::filesystem::path relative = url.parent_path().lexically_relative(base);
        if (!relative.empty() && *relative.begin() != ".." && relative != ".") {
            return PrivateFolder::openBelow(base, relative, PrivateFolder::Missing::fail);
        }
    } catch (const std::runtime_error &) {
        // No data folder: the file's own folder is all there is to check.
    }
    return PrivateFolder::open(url.parent_path(), PrivateFolder::Missing::fail);
}

std::optional<std::filesystem::path> SnapshotProvider::defaultSnapshotURL() {
    if (auto url = appGroupSnapshotURL()) {
        std::optional<std::string> refusal;
        try {
            if (folderOf(*url).checkEntry(url->filename().string())) {
                return url;
            }
        } catch (const NotOursError &error) {
            refusal = error.what();
        } catch (const std::exception &) {
            // No container, or no copy in it.
        }
        // Another user's copy is never read; the host's own file is. Said once per reason,
        // since the place is looked up at every examination.
        static std::mutex lock;
        static std::optional<std::string> told;
        const std::lock_guard guard(lock);
        if (refusal && refusal != told) {
            logger("com.ostrevale.tandrel.plugin", "snapshot")
                ->error("Snapshot in the app group not read: {}", *refusal);
        }
        told = refusal;
    }
    return legacySnapshotURL();
}

const PluginSnapshotEntry *
SnapshotProvider::lookup(int64_t tlFrame, TimecodeFrameRate rate,
                         const std::vector<PluginSnapshotEntry> &entries) {
    std::ptrdiff_t low = 0;
    std::ptrdiff_t high = static_cast<std::ptrdiff_t>(entries.size()) - 1;
    while (low <= high) {
        const std::ptrdiff_t middle = low + (high - low) / 2;
        const PluginSnapshotEntry &entry = entries[static_cast<std::size_t>(middle)];
        if (tlFrame < Timecoding::wholeFrames(entry.tlStart, rate)) {
            high = middle - 1;
        } else if (tlFrame >= Timecoding::wholeFrames(entry.tlEnd, rate)) {
            low = middle + 1;
        } else {
            return &entry;
        }
    }
    return nullptr;
}

void SnapshotProvider::waitForReloads() {
    reloadQueue_.waitUntilIdle();
}

SnapshotProvider::Examined SnapshotProvider::examine(const std::filesystem::path &url) {
    try {
        const PrivateFolder folder = folderOf(url);
        struct stat status {};
        if (::fstatat(folder.descriptor(), url.filename().c_str(), &status, 0) != 0) {
            return {};
        }
        folder.checkEntry(url.filename().string());
        return {ModificationDate{status.st_mtim, status.st_ctim, status.st_dev, status.st_ino,
                                 status.st_size},
                std::nullopt};
    } catch (const NotOursError &error) {
        return {std::nullopt, std::string(error.what())};
    } catch (const std::exception &) {
        return {};
    }
}

SnapshotProvider::Decoded
SnapshotProvider::decodeSnapshotFile(const std::filesystem::path &url) const {
    const Examined examined = examine(url);
    if (examined.refusal) {
        return {nullptr, true, examined.refusal};
    }
    const auto &date = examined.date;
    const bool tooLarge =
        date && (date->size < 0 || static_cast<std::uintmax_t>(date->size) > maxSnapshotBytes);
    if (!date || tooLarge) {
        logger_->error("Snapshot at {} missing or exceeds size cap \u2014 rejecting", url.string());
        return {nullptr, tooLarge};
    }
    // Whatever else stops the read (memory refused for a large file, say) leaves nothing to
    // apply and refuses nothing, so the same file is tried again at the next examination, and
    // a reload never stays under way for good.
    try {
        // The open does not block and anything but a regular file is refused: a pipe or device
        // put at the snapshot path would otherwise hold the provider's lock, and with it every
        // render thread, for as long as nobody writes to it. Only a file of the user's own, in
        // folders of the user's own, is read.
        RegularFileRead read = folderOf(url).read(url.filename().string(), maxSnapshotBytes);
        if (read.status != RegularFileRead::Status::read) {
            // Grown past the cap since it was measured: refused like one measured so.
            return {nullptr, read.status == RegularFileRead::Status::tooLarge};
        }
        return {std::make_shared<const PluginSnapshot>(environment_.decode(read.bytes)), false};
    } catch (const NotOursError &error) {
        return {nullptr, true, std::string(error.what())};
    } catch (const DecodingError &error) {
        logger_->debug("Snapshot at {} does not decode: {}", url.string(), error.what());
        return {nullptr, true};
    } catch (const std::exception &error) {
        logger_->debug("Snapshot at {} not read: {}", url.string(), error.what());
    }
    return {};
}

void SnapshotProvider::maybeReloadLocked() {
    const Clock::time_point now = environment_.now();
    if (snapshot_ && lastStatCheck_ && now - *lastStatCheck_ <= statInterval) {
        return;
    }
    lastStatCheck_ = now;
    const std::optional<std::filesystem::path> url = environment_.snapshotURL();
    const Examined examined = url ? examine(*url) : Examined{};
    if (examined.refusal) {
        // Another user's file, or one in another user's folder: never drawn. The snapshot
        // before it goes too, as with any refused version.
        if (examined.refusal != refusal_) {
            logger_->error("Failed to read/decode snapshot: {}", *examined.refusal);
        }
        refusal_ = examined.refusal;
        clearSnapshotLocked();
        refusedModDate_.reset();
        return;
    }
    refusal_.reset();
    const std::optional<ModificationDate> &date = examined.date;
    if (!date) {
        if (snapshot_) {
            logger_->info("Snapshot disappeared");
        }
        clearSnapshotLocked();
        refusedModDate_.reset();
        return;
    }
    if (loadedModDate_ == date || refusedModDate_ == date || isReloading_) {
        return;
    }
    isReloading_ = true;
    if (!snapshot_) {
        applySnapshotLocked(decodeSnapshotFile(*url), *url, *date);
        return;
    }
    reloadQueue_.async([weak = self_, url = *url, date = *date] {
        const std::shared_ptr<SnapshotProvider> self = weak.lock();
        if (!self) {
            return;
        }
        auto decoded = self->decodeSnapshotFile(url);
        std::lock_guard guard(self->lock_);
        self->applySnapshotLocked(std::move(decoded), url, date);
    });
}

void SnapshotProvider::applySnapshotLocked(Decoded decoded, const std::filesystem::path &url,
                                           const ModificationDate &modDate) {
    isReloading_ = false;
    if (!decoded.snapshot) {
        logger_->error("Failed to read/decode snapshot at {}{}", url.string(),
                       decoded.refusal ? ": " + *decoded.refusal : std::string());
        refusal_ = decoded.refusal;
        if (decoded.refused) {
            // Read once: without a snapshot every frame examines the file, and parsing up to
            // the size cap each time would stall every render thread behind the lock. The
            // snapshot before it goes too: the host wrote this version because the timeline,
            // preset or start changed, so the old one may burn another timeline's clips and
            // timecodes into this one.
            refusedModDate_ = modDate;
            clearSnapshotLocked();
        }
        // Otherwise the date is not taken, so the same file is tried again at the next
        // examination.
        return;
    }
    if (!snapshot_ || decoded.snapshot->timelineID != snapshot_->timelineID ||
        decoded.snapshot->timelineStartTimecode != snapshot_->timelineStartTimecode) {
        startDetector_.reset();
    }
    snapshot_ = std::move(decoded.snapshot);
    loadedModDate_ = modDate;
    refusedModDate_.reset();
    // The name comes from a library: one line of the log, whatever it holds.
    logger_->info("Loaded snapshot '{}' ({} entries)", shownLine(snapshot_->timelineName, 120),
                  snapshot_->entries.size());
}

void SnapshotProvider::clearSnapshotLocked() {
    snapshot_ = nullptr;
    loadedModDate_.reset();
    startDetector_.reset();
}

SnapshotProvider::Answer SnapshotProvider::metadata(int64_t value, int32_t timescale,
                                                    uint64_t rateNum, uint64_t rateDen) {
    std::lock_guard guard(lock_);
    maybeReloadLocked();
    return metadataLocked(value, timescale, rateNum, rateDen);
}

SnapshotProvider::Answer SnapshotProvider::metadataLocked(int64_t value, int32_t timescale,
                                                          uint64_t rateNum, uint64_t rateDen) {
    Answer answer{snapshot_, std::nullopt, std::nullopt, snapshot_ ? std::nullopt : refusal_};
    if (!snapshot_) {
        return answer;
    }
    const PluginSnapshot &snapshot = *snapshot_;
    // The editor gives the rate without its drop-frame form. The host states it beside the
    // start; a host that does not leaves the start timecode to say it: ";" before the frames
    // is the drop-frame form. Read as non-drop, a drop-frame timeline would never match its
    // start and would burn non-drop timecode.
    const bool drop = snapshot.timelineDropFrame.value_or(
        snapshot.timelineStartTimecode.find(';') != std::string::npos);
    const auto num = static_cast<int64_t>(rateNum);
    const auto den = static_cast<int64_t>(rateDen);
    const std::optional<TimecodeFrameRate> rate =
        num < 0 || den < 0 ? std::nullopt : Timecoding::rate(num, den, drop);
    if (!rate) {
        answer.failureReason = StatusText::unsupportedRate(rateNum, rateDen);
        return answer;
    }
    if (snapshot.entries.empty()) {
        answer.failureReason = StatusText::noClips(snapshot.timelineName);
        return answer;
    }
    const int64_t absoluteFrame = Timecoding::wholeFrames(value, timescale, *rate);

    // The detector's candidates and start are frames at the rate it was made at; at another
    // rate (the timeline's rate was changed) they stand for other times, so it starts afresh.
    if (startDetector_ && startDetectorRate_ != *rate) {
        startDetector_.reset();
    }
    std::optional<int64_t> start;
    if (startDetector_ && startDetector_->isLocked && startDetector_->startFrame) {
        start = startDetector_->startFrame;
    } else {
        start = detectProjectStartFrameLocked(absoluteFrame, *rate, snapshot.entries,
                                              snapshot.timelineStartTimecode);
    }
    if (!start) {
        answer.failureReason =
            StatusText::playheadDoesNotFit(Timecoding::text(absoluteFrame, *rate));
        return answer;
    }
    const int64_t tlFrame = absoluteFrame - *start;
    const PluginSnapshotEntry *entry = lookup(tlFrame, *rate, snapshot.entries);
    if (!entry) {
        return answer; // a gap
    }
    const auto &clipType = entry->metadata.clipType;
    if (snapshot.displayConfig.hideOnGeneratorClips.value_or(false) && clipType &&
        (*clipType == "generator" || *clipType == "title")) {
        return answer; // drawn as a gap
    }
    answer.metadata = FrameRecord::build(*entry, tlFrame, absoluteFrame, *rate, rateNum, rateDen);
    return answer;
}

std::optional<int64_t>
SnapshotProvider::detectProjectStartFrameLocked(int64_t absoluteFrame, TimecodeFrameRate tlRate,
                                                const std::vector<PluginSnapshotEntry> &entries,
                                                const std::string &configured) {
    if (entries.empty()) {
        return std::nullopt;
    }
    const int64_t timelineLength = Timecoding::wholeFrames(entries.back().tlEnd, tlRate);
    if (!startDetector_) {
        // Text that does not read as a timecode at the rate counts as frame 0.
        std::vector<int64_t> offsets{Timecoding::frames(configured, tlRate).value_or(0)};
        for (const char *usual : usualStarts) {
            offsets.push_back(Timecoding::frames(usual, tlRate).value_or(0));
        }
        startDetector_.emplace(offsets);
        startDetectorRate_ = tlRate;
    }
    return startDetector_->detect(absoluteFrame, timelineLength, [&](int64_t tlFrame) {
        return lookup(tlFrame, tlRate, entries) != nullptr;
    });
}

} // namespace tandrel
