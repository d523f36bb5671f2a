#include "wrapper/MotionTemplateInstaller.h"

#include "wrapper/tests/WrapperFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::FailingFileManager;
using testing::fileContents;
using testing::folderNames;
using testing::WrapperFixture;
using Operation = FailingFileManager::Operation;

TEST(MotionTemplateInstaller, ReplacesAnEarlierTemplateAndRemovesTheLegacyFolder) {
    WrapperFixture fixture;
    fixture.writeOldTemplate();
    fs::create_directories(fixture.templateBase / "Embrikin");

    MotionTemplateInstaller installer(platform::Bundle(fixture.bundle), fixture.home);
    EXPECT_EQ(installer.install(), fixture.templateBase / "Embrik" / "Embrik.moef");

    EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "Embrik.moef"), "new template");
    EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "Media" / "thumbnail.png"), "picture");
    EXPECT_FALSE(fs::exists(fixture.templateBase / "Embrik" / "old-only.txt"));
    EXPECT_EQ(folderNames(fixture.templateBase), std::vector<std::string>{"Embrik"});
}

TEST(MotionTemplateInstaller, AMissingTemplateTouchesNothingUnderMovies) {
    const struct {
        const char *what;
        std::function<void(const WrapperFixture &)> damage;
    } cases[] = {
        {"no resource", [](auto &f) { fs::remove_all(f.bundle / "Contents" / "Resources"); }},
        {"no template folder", [](auto &f) { fs::remove_all(f.templateSource()); }},
        {"no template file", [](auto &f) { fs::remove(f.templateSource() / "Embrik.moef"); }},
    };
    for (const auto &c : cases) {
        WrapperFixture fixture;
        c.damage(fixture);
        MotionTemplateInstaller installer(platform::Bundle(fixture.bundle), fixture.home);
        try {
            installer.install();
            ADD_FAILURE() << c.what;
        } catch (const MotionTemplateInstaller::InstallError &error) {
            EXPECT_STREQ(error.what(), "templateNotFound") << c.what;
        }
        EXPECT_FALSE(fs::exists(fixture.home / "Movies")) << c.what;
    }
}

TEST(MotionTemplateInstaller, RemovesLinksInItsWayWithoutFollowingThem) {
    WrapperFixture fixture;
    const fs::path precious = fixture.temp.path() / "precious";
    fs::create_directories(precious);
    std::ofstream(precious / "keep.txt") << "keep";
    fs::create_directories(fixture.templateBase);
    fs::create_directory_symlink(precious, fixture.templateBase / "Embrik");
    fs::create_directory_symlink(precious, fixture.templateBase / "Embrikin");

    MotionTemplateInstaller(platform::Bundle(fixture.bundle), fixture.home).install();

    EXPECT_EQ(folderNames(precious), std::vector<std::string>{"keep.txt"});
    EXPECT_FALSE(fs::is_symlink(fixture.templateBase / "Embrik"));
    EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "Embrik.moef"), "new template");
}

TEST(MotionTemplateInstaller, AFailedReplacementKeepsTheOldTemplate) {
    const struct {
        const char *what;
        Operation operation;
        int call;
    } cases[] = {
        {"the copy fails half-way", Operation::copy, 1},
        {"the new template cannot take the old one's place", Operation::exchange, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        WrapperFixture fixture;
        fixture.writeOldTemplate();
        FailingFileManager files(c.operation, c.call, ENOSPC);
        MotionTemplateInstaller installer(platform::Bundle(fixture.bundle), fixture.home, files);

        EXPECT_THROW(installer.install(), std::system_error);
        EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "Embrik.moef"), "old template");
        EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "old-only.txt"), "old");
        EXPECT_EQ(folderNames(fixture.templateBase), std::vector<std::string>{"Embrik"});
    }
}

TEST(MotionTemplateInstaller, ALegacyFolderThatStaysIsNoFailure) {
    WrapperFixture fixture;
    fs::create_directories(fixture.templateBase / "Embrikin");
    FailingFileManager files(Operation::remove, 1, EACCES);
    MotionTemplateInstaller(platform::Bundle(fixture.bundle), fixture.home, files).install();
    EXPECT_EQ(fileContents(fixture.templateBase / "Embrik" / "Embrik.moef"), "new template");
}

} // namespace
} // namespace tandrel
