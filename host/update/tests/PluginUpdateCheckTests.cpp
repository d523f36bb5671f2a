#include "host/update/PluginUpdateCheck.h"

#include "host/update/PluginUpdateInstaller.h"
#include "host/update/PluginVersionWarningBannerModel.h"
#include "host/update/tests/UpdateFixture.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using State = PluginUpdateCheck::State;
using testing::TemporaryFolder;

// A marker file with the given content (nothing: no file) and a host of the given build.
struct CheckFixture {
    TemporaryFolder temp;
    PluginUpdateCheck::Inputs inputs;

    CheckFixture(const std::string &hostBuild, const std::optional<std::string> &marker) {
        inputs = {hostBuild, temp.path() / "Tandrel" / "plugin_version.json",
                  temp.path() / "Applications" / "Embrik.app"};
        if (marker) {
            fs::create_directories(inputs.markerLocation->parent_path());
            std::ofstream(*inputs.markerLocation) << *marker;
        }
    }
};

std::string markerOfBuild(const std::string &build) {
    return R"({"version":"1.0","build":")" + build + R"("})";
}

TEST(PluginUpdateCheck, InstallsOnlyOverAnOlderMarkedBuild) {
    const struct {
        std::string hostBuild;
        std::optional<std::string> marker;
        std::optional<std::int64_t> outdated;
    } cases[] = {
        {"58", std::nullopt, std::nullopt},
        {"58", markerOfBuild("57"), 57},
        {"57", markerOfBuild("57"), std::nullopt},
        {"56", markerOfBuild("57"), std::nullopt},
        {"58", markerOfBuild("57a"), std::nullopt},
        {"58", markerOfBuild(" 57"), std::nullopt},
        {"58", markerOfBuild("5.7"), std::nullopt},
        {"58", markerOfBuild(""), std::nullopt},
        {"58", markerOfBuild("99999999999999999999"), std::nullopt},
        {"58", markerOfBuild("+57"), 57},
        {"0", markerOfBuild("-1"), -1},
        {"1.0", markerOfBuild("0"), std::nullopt},
        {"", markerOfBuild("0"), std::nullopt},
        {"1.0", markerOfBuild("-1"), -1},
        {"58", R"({"version":"1.0","build":57})", std::nullopt},
        {"58", "not json", std::nullopt},
    };
    for (const auto &c : cases) {
        CheckFixture fixture(c.hostBuild, c.marker);
        EXPECT_EQ(PluginUpdateCheck::outdatedBuild(fixture.inputs), c.outdated)
            << c.hostBuild << " over " << c.marker.value_or("no marker");
    }
    CheckFixture noPlace("58", markerOfBuild("57"));
    noPlace.inputs.markerLocation.reset();
    EXPECT_EQ(PluginUpdateCheck::outdatedBuild(noPlace.inputs), std::nullopt);

    // A marker behind the installed application (installed by hand and not yet run, or
    // recorded by an older wrapper): the application's own build counts too.
    const struct {
        std::string marker;
        std::string application;
        std::optional<std::int64_t> outdated;
    } behind[] = {
        {"0", "58", std::nullopt},
        {"0", "60", std::nullopt},
        {"0", "5", 5},
        {"7", "5", 7},
        {"0", "5x", 0},
    };
    for (const auto &c : behind) {
        CheckFixture fixture("58", markerOfBuild(c.marker));
        platform::testing::writeSampleBundle(fixture.inputs.installedApplication, c.application);
        EXPECT_EQ(PluginUpdateCheck::outdatedBuild(fixture.inputs), c.outdated)
            << "marker " << c.marker << ", application " << c.application;
    }
}

