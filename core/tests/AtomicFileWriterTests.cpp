#include "core/support/ApplicationSupport.h"
#include "core/support/AtomicFileWriter.h"
#include "core/support/FileAccess.h"
#include "core/support/PrivateFolder.h"

#include "core/tests/FileMode.h"
#include "core/tests/LogCapture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <sstream>

namespace tandrel {
namespace {

using testing::LogCapture;
using testing::modeOf;
using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;

std::string contents(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> entries(const std::filesystem::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFileWriter, CreatesTheFolderAndReplacesTheFileWhole) {
    TemporaryFolder temp;
    const auto target = temp.path() / "a" / "b" / "current.json";
    const mode_t previousMask = ::umask(022);
    AtomicFileWriter::write(target, "first, and longer");
    ::umask(previousMask);
    EXPECT_EQ(contents(target), "first, and longer");
    // Readers in other processes open it like any file the user makes.
    EXPECT_EQ(std::filesystem::status(target).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);

    AtomicFileWriter::write(target, "second");
    EXPECT_EQ(contents(target), "second");
    EXPECT_EQ(entries(target.parent_path()), std::vector<std::string>{"current.json"});
}

// Files that hold a user's words: 0600 whatever the file they replace allowed, in folders that
// are 0700 where the writer made them; a folder that was there keeps its mode.
TEST(AtomicFileWriter, WritesFilesForTheUserAloneOnRequest) {
    TemporaryFolder temp;
    const testing::TypicalUmask umask;
    const auto shared = temp.path() / "shared";
    std::filesystem::create_directory(shared);
    const auto target = shared / "a" / "b" / "queue.json";

    AtomicFileWriter::write(target, "first", FileAccess::userOnly);
    EXPECT_EQ(modeOf(target), 0600u);
    EXPECT_EQ(modeOf(shared / "a"), 0700u);
    EXPECT_EQ(modeOf(shared / "a" / "b"), 0700u);
    EXPECT_EQ(modeOf(shared), 0755u);

    std::filesystem::permissions(target, std::filesystem::perms(0644));
    AtomicFileWriter::write(target, "second", FileAccess::userOnly);
    EXPECT_EQ(contents(target), "second");
    EXPECT_EQ(modeOf(target), 0600u);

    // Something other than a folder in the way is refused as the standard writer refuses it.
    std::ofstream(temp.path() / "plain") << "x";
    EXPECT_THROW(
        AtomicFileWriter::write(temp.path() / "plain" / "c" / "f", "x", FileAccess::userOnly),
        std::system_error);
}

TEST(FileAccess, RestrictsAnExistingFileToItsUser) {
    TemporaryFolder temp;
    const struct {
        unsigned before;
        unsigned after;
    } cases[] = {{0644, 0600}, {0666, 0600}, {0600, 0600}, {0755, 0700}, {0440, 0400}};
    const auto file = temp.path() / "f";
    std::ofstream(file) << "x";
    for (const auto &c : cases) {
        std::filesystem::permissions(file, std::filesystem::perms(c.before));
        std::error_code error;
        EXPECT_TRUE(restrictToUser(file, error)) << std::oct << c.before;
        EXPECT_EQ(modeOf(file), c.after) << std::oct << c.before;
    }
    std::error_code error;
    EXPECT_TRUE(restrictToUser(temp.path() / "missing", error));
    EXPECT_FALSE(std::filesystem::exists(temp.path() / "missing"));
}

// Whatever the umask allows, what is written is never open to others' writes, and the user's
// own files not to their reads; a stricter umask narrows further.
TEST(FileAccess, WritesNothingWiderThanItsAccessWhateverTheUmask) {
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        for (const FileAccess access : {FileAccess::standard, FileAccess::userOnly}) {
            SCOPED_TRACE(std::to_string(mask) + (access == FileAccess::standard ? " shared" : ""));
            TemporaryFolder temp;
            const auto target = temp.path() / "a" / "b" / "file";
            {
                const testing::ScopedUmask umask(mask);
                AtomicFileWriter::write(target, "first", access);
            }
            EXPECT_EQ(modeOf(target), fileModeFor(access) & ~mask);
            EXPECT_EQ(modeOf(target.parent_path()), folderModeFor(access) & ~mask);
            EXPECT_EQ(modeOf(temp.path() / "a"), folderModeFor(access) & ~mask);

            // A file that others could write is replaced by one they cannot.
            std::filesystem::permissions(target, std::filesystem::perms(0666));
            {
                const testing::ScopedUmask umask(mask);
                AtomicFileWriter::write(target, "second", access);
            }
            EXPECT_EQ(modeOf(target), fileModeFor(access) & ~mask);
        }
    }
}

// Narrowing acts on the file or folder at the path, never on what a link there names: a link
// planted where a mode is narrowed changes nobody else's file.
TEST(FileAccess, NarrowsWithoutFollowingLinks) {
    TemporaryFolder temp;
    const auto file = temp.path() / "file";
    const auto folder = temp.path() / "folder";
    std::ofstream(file) << "x";
    std::filesystem::create_directory(folder);
    std::filesystem::create_symlink(file, temp.path() / "link to file");
    std::filesystem::create_symlink(folder, temp.path() / "link to folder");
    const struct {
        std::filesystem::path path;
        FileAccess access;
        unsigned before;
        bool narrowed;
        unsigned after;
    } cases[] = {
        {file, FileAccess::userOnly, 0644, true, 0600},
        {file, FileAccess::standard, 0666, true, 0644},
        {file, FileAccess::standard, 0640, true, 0640},
        {folder, FileAccess::standard, 0777, true, 0755},
        {folder, FileAccess::userOnly, 0775, true, 0700},
        // The link is refused, and what it names keeps its mode.
        {temp.path() / "link to file", FileAccess::userOnly, 0644, false, 0644},
        {temp.path() / "link to folder", FileAccess::standard, 0777, false, 0777},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.filename().string() + " " + std::to_string(c.before));
        std::filesystem::permissions(c.path, std::filesystem::perms(c.before));
        std::error_code error;
        EXPECT_EQ(narrowAccess(c.path, c.access, error), c.narrowed);
        EXPECT_EQ(error == std::errc::too_many_symbolic_link_levels, !c.narrowed) << error;
        EXPECT_EQ(modeOf(c.path), c.after);
    }

