// The staged wrapper application run as its users run it, with a private home and data folder.
#include "wrapper/PluginVersionMarker.h"

#include "tools/testing/ChildProcess.h"
#include "wrapper/tests/WrapperFixture.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::ChildProcess;
using testing::TemporaryFolder;

std::vector<std::string> privateEnvironment(const TemporaryFolder &temp) {
    fs::create_directories(temp.path() / "home");
    return {"HOME=" + (temp.path() / "home").string(),
            "XDG_DATA_HOME=" + (temp.path() / "data").string(),
            "XDG_RUNTIME_DIR=" + temp.path().string(), "PATH=/usr/bin:/bin"};
}

const fs::path stagedBundle = TANDREL_EMBRIK_BUNDLE;

TEST(Embrik, ASilentInstallationSucceedsQuietlyAndRecordsTheBuild) {
    TemporaryFolder temp;
    auto environment = privateEnvironment(temp);
    environment.push_back("QT_QPA_PLATFORM=offscreen");

    const auto result = ChildProcess::run(stagedBundle / "Contents" / "MacOS" / "Embrik",
                                          {"--silent-install"}, &environment);

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "home" /
                                    "Movies/Motion Templates.localized/Effects.localized/"
                                    "Ostrevale/Embrik/Embrik.moef"));
    EXPECT_EQ(PluginVersionMarker::read(temp.path() / "data" / "Tandrel" / "plugin_version.json"),
              (PluginVersionMarker{TANDREL_PROJECT_VERSION, TANDREL_BUILD_NUMBER}));
}

TEST(Embrik, WithoutADisplayPrintsItsFailureAndExitsWithStatusOne) {
    TemporaryFolder temp;
    const fs::path bundle = temp.path() / "Embrik.app";
    fs::copy(stagedBundle, bundle, fs::copy_options::recursive);
    fs::remove(bundle / "Contents/Resources/MotionTemplate/Embrik/Embrik.moef");

    const auto environment = privateEnvironment(temp);
    const auto result = ChildProcess::run(bundle / "Contents" / "MacOS" / "Embrik",
                                          {"--silent-install"}, &environment);

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "Could not install the Motion template.\n\ntemplateNotFound\n");
    EXPECT_FALSE(fs::exists(temp.path() / "home" / "Movies"));
    EXPECT_FALSE(fs::exists(temp.path() / "data" / "Tandrel" / "plugin_version.json"));
}

// The template's installation killed (SIGKILL) at each call, in turn, of each system call by
// which it makes, changes, renames or removes what is under "Movies", strace injecting the
// signal as the call begins: whatever step it dies at, the editor finds the old template or
// the new one, whole, and what the dead installation left beside it is gone after the next,
// which installs as ever.
TEST(Embrik, AnInstallationKilledAtAnyStepLeavesTheOldTemplateOrTheNewAndNothingForGood) {
    if (ChildProcess::shell("command -v strace").status != 0) {
        GTEST_SKIP() << "strace is not installed (scripts/setup installs it)";
    }
    const std::string installed = testing::fileContents(
        stagedBundle / "Contents/Resources/MotionTemplate/Embrik/Embrik.moef");
    const fs::path program = stagedBundle / "Contents" / "MacOS" / "Embrik";
    int killed = 0;
    for (const char *call : {"mkdir", "write", "fchmod", "chmod", "symlink", "rename", "renameat2",
                             "unlinkat", "rmdir"}) {
        for (int n = 1; n <= 50; ++n) {
            SCOPED_TRACE(std::string(call) + " #" + std::to_string(n));
            TemporaryFolder temp;
            auto environment = privateEnvironment(temp);
            environment.push_back("QT_QPA_PLATFORM=offscreen");
            const fs::path base = temp.path() / "home" /
                                  "Movies/Motion Templates.localized/Effects.localized/Ostrevale";
            fs::create_directories(base / "Embrik" / "Media");
            std::ofstream(base / "Embrik" / "Embrik.moef") << "old template";
            std::ofstream(base / "Embrik" / "Media" / "old.png") << "old picture";
            const std::string inject =
                std::string("inject=") + call + ":signal=KILL:when=" + std::to_string(n);
            const auto run = ChildProcess::run(
                "/usr/bin/strace",
                {"-f", "-o", "/dev/null", "-e", inject, program.string(), "--silent-install"},
                &environment);
            const std::string now = testing::fileContents(base / "Embrik" / "Embrik.moef");
            const bool oldOne = now == "old template" && fs::exists(base / "Embrik/Media/old.png");
            EXPECT_TRUE(oldOne || (now == installed && !fs::exists(base / "Embrik/Media"))) << now;
            const auto again = ChildProcess::run(program, {"--silent-install"}, &environment);
            EXPECT_EQ(again.status, 0) << again.output;
            EXPECT_EQ(testing::folderNames(base), std::vector<std::string>{"Embrik"});
            EXPECT_EQ(testing::fileContents(base / "Embrik" / "Embrik.moef"), installed);
            if (run.status == 0) {
                break;
            }
            ++killed;
        }
    }
    EXPECT_GE(killed, 8) << "the installation's steps were not reached";
}

} // namespace
} // namespace tandrel
