#include "platform/archive/ArchiveExtractor.h"
#include "platform/archive/ZipWriter.h"

#include "core/tests/TemporaryFolder.h"
#include "platform/archive/tests/CraftedZip.h"
#include "platform/filemanager/tests/FileFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::TemporaryFolder;
using testing::CraftedEntry;
using testing::craftZip;
using testing::file;
using testing::fileContents;
using testing::folder;
using testing::folderNames;
using testing::link;

std::span<const uint8_t> bytesOf(const std::string &text) {
    return {reinterpret_cast<const uint8_t *>(text.data()), text.size()};
}

mode_t permissionsOf(const fs::path &path) {
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// A sandbox folder holding only the extraction's destination, so that anything written beside
// or above the destination shows.
struct Sandbox {
    TemporaryFolder temp;
    fs::path destination = temp.path() / "out";
    Sandbox() { fs::create_directories(destination); }
};

TEST(ArchiveExtractor, UnpacksFilesFoldersAndLinksWithTheirPermissions) {
    Sandbox sandbox;
    const std::string zip = craftZip({
        folder("Embrik.app/"),
        file("Embrik.app/Contents/MacOS/Embrik", "#!/bin/sh\n", 0755),
        file("Embrik.app/Contents/Info.plist", "info", 0600),
        link("Embrik.app/Contents/Current", "MacOS"),
        link("Embrik.app/Contents/MacOS/Info", "../Info.plist"),
        // The folder of entries unpacked already, listed after them.
        folder("Embrik.app/Contents/"),
        folder("Embrik.app/Locked/"),
    });
    ArchiveExtractor::extract(bytesOf(zip), sandbox.destination);

    const fs::path contentsFolder = sandbox.destination / "Embrik.app" / "Contents";
    EXPECT_EQ(fileContents(contentsFolder / "MacOS" / "Embrik"), "#!/bin/sh\n");
    EXPECT_EQ(permissionsOf(contentsFolder / "MacOS" / "Embrik"), 0755u);
    EXPECT_EQ(permissionsOf(contentsFolder / "Info.plist"), 0600u);
    EXPECT_EQ(fs::read_symlink(contentsFolder / "Current"), "MacOS");
    EXPECT_EQ(fileContents(contentsFolder / "MacOS" / "Info"), "info");
    EXPECT_EQ(folderNames(sandbox.temp.path()), std::vector<std::string>{"out"});
}

TEST(ArchiveExtractor, NoFolderIsLeftWritableByOthers) {
    Sandbox sandbox;
    CraftedEntry open = folder("Embrik.app/Contents/");
    open.permissions = 0777;
    CraftedEntry locked = folder("Embrik.app/Locked/");
    locked.permissions = 0050;
    ArchiveExtractor::extract(bytesOf(craftZip({folder("Embrik.app/"), open, locked})),
                              sandbox.destination);
    EXPECT_EQ(permissionsOf(sandbox.destination / "Embrik.app" / "Contents"), 0755u);
    EXPECT_EQ(permissionsOf(sandbox.destination / "Embrik.app" / "Locked"), 0750u);
}

TEST(ArchiveExtractor, RoundTripsAFolderPackedByTheZipWriter) {
    Sandbox sandbox;
    const fs::path app = sandbox.temp.path() / "Embrik.app";
    fs::create_directories(app / "Contents" / "MacOS");
    std::ofstream(app / "Contents" / "MacOS" / "Embrik") << "program";
    fs::permissions(app / "Contents" / "MacOS" / "Embrik", fs::perms(0750));
    fs::create_symlink("MacOS/Embrik", app / "Contents" / "Program");
    ZipWriter::writeFolder(app, sandbox.temp.path() / "app.zip");
    EXPECT_THROW(ZipWriter::writeFolder(app, sandbox.temp.path() / "app.zip"), std::system_error)
        << "an existing archive is never overwritten";

    ArchiveExtractor::extract(sandbox.temp.path() / "app.zip", sandbox.destination);
    const fs::path unpacked = sandbox.destination / "Embrik.app" / "Contents";
    EXPECT_EQ(fileContents(unpacked / "MacOS" / "Embrik"), "program");
    EXPECT_EQ(permissionsOf(unpacked / "MacOS" / "Embrik"), 0750u);
    EXPECT_EQ(fs::read_symlink(unpacked / "Program"), "MacOS/Embrik");
}

TEST(ArchiveExtractor, RefusesEntriesThatCouldReachOutsideOrHarmTheMachine) {
    TemporaryFolder elsewhere;
    const std::string absolute = (elsewhere.path() / "planted").string();
    const struct {
        const char *what;
        std::vector<CraftedEntry> entries;
        std::string reason;
    } cases[] = {
        {"a climbing name", {file("../x", "x")}, "entry \"../x\": a \"..\" component"},
        {"a climbing name inside",
         {file("Embrik.app/../../x", "x")},
         "entry \"Embrik.app/../../x\": a \"..\" component"},
        {"an absolute name", {file(absolute, "x")}, "an absolute path"},
        {"a link out of the bundle",
         {folder("Embrik.app/"), link("Embrik.app/escape", "../../x")},
         "entry \"Embrik.app/escape\": a link that points out of its folder"},
        {"an absolute link",
         {folder("Embrik.app/"), link("Embrik.app/etc", "/etc")},
         "entry \"Embrik.app/etc\": a link that points out of its folder"},
        {"a link as the top-level folder",
         {link("Embrik.app", "elsewhere")},
         "entry \"Embrik.app\": a link that points out of its folder"},
        {"a write through a link",
         {folder("Embrik.app/Contents/"), link("Embrik.app/l", "Contents"),
          file("Embrik.app/l/x", "x")},
         "entry \"Embrik.app/l/x\": inside the link \"Embrik.app/l\""},
        {"a second entry for a name",
         {file("Embrik.app/a", "first"), file("Embrik.app/a", "second")},
         "entry \"Embrik.app/a\": a second entry for the name"},
        {"a device",
         {CraftedEntry{"Embrik.app/disk", CraftedEntry::Kind::file, "", 0644, 0, S_IFBLK | 0644}},
         "entry \"Embrik.app/disk\": a device"},
        {"a set-user-ID program",
         {CraftedEntry{"Embrik.app/tool", CraftedEntry::Kind::file, "x", 0755, 0, S_IFREG | 04755}},
         "entry \"Embrik.app/tool\": a set-user-ID or set-group-ID entry"},
        {"a line break in a name",
         {file("Embrik.app/x\nEmbrik.app: accepted", "x")},
         "entry \"Embrik.app/x\\u{0A}Embrik.app: accepted\": a control character in the name"},
        {"not an archive", {}, "cannot open the archive: Unrecognized archive format"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox sandbox;
        const std::string zip = c.entries.empty() ? "PK but not a zip" : craftZip(c.entries);
        try {
            ArchiveExtractor::extract(bytesOf(zip), sandbox.destination);
            ADD_FAILURE() << "extracted";
        } catch (const ExtractionError &error) {
            EXPECT_THAT(error.what(), ::testing::HasSubstr(c.reason));
        }
        EXPECT_EQ(folderNames(sandbox.temp.path()), std::vector<std::string>{"out"});
        EXPECT_FALSE(fs::exists(fs::symlink_status(absolute)));
        EXPECT_FALSE(fs::exists(fs::symlink_status(sandbox.destination / "Embrik.app/escape")));
    }
}

TEST(ArchiveExtractor, NamesTheEntryAndTheReasonButNeverWhereItUnpacks) {
    const std::string longName = "Embrik.app/Contents/" + std::string(300, 'a');
    const struct {
        const char *what;
        std::vector<CraftedEntry> entries;
        std::string reason;
    } cases[] = {
        {"a name no folder can hold",
         {file(longName, "x")},
         "entry \"" + longName + "\": a path component longer than 255 bytes"},
        {"an entry below a file",
         {file("Embrik.app/a", "x"), file("Embrik.app/a/b", "x")},
         "entry \"Embrik.app/a/b\": "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Sandbox sandbox;
        try {
            ArchiveExtractor::extract(bytesOf(craftZip(c.entries)), sandbox.destination);
            ADD_FAILURE() << "extracted";
        } catch (const ExtractionError &error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.reason, 0), 0u) << error.what();
            EXPECT_THAT(error.what(),
                        ::testing::Not(::testing::HasSubstr(sandbox.temp.path().string())));
        }
    }
}

TEST(ArchiveExtractor, NeverMakesAPipe) {
    // The zip reader hands a pipe recorded in the archive on as a file: what comes out holds
    // the entry's bytes and nobody blocks opening it.
    Sandbox sandbox;
    const std::string zip = craftZip(
        {CraftedEntry{"Embrik.app/pipe", CraftedEntry::Kind::file, "x", 0644, 0, S_IFIFO | 0644}});
    try {
        ArchiveExtractor::extract(bytesOf(zip), sandbox.destination);
    } catch (const ExtractionError &error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("a pipe"));
    }
    EXPECT_FALSE(fs::is_fifo(fs::symlink_status(sandbox.destination / "Embrik.app" / "pipe")));
}