    // At a start, what is not narrowed is said in the log; a folder everybody shares through
    // the sticky bit is left as it is.
    const auto shared = temp.path() / "shared";
    std::filesystem::create_directory(shared);
    ::chmod(shared.c_str(), 01777);
    std::filesystem::permissions(folder, std::filesystem::perms(0777));
    std::filesystem::permissions(file, std::filesystem::perms(0666));
    const LogCapture log("com.ostrevale.tandrel", "files");
    narrowAtStart({{temp.path() / "link to folder", FileAccess::userOnly},
                   {shared, FileAccess::standard},
                   {file, FileAccess::userOnly},
                   {temp.path() / "missing", FileAccess::userOnly}});
    EXPECT_EQ(modeOf(folder), 0777u);
    EXPECT_EQ(modeOf(shared), 01777u);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_NE(log.text().find("link to folder may be open to others"), std::string::npos)
        << log.text();
    EXPECT_EQ(log.text().find("shared"), std::string::npos) << log.text();
}

TEST(FileAccess, TellsWhetherAnotherUserMayChangeWhatIsInAFolder) {
    namespace fs = std::filesystem;
    const bool root = ::geteuid() == 0;
    const struct {
        const char *what;
        unsigned above;
        unsigned folder;
        // Where the folder asked about lies below "folder": "" for itself.
        const char *below;
        // The end of the answer: "" for nothing.
        std::string why;
        bool anotherUsers = false;
    } cases[] = {
        {"the user's, closed to others", 0755, 0755, "", ""},
        {"writable by its group", 0755, 0775, "",
         "/folder: writable by its group (permissions 0775)"},
        {"writable by everybody", 0755, 0777, "",
         "/folder: writable by everybody (permissions 0777)"},
        {"shared with the sticky bit", 0755, 01777, "",
         "/folder: writable by everybody (permissions 01777)"},
        {"below a folder everybody may write", 0777, 0755, "",
         "/above: writable by everybody (permissions 0777)"},
        {"below a folder shared with the sticky bit", 01777, 0755, "", ""},
        {"still to be made in a closed folder", 0755, 0755, "new/newer", ""},
        {"still to be made in an open folder", 0755, 0777, "new/newer",
         "/folder: writable by everybody (permissions 0777)"},
        {"another user's", 0755, 0755, "", "/folder: belongs to another user (user ID 65534)",
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.anotherUsers && !root) {
            continue;
        }
        TemporaryFolder temp;
        const fs::path above = temp.path() / "above";
        const fs::path folder = above / "folder";
        fs::create_directories(folder);
        ::chmod(above.c_str(), c.above);
        ::chmod(folder.c_str(), c.folder);
        if (c.anotherUsers) {
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        }
        const auto why = othersMayWrite(folder / c.below);
        if (c.why.empty()) {
            EXPECT_EQ(why, std::nullopt);
        } else {
            ASSERT_TRUE(why.has_value());
            EXPECT_EQ(*why,
                      (c.why.rfind("/above:", 0) == 0 ? above.parent_path() : above).string() +
                          c.why);
        }
    }
    // A link on the way is judged with what it leads to.
    TemporaryFolder temp;
    fs::create_directory(temp.path() / "open");
    ::chmod((temp.path() / "open").c_str(), 0777);
    fs::create_directory_symlink(temp.path() / "open", temp.path() / "link");
    EXPECT_EQ(othersMayWrite(temp.path() / "link"),
              (temp.path() / "link").string() + ": writable by everybody (permissions 0777)");
}

// A file-size limit makes the kernel refuse the write half-way, even for root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST(AtomicFileWriter, FailuresLeaveThePreviousFileAndNoTemporaryFile) {
    TemporaryFolder temp;
    const auto target = temp.path() / "current.json";
    AtomicFileWriter::write(target, "previous document");

