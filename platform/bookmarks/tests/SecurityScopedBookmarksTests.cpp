#include "platform/bookmarks/SecurityScopedBookmarks.h"

#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(SecurityScopedBookmarks, ABookmarkFindsItsFolderAndIsStaleOnceAnotherFolderTakesItsPlace) {
    tandrel::testing::TemporaryFolder folder;
    const fs::path library = folder.path() / "My Library.fcpbundle";
    fs::create_directory(library);
    SecurityScopedBookmarks &bookmarks = *SecurityScopedBookmarks::system();
    const std::optional<std::string> data = bookmarks.bookmarkData(library);
    ASSERT_TRUE(data);

    auto resolved = bookmarks.resolve(*data);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, library);
    EXPECT_FALSE(resolved->isStale);

    // A new folder made while the old one still exists cannot share its inode.
    fs::rename(library, folder.path() / "Moved.fcpbundle");
    fs::create_directory(library);
    resolved = bookmarks.resolve(*data);
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->url, library);
    EXPECT_TRUE(resolved->isStale);
    // A bookmark made now is not.
    EXPECT_FALSE(bookmarks.resolve(*bookmarks.bookmarkData(library))->isStale);

    fs::remove(library);
    EXPECT_EQ(bookmarks.resolve(*data), std::nullopt);
}

TEST(SecurityScopedBookmarks, NothingIsMadeOrResolvedWithoutAFileOrAWellFormedBookmark) {
    tandrel::testing::TemporaryFolder folder;
    SecurityScopedBookmarks &bookmarks = *SecurityScopedBookmarks::system();
    EXPECT_EQ(bookmarks.bookmarkData(folder.path() / "missing.fcpbundle"), std::nullopt);
    EXPECT_EQ(bookmarks.bookmarkData(""), std::nullopt);

    const std::string place = folder.path().string();
    const std::string malformed[] = {
        "",
        "not a bookmark",
        "[]",
        R"({"path":"relative.fcpbundle","device":1,"inode":2})",
        R"({"path":")" + place + R"(","device":1})",
        R"({"path":")" + place + R"(","device":1,"inode":"2"})",
        R"({"path":")" + place + R"(","device":-1,"inode":2})",
        R"({"path":7,"device":1,"inode":2})",
    };
    for (const std::string &data : malformed) {
        EXPECT_EQ(bookmarks.resolve(data), std::nullopt) << data;
    }
    // Well formed, of another file: found, and stale.
    const auto other = bookmarks.resolve(R"({"path":")" + place + R"(","device":0,"inode":0})");
    ASSERT_TRUE(other);
    EXPECT_TRUE(other->isStale);
}

TEST(SecurityScopedBookmarks, AccessIsRefusedOnlyToWhatCannotBeRead) {
    tandrel::testing::TemporaryFolder folder;
    SecurityScopedBookmarks &bookmarks = *SecurityScopedBookmarks::system();
    EXPECT_TRUE(bookmarks.startAccessing(folder.path()));
    bookmarks.stopAccessing(folder.path());
    EXPECT_FALSE(bookmarks.startAccessing(folder.path() / "missing.fcpbundle"));
}

} // namespace
} // namespace platform
