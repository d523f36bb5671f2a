#include "platform/runtime/AppGroup.h"

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
