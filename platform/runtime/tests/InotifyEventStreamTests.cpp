// The real inotify stream on a scratch folder. Every change is made before the event loop
// runs, and the kernel queues inotify's events as the change is made, so one pass of the loop
// delivers them: nothing here waits.

#include "platform/runtime/InotifyEventStream.h"

#include "core/tests/LibraryFixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <fstream>
#include <set>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::ScratchFolder;
using tandrel::testing::writeFile;

struct InotifyStream : ::testing::Test {
    ScratchFolder folder;
    std::vector<std::vector<FileSystemEvent>> deliveries;

    std::unique_ptr<FileSystemEventStream> open() {
        return InotifyEventStream::open(
            folder.path(), [this](const auto &events) { deliveries.push_back(events); });
    }
    // The paths delivered since the last call, relative to the folder, in one set.
    std::set<std::string> delivered() {
        QCoreApplication::processEvents();
        std::set<std::string> paths;
        for (const auto &events : deliveries) {
            for (const FileSystemEvent &event : events) {
                paths.insert((event.overflow ? "overflow:" : "") +
                             event.path.lexically_relative(folder.path()).string());
            }
        }
        deliveries.clear();
        return paths;
    }
};

TEST_F(InotifyStream, ReportsEachChangedFileOnceAndWatchesNewFolders) {
    fs::create_directories(folder / "Day 1/Original Media");
    writeFile(folder / "Day 1/CurrentVersion.fcpevent", "db");
    const auto stream = open();
    ASSERT_TRUE(stream);
    EXPECT_EQ(static_cast<InotifyEventStream &>(*stream).watchedFolders(), 3u);

    // Reading and listing are no changes, nor is a file opened for writing and closed with
    // nothing written, as SQLite opens a write-ahead log to read it.
    std::ifstream(folder / "Day 1/CurrentVersion.fcpevent").get();
    (void)fs::directory_iterator(folder / "Day 1");
    std::fstream(folder / "Day 1/CurrentVersion.fcpevent", std::ios::in | std::ios::out).get();
    EXPECT_EQ(delivered(), std::set<std::string>{});

    // Created, written and closed: one path, once, in one delivery.
    writeFile(folder / "Day 1/CurrentVersion.fcpevent-wal", "log");
    std::ofstream(folder / "Day 1/CurrentVersion.fcpevent", std::ios::app) << "more";
    writeFile(folder / "Day 1/Original Media/A001.mov", "media");
    EXPECT_EQ(delivered(), (std::set<std::string>{"Day 1/CurrentVersion.fcpevent",
                                                  "Day 1/CurrentVersion.fcpevent-wal",
                                                  "Day 1/Original Media/A001.mov"}));

    // A new event folder, written before the stream could watch it: its files are reported
    // with it, and it is watched from then on.
    writeFile(folder / "Day 2/Selects/CurrentVersion.fcpevent", "db");
    EXPECT_EQ(delivered(), (std::set<std::string>{"Day 2", "Day 2/Selects",
                                                  "Day 2/Selects/CurrentVersion.fcpevent"}));
    writeFile(folder / "Day 2/Selects/CurrentVersion.fcpevent-shm", "index");
    EXPECT_EQ(delivered(), std::set<std::string>{"Day 2/Selects/CurrentVersion.fcpevent-shm"});

    // A folder moved in is watched too; removals and renames are changes.
    ScratchFolder outside;
    writeFile(outside / "Moved/CurrentVersion.fcpevent", "db");
    fs::rename(outside / "Moved", folder / "Moved");
    fs::rename(folder / "Day 1/CurrentVersion.fcpevent-wal", folder / "Day 1/old-wal");
    fs::remove(folder / "Day 1/Original Media/A001.mov");
    EXPECT_EQ(delivered(),
              (std::set<std::string>{"Moved", "Moved/CurrentVersion.fcpevent",
                                     "Day 1/CurrentVersion.fcpevent-wal", "Day 1/old-wal",
                                     "Day 1/Original Media/A001.mov"}));
    writeFile(folder / "Moved/CurrentVersion.fcpevent-wal", "log");
    EXPECT_EQ(delivered(), std::set<std::string>{"Moved/CurrentVersion.fcpevent-wal"});
}

TEST_F(InotifyStream, DeliversNothingOnceDestroyedAndRefusesAMissingFolder) {
    auto stream = open();
    writeFile(folder / "CurrentVersion.fcpevent-wal", "log");
    stream.reset();
    EXPECT_EQ(delivered(), std::set<std::string>{});

    EXPECT_EQ(InotifyEventStream::open(folder / "missing", [](const auto &) {}), nullptr);
    writeFile(folder / "file", "");
    EXPECT_EQ(InotifyEventStream::open(folder / "file", [](const auto &) {}), nullptr);
}

} // namespace
} // namespace platform