    struct Case {
        const char *what;
        std::filesystem::path target;
    };
    // A folder in the place of the file, and a file in the place of the folder.
    std::filesystem::create_directory(temp.path() / "taken");
    std::ofstream(temp.path() / "plain") << "x";
    const Case cases[] = {
        {"target is a folder", temp.path() / "taken"},
        {"parent is a file", temp.path() / "plain" / "current.json"},
    };
    for (const Case &c : cases) {
        EXPECT_THROW(AtomicFileWriter::write(c.target, "new"), std::system_error) << c.what;
    }
    {
        FileSizeLimit limit(4096);
        try {
            AtomicFileWriter::write(target, std::string(1 << 20, 'x'));
            ADD_FAILURE() << "a write beyond the file-size limit succeeded";
        } catch (const std::system_error &error) {
            EXPECT_EQ(error.code(), std::errc::file_too_large);
        }
    }
    EXPECT_EQ(contents(target), "previous document");
    EXPECT_EQ(entries(temp.path()), (std::vector<std::string>{"current.json", "plain", "taken"}));
    EXPECT_TRUE(std::filesystem::is_empty(temp.path() / "taken"));
}

// Once the new file is in place every reader sees it: a folder that cannot be flushed after
// the rename makes a warning, not a failed write.
TEST(AtomicFileWriter, AFolderThatCannotBeFlushedAfterTheRenameIsNoFailure) {
    TemporaryFolder temp;
    const auto target = temp.path() / "current.json";
    AtomicFileWriter::write(target, "previous document");
    LogCapture log("com.ostrevale.tandrel", "files");
    int flushes = 0;
    EXPECT_NO_THROW(
        AtomicFileWriter::write(target, "new document", [&](const std::filesystem::path &folder) {
            ++flushes;
            EXPECT_EQ(folder, temp.path());
            EXPECT_EQ(contents(target), "new document"); // already renamed
            throw std::system_error(EIO, std::generic_category(), "Cannot flush the folder");
        }));
    EXPECT_EQ(flushes, 1);
    EXPECT_EQ(contents(target), "new document");
    EXPECT_EQ(entries(temp.path()), std::vector<std::string>{"current.json"});
    EXPECT_NE(log.text().find("Wrote " + target.string() +
                              ", but its folder could not be flushed to disk: Cannot flush the "
                              "folder: Input/output error"),
              std::string::npos)
        << log.text();
}

