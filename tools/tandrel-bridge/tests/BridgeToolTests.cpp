// tandrel-bridge playing the editor panel beside a running tandrel-serve, as a user would run
// them. Needs a session bus: ctest runs under dbus-run-session (scripts/test).

#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-serve/tests/RunningProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::Finished;
using testing::RunningProgram;
using testing::ScratchFolder;

Finished bridge(const std::vector<std::string> &arguments, const fs::path &dataHome) {
    return testing::runToEnd(TANDREL_BRIDGE, arguments, dataHome);
}

// The id of the preset of that name in the output of "tandrel-bridge presets".
std::string presetID(const std::string &presets, const std::string &name) {
    std::istringstream lines(presets);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() > 40 && line.substr(40) == name) {
            return line.substr(2, 36);
        }
    }
    ADD_FAILURE() << "no preset " << name << " in:\n" << presets;
    return {};
}

class BridgeToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr) {
            GTEST_SKIP() << "no D-Bus session bus; run under dbus-run-session";
        }
    }

    ScratchFolder folder;
    fs::path data = folder / "data";
};

TEST_F(BridgeToolTest, TheServerFollowsThePanelsSelectionAndValidatesWhatIsDropped) {
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const auto serving = testing::servingOncePublished(TANDREL_SERVE, TANDREL_BRIDGE, library, data);
    RunningProgram &serve = *serving;

    const Finished presets = bridge({"presets"}, data);
    EXPECT_EQ(presets.status, 0);
    EXPECT_TRUE(presets.output.starts_with("* ")) << presets.output;
    const std::string conform = presetID(presets.output, "Conform");

    EXPECT_EQ(bridge({"select", "--sequence", " sample ", "--preset", conform}, data).status, 0);
    EXPECT_EQ(serve.lineStartingWith("status: Serving"), "status: Serving 'Sample' (8 timelines)");
    EXPECT_EQ(presetID(bridge({"presets"}, data).output, "Conform"), conform);
    EXPECT_NE(bridge({"presets"}, data).output.find("* " + conform + "  Conform"),
              std::string::npos);

    const Finished dropped =
        bridge({"drop", (fs::path(TANDREL_CLI_TESTS) / "Sample.fcpxml").string()}, data);
    EXPECT_EQ(dropped.status, 0);
    EXPECT_TRUE(dropped.output.starts_with("Saved drop-")) << dropped.output;
    EXPECT_EQ(serve.lineStartingWith("validation: "), "validation: FAIL \u2014 differences found");
    EXPECT_EQ(serve.lineStartingWith("validation: "),
              "validation: 9/10 exact matches \u2014 2 field mismatches, 0 in FCPXML only, 3 in "
              "resolver only");

    // With no sequence open in the editor nothing is served.
    EXPECT_EQ(bridge({"select"}, data).status, 0);
    EXPECT_EQ(serve.lineStartingWith("status: "),
              "status: Select a timeline to start burn-in (8 available)");
    const int status = serve.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << serve.seen;
}

TEST_F(BridgeToolTest, RefusesWhatItCannotDo) {
    testing::writeFile(folder / "blocked/group.com.ostrevale.tandrel", "not a folder");
    testing::writeFile(folder / "Export.fcpxml", "<fcpxml/>");
    struct Case {
        std::vector<std::string> arguments;
        fs::path dataHome;
        int status;
        const char *output;
    };
    const Case cases[] = {
        {{}, data, 2, "usage: tandrel-bridge presets"},
        {{"watch", "--count", "0"}, data, 2, "usage: tandrel-bridge presets"},
        {{"select", "--preset", "Conform"}, data, 2, "not a preset id: Conform"},
        {{"drop", (folder / "missing.fcpxml").string()}, data, 2, "cannot read"},
        {{"drop", (folder / "Export.fcpxml").string()},
         folder / "blocked",
         1,
         "Couldn't reach the shared container"},
        {{"presets"}, data, 0, "No presets (open Embrik)"},
    };
    for (const Case &c : cases) {
        const Finished finished = bridge(c.arguments, c.dataHome);
        EXPECT_EQ(finished.status, c.status) << finished.output;
        EXPECT_NE(finished.output.find(c.output), std::string::npos) << finished.output;
    }
}

} // namespace
} // namespace tandrel
