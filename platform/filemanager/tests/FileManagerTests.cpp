#include "platform/filemanager/FileManager.h"

#include "core/tests/TemporaryFolder.h"
#include "platform/filemanager/tests/FileFixtures.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::TemporaryFolder;

void writeFile(const fs::path &path, const std::string &content, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << content;
    ::chmod(path.c_str(), mode);
}

mode_t modeOf(const fs::path &path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

int errnoOf(const std::function<void()> &operation) {
    try {
        operation();
    } catch (const std::system_error &error) {
        return error.code().value();
    }
    return 0;
}

TEST(FileManager, CopiesATreeWithLinksAsLinksAndPlainPermissions) {
    TemporaryFolder temp;
    const fs::path outside = temp.path() / "outside.txt";
    writeFile(outside, "not to be copied");
    const fs::path from = temp.path() / "from";
    fs::create_directories(from / "Contents" / "MacOS");
    writeFile(from / "Contents" / "MacOS" / "tool", "#!/bin/sh\n", 04755);
    writeFile(from / "Contents" / "data", "bytes", 0600);
    writeFile(from / "Contents" / "open", "anybody's", 0666);
    fs::create_symlink(outside, from / "Contents" / "link");
    ::chmod((from / "Contents").c_str(), 0750);
    ::chmod((from / "Contents" / "MacOS").c_str(), 0777);

    FileManager::standard().copyItem(from, temp.path() / "to");

    const fs::path to = temp.path() / "to" / "Contents";
    EXPECT_EQ(modeOf(to / "MacOS" / "tool"), 0755u) << "the set-user-ID bit stays behind";
    EXPECT_EQ(modeOf(to / "data"), 0600u);
    EXPECT_EQ(modeOf(to), 0750u);
    // What is installed is changed by its owner only.
    EXPECT_EQ(modeOf(to / "open"), 0644u);
    EXPECT_EQ(modeOf(to / "MacOS"), 0755u);
    ASSERT_TRUE(fs::is_symlink(to / "link"));
    EXPECT_EQ(fs::read_symlink(to / "link"), outside);
    EXPECT_EQ(readRegularFile(to / "data", 100), "bytes");
}

TEST(FileManager, RefusesWhatIsNotAFileLinkOrFolderAndAnExistingTarget) {
    TemporaryFolder temp;
    const fs::path pipe = temp.path() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(errnoOf([&] { FileManager::standard().copyItem(pipe, temp.path() / "p2"); }), EINVAL);

    writeFile(temp.path() / "a", "a");
    writeFile(temp.path() / "b", "b");
    EXPECT_EQ(
        errnoOf([&] { FileManager::standard().copyItem(temp.path() / "a", temp.path() / "b"); }),
        EEXIST);
    EXPECT_EQ(
        errnoOf([&] { FileManager::standard().moveItem(temp.path() / "a", temp.path() / "b"); }),
        EEXIST);
    EXPECT_EQ(readRegularFile(temp.path() / "b", 10), "b");
}

TEST(FileManager, RemovesALinkAndNeverWhatItPointsTo) {
    TemporaryFolder temp;
    const fs::path kept = temp.path() / "kept";
    fs::create_directories(kept);
    writeFile(kept / "file", "stays");
    fs::create_symlink(kept, temp.path() / "link");

    FileManager::standard().removeItem(temp.path() / "link");
    FileManager::standard().removeItem(temp.path() / "nothing-here");

    EXPECT_FALSE(fs::exists(fs::symlink_status(temp.path() / "link")));
    EXPECT_EQ(readRegularFile(kept / "file", 10), "stays");
}

// A file system that cannot swap two entries in one step.
class NoSwapFileManager : public testing::FailingFileManager {
public:
    using FailingFileManager::FailingFileManager;
    void exchangeItems(const fs::path &a, const fs::path &b) override {
        throw std::system_error(EINVAL, std::generic_category(),
                                "Cannot swap \"" + a.string() + "\" and \"" + b.string() + "\"");
    }
};

TEST(FileManager, ReplacesAnItemWholeOrNotAtAll) {
    using Operation = testing::FailingFileManager::Operation;
    const struct {
        const char *what;
        Operation operation;
        int failingCall;
        int error;
        bool swaps = true;
    } cases[] = {
        {"success", Operation::copy, 0, 0},
        {"the copy fails", Operation::copy, 1, ENOSPC},
        {"the copy cannot take the old one's place", Operation::exchange, 1, EPERM},
        {"success where nothing swaps", Operation::copy, 0, 0, false},
        {"the old item cannot be moved aside where nothing swaps", Operation::move, 1, EPERM,
         false},
        {"the copy cannot be moved in where nothing swaps", Operation::move, 2, EPERM, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TemporaryFolder temp;
        fs::create_directories(temp.path() / "new" / "sub");
        writeFile(temp.path() / "new" / "sub" / "file", "new");
        fs::create_directories(temp.path() / "apps" / "Embrik.app");
        writeFile(temp.path() / "apps" / "Embrik.app" / "file", "old");

        testing::FailingFileManager failing(c.operation, c.failingCall, c.error);
        NoSwapFileManager noSwap(c.operation, c.failingCall, c.error);
        FileManager &files = c.swaps ? static_cast<FileManager &>(failing) : noSwap;
        EXPECT_EQ(errnoOf([&] {
                      files.replaceItem(temp.path() / "new", temp.path() / "apps" / "Embrik.app");
                  }),
                  c.error);

        const fs::path app = temp.path() / "apps" / "Embrik.app";
        using Text = std::optional<std::string>;
        EXPECT_EQ(readRegularFile(app / "file", 10), c.error == 0 ? Text() : Text("old"));
        EXPECT_EQ(readRegularFile(app / "sub" / "file", 10), c.error == 0 ? Text("new") : Text());
        EXPECT_EQ(std::distance(fs::directory_iterator(temp.path() / "apps"), {}), 1)
            << "no hidden copy is left beside it";
    }
}

TEST(FileManager, AReplacementClearsWhatOneThatDiedLeftAndTouchesOneUnderWay) {
    TemporaryFolder temp;
    const fs::path apps = temp.path() / "apps";
    const fs::path app = apps / "Embrik.app";
    fs::create_directories(temp.path() / "new");
    writeFile(temp.path() / "new" / "file", "new");
    const std::string uuid = "0F6C3B2A-9D41-4E7B-8C55-1A2B3C4D5E6F";
    const auto staging = [&](char last) {
        std::string name = ".Embrik.app.new-" + uuid;
        name.back() = last;
        return apps / name;
    };
    // Died while it copied; died between its two renames, the old item aside and nothing in
    // its place; and one under way, holding its folder locked.
    fs::create_directories(staging('1') / "Embrik.app");
    writeFile(staging('1') / "Embrik.app" / "file", "half a copy");
    fs::create_directories(staging('2') / "old");
    writeFile(staging('2') / "old" / "file", "old");
    fs::create_directories(staging('3') / "Embrik.app");
    const int held = ::open(staging('3').c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    // An older release's old item moved aside is removed where a copy took its place.
    fs::create_directories(apps / (".Embrik.app.old-" + uuid));
    // Not a leftover: another name, and a link.
    fs::create_directories(apps / ".Embrik.app.new-mine");
    fs::create_directory_symlink(temp.path() / "new", staging('4'));

    // The next replacement puts the old item back first: where its own copy fails, the old
    // item is what stays.
    testing::FailingFileManager failing(testing::FailingFileManager::Operation::copy, 1, ENOSPC);
    EXPECT_EQ(errnoOf([&] { failing.replaceItem(temp.path() / "new", app); }), ENOSPC);
    EXPECT_EQ(readRegularFile(app / "file", 10), "old");
    FileManager::standard().replaceItem(temp.path() / "new", app);
    ::close(held);
    EXPECT_EQ(readRegularFile(app / "file", 10), "new");
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(apps)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> staying{".Embrik.app.new-mine", staging('3').filename().string(),
                                     staging('4').filename().string(), "Embrik.app"};
    std::sort(staying.begin(), staying.end());
    EXPECT_EQ(names, staying);
    EXPECT_EQ(readRegularFile(temp.path() / "new" / "file", 10), "new");

    // An older release that died with the old item aside and nothing in its place: the item
    // goes back.
    testing::FailingFileManager failingAgain(testing::FailingFileManager::Operation::copy, 1,
                                             ENOSPC);
    fs::remove_all(app);
    fs::create_directories(apps / (".Embrik.app.old-" + uuid));
    writeFile(apps / (".Embrik.app.old-" + uuid) / "file", "old");
    EXPECT_EQ(errnoOf([&] { failingAgain.replaceItem(temp.path() / "new", app); }), ENOSPC);
    EXPECT_EQ(readRegularFile(app / "file", 10), "old");
}

TEST(FileManager, ReadsOnlySmallRegularFilesWithoutBlocking) {
    TemporaryFolder temp;
    writeFile(temp.path() / "small", "12345");
    ASSERT_EQ(::mkfifo((temp.path() / "pipe").c_str(), 0600), 0);
    fs::create_symlink(temp.path() / "small", temp.path() / "link");
    fs::create_directories(temp.path() / "folder");

    EXPECT_EQ(readRegularFile(temp.path() / "small", 5), "12345");
    EXPECT_EQ(readRegularFile(temp.path() / "small", 4), std::nullopt);
    EXPECT_EQ(readRegularFile(temp.path() / "pipe", 5), std::nullopt);
    EXPECT_EQ(readRegularFile(temp.path() / "link", 5), std::nullopt);
    EXPECT_EQ(readRegularFile(temp.path() / "folder", 5), std::nullopt);
    EXPECT_EQ(readRegularFile(temp.path() / "missing", 5), std::nullopt);
}

} // namespace
} // namespace platform