TEST(PluginUpdateCheck, ReportsTheInstalledBuildFromTheApplicationElseTheMarker) {
    CheckFixture fixture("58", std::nullopt);
    EXPECT_EQ(PluginUpdateCheck::stateAfterSuccess(fixture.inputs), State::installed("?"));
    fs::create_directories(fixture.inputs.markerLocation->parent_path());
    std::ofstream(*fixture.inputs.markerLocation) << markerOfBuild("57");
    EXPECT_EQ(PluginUpdateCheck::stateAfterSuccess(fixture.inputs), State::installed("57"));
    platform::testing::writeSampleBundle(fixture.inputs.installedApplication, "59");
    EXPECT_EQ(PluginUpdateCheck::stateAfterSuccess(fixture.inputs), State::installed("59"));
}

TEST(PluginUpdateCheck, TurnsFailuresIntoStates) {
    using InstallError = PluginUpdateInstaller::InstallError;
    const struct {
        std::exception_ptr failure;
        State state;
    } cases[] = {
        {std::make_exception_ptr(InstallError::appManagementPermissionDenied()),
         State::needsAppManagementPermission()},
        {std::make_exception_ptr(InstallError::httpStatus(404)),
         State::failed("the download server answered HTTP 404")},
        {std::make_exception_ptr(std::runtime_error("Connection refused")),
         State::failed("the download failed")},
        {std::make_exception_ptr(
             std::system_error(ENOSPC, std::generic_category(), "Cannot create \"/tmp/x\"")),
         State::failed("the update's temporary files could not be written")},
        {std::make_exception_ptr(42), State::failed("an unexpected error occurred")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PluginUpdateCheck::stateAfterFailure(c.failure), c.state) << c.state.text();
    }
}

