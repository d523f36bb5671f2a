// The staged wrapper application run as its users run it, with a private home and data folder.
#include "wrapper/PluginVersionMarker.h"

#include "tools/testing/ChildProcess.h"
#include "wrapper/tests/WrapperFixture.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tandrel
