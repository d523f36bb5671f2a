#include "platform/runtime/AppGroup.h"

#include "core/tests/FileMode.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::ScopedEnvironmentVariable;
using tandrel::testing::ScratchFolder;

TEST(AppGroup, TheGroupsFolderIsMadeInTheDataFolderAndHoldsItsSuite) {
    ScratchFolder data;
    ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", data.path().string());
    const fs::path folder = data / "group.com.ostrevale.tandrel";
    EXPECT_EQ(AppGroup::containerURL("group.com.ostrevale.tandrel"), folder);
    EXPECT_TRUE(fs::is_directory(folder));

    AppGroup::suite("group.com.ostrevale.tandrel")->setValue("Key", QString("value"));
    EXPECT_TRUE(fs::is_regular_file(folder / "group.com.ostrevale.tandrel.ini"));
    EXPECT_EQ(AppGroup::suite("group.com.ostrevale.tandrel")->string("Key"), "value");
}

// The suite holds presets and the editor's selection: the user's alone, also when an earlier
// write left it readable by others. A folder that was there keeps its mode.
TEST(AppGroup, TheFolderItMakesAndTheSuiteAreTheUsersAlone) {
    const tandrel::testing::TypicalUmask umask;
    ScratchFolder data;
    ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", data.path().string());
    fs::permissions(data.path(), fs::perms(0755));
    const fs::path folder = data / "group.com.ostrevale.tandrel";
    const fs::path ini = folder / "group.com.ostrevale.tandrel.ini";

    const auto suite = AppGroup::suite("group.com.ostrevale.tandrel");
    EXPECT_EQ(tandrel::testing::modeOf(folder), 0700u);
    EXPECT_EQ(tandrel::testing::modeOf(data.path()), 0755u);
    ASSERT_TRUE(suite->setValue("Key", QString("value")));
    EXPECT_EQ(tandrel::testing::modeOf(ini), 0600u);

    for (const auto &write : std::vector<std::function<bool()>>{
             [&] { return suite->setValue("Key", QString("other")); },
             [&] { return suite->remove("Key"); }}) {
        fs::permissions(ini, fs::perms(0644));
        EXPECT_TRUE(write());
        EXPECT_EQ(tandrel::testing::modeOf(ini), 0600u);
    }
    EXPECT_EQ(suite->value("Key"), QVariant());
}

TEST(AppGroup, ThereIsNoFolderNorSuiteWhereNoneCanBeHad) {
    ScratchFolder data;
    ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", data.path().string());
    tandrel::testing::writeFile(data / "group.blocked", "a file in the folder's place");
    for (const std::string identifier : {"group.blocked", "", ".", "..", "a/b"}) {
        EXPECT_EQ(AppGroup::containerURL(identifier), std::nullopt) << identifier;
        EXPECT_EQ(AppGroup::suite(identifier), nullptr) << identifier;
    }
    EXPECT_EQ(tandrel::testing::snapshotFiles(data.path()).size(), 1u);
}

} // namespace
} // namespace platform