TEST(PluginUpdateCheck, PublishesInstallingBeforeTheInstallerRunsAndThenItsOutcome) {
    const struct {
        const char *what;
        std::optional<std::string> marker;
        std::exception_ptr outcome;
        std::vector<State> published;
    } cases[] = {
        {"no marker", std::nullopt, nullptr, {State::upToDate()}},
        {"an update", markerOfBuild("57"), nullptr, {State::installing(), State::installed("57")}},
        {"a failed update",
         markerOfBuild("57"),
         std::make_exception_ptr(std::runtime_error("Connection refused")),
         {State::installing(), State::failed("the download failed")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CheckFixture fixture("58", c.marker);
        std::vector<State> published;
        std::vector<std::int64_t> installedBuilds;
        std::function<void(std::exception_ptr)> finish;
        PluginUpdateCheck::run(
            fixture.inputs,
            [&](std::int64_t installedBuild, std::function<void(std::exception_ptr)> done) {
                EXPECT_EQ(published, std::vector<State>{State::installing()});
                installedBuilds.push_back(installedBuild);
                finish = std::move(done);
            },
            [&](const State &state) { published.push_back(state); });
        if (finish) {
            finish(c.outcome);
            EXPECT_EQ(installedBuilds, std::vector<std::int64_t>{57});
        }
        EXPECT_EQ(published, c.published);
    }
}

TEST(PluginVersionWarningBanner, ShowsEachStateWithItsIconTextAndButtons) {
    using Icon = PluginVersionWarningBannerModel::Icon;
    const std::string reason = "the download server answered HTTP 404";
    const struct {
        State state;
        PluginVersionWarningBannerModel model;
    } cases[] = {
        {State::installed("58"),
         {Icon::checkmark,
          "Final Cut Pro plugin updated to build 58. Restart Final Cut Pro to use it \u2014 it "
          "keeps the old version loaded until then.",
          false, false}},
        {State::failed(reason),
         {Icon::warning,
          "Couldn't automatically update your Final Cut Pro plugin (" + reason +
              "). Please download the full installer instead.",
          false, true}},
        {State::upToDate(), {Icon::none, "", false, false}},
        {State::installing(),
         {Icon::spinner,
          "Updating your Final Cut Pro plugin in the background \u2014 Sparkle only updates "
          "this Host app, so Embrik now fetches the matching plugin itself.",
          false, false}},
        {State::needsAppManagementPermission(),
         {Icon::warning,
          "Couldn't update your Final Cut Pro plugin: macOS won't let Embrik Host replace "
          "Embrik.app in /Applications until it has the \u201CApp Management\u201D permission. "
          "Turn it on under Privacy & Security \u2192 App Management, then relaunch Embrik "
          "Host. If it's already on, use the full installer instead.",
          true, true}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(bannerModel(c.state), c.model) << c.model.message;
    }
    // Without an update server there is no installer to download.
    EXPECT_FALSE(bannerModel(State::failed(reason), false).showsDownloadInstallerButton);
    EXPECT_FALSE(
        bannerModel(State::needsAppManagementPermission(), true, false).showsAppManagementButton);
}

TEST(PluginVersionWarningBanner, SaysInOneLineWhatFailedAndWhatComesNextNeverTheRawMessage) {
    using InstallError = PluginUpdateInstaller::InstallError;
    const std::string temporary = "/tmp/EmbrikPluginUpdate-6F1C0D2E-0000-4000-8000-000000000000";
    const std::string installer = "Please download the full installer instead.";
    const auto failedWith = [](const auto &error) {
        return PluginUpdateCheck::stateAfterFailure(std::make_exception_ptr(error));
    };
    const struct {
        const char *what;
        State state;
        bool hasInstallerAddress;
        std::string reason;
        std::string next;
    } cases[] = {
        {"a server's status", failedWith(InstallError::httpStatus(404)), true,
         "the download server answered HTTP 404", installer},
        {"an answer that is no HTTP", failedWith(InstallError::httpStatus(-1)), true,
         "the download server's answer was not HTTP", installer},
        {"a refused archive",
         failedWith(InstallError::unzip("Failed to open '" + temporary + "/plugin.zip'\n")), true,
         "the download could not be unpacked", installer},
        {"a signature of a foreign key",
         failedWith(InstallError::codeSignatureMismatch(
             temporary + "/extracted/Embrik.app: the signature does not verify with a trusted "
                         "key\n")),
         true, "the download's signature could not be verified", installer},
        {"a changed file",
         failedWith(InstallError::notarizationRejected(
             "Embrik.app: rejected\nContents/MacOS/Embrik: contents differ from the signed "
             "manifest\n")),
         true, "the download does not match its signature", installer},
        {"an entry beside the application", failedWith(InstallError::unsignedEntry("Other.app")),
         true, "the download holds files its signature does not cover", installer},
        {"no trusted key", failedWith(InstallError::noTrustedKey("Q7M4K2T9XB", false)), true,
         "this build trusts no update key", installer},
        {"the installed build", failedWith(InstallError::notNewer("57", 57)), true,
         "the download is not newer than the installed plugin", installer},
        {"a replacement that failed",
         failedWith(InstallError::replaceFailed("Cannot move \"" + temporary +
                                                "/extracted/Embrik.app\": Input/output error")),
         true, "Embrik.app could not be replaced in /Applications", installer},
        {"a failed transfer",
         failedWith(std::runtime_error("Error transferring " + temporary +
                                       " - server replied: "
                                       "Not Found\n")),
         true, "the download failed", installer},
        {"a temporary folder that could not be made",
         failedWith(std::system_error(EACCES, std::generic_category(),
                                      "Cannot create \"" + temporary + "\"")),
         true, "the update's temporary files could not be written", installer},
        {"no update server, so no installer either", failedWith(InstallError::noUpdateServer()),
         false, "no update server is configured", "Embrik Host tries again at its next start."},
        {"a reason with a final stop and a line break",
         State::failed("Download server returned\nHTTP 404.\n"), true,
         "Download server returned HTTP 404", installer},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = bannerModel(c.state, c.hasInstallerAddress).message;
        EXPECT_EQ(message, "Couldn't automatically update your Final Cut Pro plugin (" + c.reason +
                               "). " + c.next);
        EXPECT_EQ(message.find('\n'), std::string::npos);
        EXPECT_EQ(message.find(".)."), std::string::npos);
        EXPECT_EQ(message.find(temporary), std::string::npos);
    }
}

} // namespace
} // namespace tandrel