// A writer killed between making its temporary file and renaming it leaves the file: the next
// write beside it takes away every such file whose writer has gone (its lock can be had), and
// keeps one a live writer still holds, and everything that is not such a file.
TEST(AtomicFileWriter, ATemporaryFileLeftByAKilledWriterGoesWithTheNextWrite) {
    TemporaryFolder temp;
    const auto target = temp.path() / "current.json";
    for (const char *name : {".current.json.0A1B2C3D.tmp", ".current.json.DEADBEEF.tmp",
                             ".current.json.tmp", ".other.json.0A1B2C3D.tmp", "current.json.bak"}) {
        std::ofstream(temp.path() / name) << "half a document";
    }
    const int live = ::open((temp.path() / ".current.json.DEADBEEF.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX | LOCK_NB), 0);
    for (const FileAccess access : {FileAccess::standard, FileAccess::userOnly}) {
        AtomicFileWriter::write(target, "whole", access);
        EXPECT_EQ(entries(temp.path()),
                  (std::vector<std::string>{".current.json.DEADBEEF.tmp", ".current.json.tmp",
                                            ".other.json.0A1B2C3D.tmp", "current.json",
                                            "current.json.bak"}));
    }
    ::close(live);
    AtomicFileWriter::write(target, "whole", FileAccess::userOnly);
    EXPECT_EQ(entries(temp.path()),
              (std::vector<std::string>{".current.json.tmp", ".other.json.0A1B2C3D.tmp",
                                        "current.json", "current.json.bak"}));
    EXPECT_EQ(contents(target), "whole");
}

// A folder of the user's own may be read and written only while nobody else may change it: one
// that another user owns, or that its group or others may write, is refused on the descriptor,
// and says why; so is a file of another user's in it. A user's folder that others may only read
// is the user's alone.
TEST(PrivateFolder, RefusesAFolderOrFileThatIsNotTheUsersAlone) {
    TemporaryFolder temp;
    const bool root = ::geteuid() == 0;
    const struct {
        const char *folder;
        unsigned mode;
        bool otherOwner; // made another user's (nobody): needs root
        std::string refusal;
    } rows[] = {
        {"the user's alone", 0700, false, ""},
        {"others may read it", 0755, false, ""},
        {"its group may write it", 0770, false, "its group may write it (permissions 0770)"},
        {"everybody may write it", 0777, false, "others may write it (permissions 0777)"},
        {"shared with the sticky bit", 01777, false, "others may write it (permissions 1777)"},
        {"another user's", 0700, true, "it belongs to another user (nobody)"},
        {"another user's, open to all", 0777, true, "it belongs to another user (nobody)"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.folder);
        if (row.otherOwner && !root) {
            continue; // making a folder another user's takes root
        }
        const auto folder = temp.path() / row.folder;
        std::filesystem::create_directory(folder);
        ::chmod(folder.c_str(), row.mode);
        if (row.otherOwner) {
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        }
        // Written into, opened, and looked into through a link or from the folder above.
        std::filesystem::create_directory_symlink(folder, temp.path() / "link");
        for (const auto &attempt : std::vector<std::function<void()>>{
                 [&] { AtomicFileWriter::write(folder / "f", "x", FileAccess::userOnly); },
                 [&] { PrivateFolder::open(folder, PrivateFolder::Missing::fail); },
                 [&] { PrivateFolder::open(temp.path() / "link", PrivateFolder::Missing::fail); },
                 [&] {
                     PrivateFolder::openBelow(temp.path(), std::filesystem::path(row.folder) / "in",
                                              PrivateFolder::Missing::create);
                 }}) {
            try {
                attempt();
                EXPECT_EQ(row.refusal, "") << "not refused";
            } catch (const NotOursError &error) {
                // The folder as it was named: through the link, the link.
                EXPECT_TRUE(std::string(error.what()).ends_with("\" is refused: " + row.refusal))
                    << error.what();
            }
        }
        std::filesystem::remove(temp.path() / "link");
        if (row.refusal.empty()) {
            EXPECT_EQ(contents(folder / "f"), "x");
        } else {
            EXPECT_FALSE(std::filesystem::exists(folder / "in"));
        }
    }

    // Another user's file in a folder of the user's own is not read.
    if (root) {
        const auto folder = temp.path() / "mine";
        std::filesystem::create_directory(folder);
        ::chmod(folder.c_str(), 0700);
        std::ofstream(folder / "his.json") << "his";
        ASSERT_EQ(::chown((folder / "his.json").c_str(), 65534, 65534), 0);
        const PrivateFolder mine = PrivateFolder::open(folder, PrivateFolder::Missing::fail);
        EXPECT_THROW(mine.read("his.json", 100), NotOursError);
        EXPECT_THROW(mine.checkEntry("his.json"), NotOursError);
        EXPECT_FALSE(mine.checkEntry("missing.json"));
    }
}

TEST(ApplicationSupport, FollowsTheXdgDataHomeRule) {
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::string expected;
    };
    const Case cases[] = {
        {"/data/home", "/home/u", "/data/home"},
        {"", "/home/u", "/home/u/.local/share"},
        {std::nullopt, "/home/u", "/home/u/.local/share"},
        // Relative values are not valid in these variables.
        {"relative/data", "/home/u", "/home/u/.local/share"},
    };
    for (const Case &c : cases) {
        ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", c.dataHome);
        ScopedEnvironmentVariable home("HOME", c.home);
        EXPECT_EQ(applicationSupportDirectory(), c.expected) << c.dataHome.value_or("(unset)");
    }
    ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", std::nullopt);
    ScopedEnvironmentVariable home("HOME", std::nullopt);
    EXPECT_EQ(applicationSupportDirectory().filename(), "share"); // from the account
}

} // namespace
} // namespace tandrel
