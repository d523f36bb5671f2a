#pragma once

// Snapshot documents for the plug-in's tests, written by the host's own writer into a private
// data folder, and a clock the tests move by hand.

#include "core/snapshot/SnapshotWriter.h"
#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/AtomicFileWriter.h"
#include "plugin/SnapshotProvider.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tandrel::testing {

// A fresh data folder as $XDG_DATA_HOME for one test, removed afterwards.
class SnapshotFolder {
public:
    SnapshotFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tandrel-plugin-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "no temporary folder";
        }
        root_ = pattern;
        setenv("XDG_DATA_HOME", root_.c_str(), 1);
    }
    ~SnapshotFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    SnapshotFolder(const SnapshotFolder &) = delete;
    SnapshotFolder &operator=(const SnapshotFolder &) = delete;

    // Where the host writes, and the app-group container the plug-in looks in first.
    std::filesystem::path legacyFile() const { return root_ / "Tandrel" / "current.json"; }
    std::filesystem::path appGroupFile() const {
        return root_ / "group.com.ostrevale.tandrel" / "Tandrel" / "current.json";
    }

    static void write(const TandrelSnapshot &snapshot) { SnapshotWriter::write(snapshot); }
    static void writeText(const std::filesystem::path &file, std::string_view text) {
        AtomicFileWriter::write(file, text);
    }
    // Replaces the host's file whole as the writer does, without waiting for the disk: for
    // tests that rewrite it many times.
    void replaceQuickly(std::string_view text) const {
        const std::filesystem::path temporary = legacyFile().string() + ".next";
        std::filesystem::create_directories(legacyFile().parent_path());
        std::ofstream(temporary, std::ios::binary | std::ios::trunc)
            .write(text.data(), static_cast<std::streamsize>(text.size()));
        std::filesystem::rename(temporary, legacyFile());
    }

private:
    std::filesystem::path root_;
};

// Time for the provider's throttle that moves only when told to.
class ManualClock {
public:
    SnapshotProvider::Clock::time_point now() const {
        return SnapshotProvider::Clock::time_point(std::chrono::milliseconds(ms_.load()));
    }
    // Past the provider's examination interval.
    void advance() { ms_ += 1000; }

private:
    std::atomic<int64_t> ms_{1'000'000};
};

// A provider that looks where the plug-in looks, on the manual clock.
inline std::shared_ptr<SnapshotProvider> provider(ManualClock &clock) {
    SnapshotProvider::Environment environment;
    environment.now = [&clock] { return clock.now(); };
    return SnapshotProvider::make(environment);
}

// `frames` frames at num/den frames per second, in the snapshot's 1/240000 s.
inline RationalTime at(int64_t frames, int64_t num = 25, int64_t den = 1) {
    return {frames * RationalTime::snapshotTimescale * den / num, RationalTime::snapshotTimescale};
}

// A clip over timeline frames [start, end) at 25 fps, normal speed, source frames from
// `sourceStart` at 25 fps.
inline SnapshotEntry clip(std::string name, int64_t start, int64_t end, int64_t sourceStart = 0) {
    SnapshotEntry entry;
    entry.tlStart = at(start);
    entry.tlEnd = at(end);
    entry.srcStartFrame = sourceStart;
    entry.srcSpeed = 1;
    entry.srcRate = "25";
    entry.srcFpsNum = 25;
    entry.srcFpsDen = 1;
    entry.metadata.sourceClipName = std::move(name);
    entry.metadata.frameRate = 25;
    return entry;
}

inline TandrelSnapshot snapshot(std::string startTimecode, std::vector<SnapshotEntry> entries,
                                std::string timelineID = "T1") {
    TandrelSnapshot document;
    document.timelineID = std::move(timelineID);
    document.timelineName = "Reel 1";
    document.libraryName = "Sample";
    document.timelineStartTimecode = std::move(startTimecode);
    document.updatedAt = 1'700'000'000;
    document.entries = std::move(entries);
    return document;
}

// What the tests that load the module write. The module's provider is the process's own and
// outlives a test (and its folder) by up to its examination interval, so every such test
// writes the same document.
inline TandrelSnapshot moduleSnapshot() {
    return snapshot("01:00:00:00", {clip("A", 0, 250, 1000)});
}

} // namespace tandrel::testing