TEST(ArchiveExtractor, StopsAtItsLimits) {
    {
        Sandbox sandbox;
        // A gibibyte of zeros packs into a few megabytes; it is refused before it is inflated.
        const std::string zip = craftZip(
            {CraftedEntry{"Embrik.app/zeros", CraftedEntry::Kind::file, "", 0644, 1ull << 30}});
        EXPECT_THROW(
            {
                try {
                    ArchiveExtractor::extract(bytesOf(zip), sandbox.destination);
                } catch (const ExtractionError &error) {
                    EXPECT_STREQ(error.what(), "more than 536870912 bytes of content");
                    throw;
                }
            },
            ExtractionError);
        EXPECT_FALSE(fs::exists(sandbox.destination / "Embrik.app" / "zeros"));
    }
    const struct {
        ExtractionLimits limits;
        std::string reason;
    } cases[] = {
        {{.maxEntries = 2, .maxBytes = 100}, "more than 2 entries"},
        {{.maxEntries = 10, .maxBytes = 7}, "more than 7 bytes of content"},
    };
    const std::string zip = craftZip({file("a/1", "1234"), file("a/2", "5678"), file("a/3", "")});
    for (const auto &c : cases) {
        Sandbox sandbox;
        try {
            ArchiveExtractor::extract(bytesOf(zip), sandbox.destination, c.limits);
            ADD_FAILURE() << c.reason;
        } catch (const ExtractionError &error) {
            EXPECT_EQ(error.what(), c.reason);
        }
    }
}

} // namespace
} // namespace platform
