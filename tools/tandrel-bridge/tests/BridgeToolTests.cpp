// tandrel-bridge playing the editor panel beside a running tandrel-serve, as a user would run
// them. Needs a session bus: ctest runs under dbus-run-session (scripts/test).

#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-serve/tests/RunningProgram.h"
#include "tools/testing/KilledAtEveryStep.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
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
    const auto serving =
        testing::servingOncePublished(TANDREL_SERVE, TANDREL_BRIDGE, library, data);
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

// The suite's save (the settings file the host shares with the panel), killed at every write,
// rename, flush and removal of the panel's publishing (strace's fault injection), with the file
// there before and not yet there: the file is always the old settings or the new, whole, never
// empty, and the next save leaves nothing of the killed one behind (the lock it may have left
// half made included, once that is a few seconds old).
TEST(BridgeToolCrash, KilledAtAnyStepOfItsSaveTheSuiteIsTheOldOrTheNewAndNothingStays) {
    if (const std::string why = testing::KilledAtEveryStep::unavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    ScratchFolder folder;
    const fs::path data = folder / "data";
    const fs::path group = data / "group.com.ostrevale.tandrel";
    const fs::path suite = group / "group.com.ostrevale.tandrel.ini";
    const auto bytesOf = [](const fs::path &file) {
        std::ifstream in(file, std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    };
    const auto sequenceIn = [](const std::string &bytes) -> std::string {
        for (const char *name : {"Old Sequence", "New Sequence"}) {
            if (bytes.find(name) != std::string::npos) {
                return name;
            }
        }
        return {};
    };
    ASSERT_EQ(bridge({"select", "--sequence", "Old Sequence"}, data).status, 0);
    const std::string old = bytesOf(suite);
    ASSERT_EQ(sequenceIn(old), "Old Sequence");

    for (const bool first : {false, true}) {
        SCOPED_TRACE(first ? "the first save" : "a later save");
        const int kills = testing::KilledAtEveryStep::run(
            TANDREL_BRIDGE, {"select", "--sequence", "New Sequence"},
            {"XDG_DATA_HOME=" + data.string(), "XDG_CONFIG_HOME=" + (data / "config").string()},
            [&] {
                fs::remove_all(group);
                fs::create_directories(group);
                ::chmod(group.c_str(), 0700);
                if (!first) {
                    std::ofstream(suite, std::ios::binary) << old;
                    ::chmod(suite.c_str(), 0600);
                }
            },
            [&](const std::string &, int, const std::string &output) {
                if (fs::exists(suite)) {
                    const std::string left = bytesOf(suite);
                    if (left != old) {
                        EXPECT_EQ(sequenceIn(left), "New Sequence")
                            << "not the old nor the new settings:\n"
                            << left << "\n"
                            << output;
                        EXPECT_NE(left.find("updatedAt"), std::string::npos) << left;
                    }
                } else {
                    EXPECT_TRUE(first) << "the settings are gone";
                }
                // Time passes for what the killed run left: a lock without an owner to read
                // goes stale after a few seconds.
                const fs::path lock = suite.string() + ".lock";
                const timespec past[2] = {{::time(nullptr) - 10, 0}, {::time(nullptr) - 10, 0}};
                ::utimensat(AT_FDCWD, lock.c_str(), past, AT_SYMLINK_NOFOLLOW);
                ASSERT_EQ(bridge({"select", "--sequence", "Next Sequence"}, data).status, 0);
                std::set<std::string> names;
                for (const auto &entry : fs::directory_iterator(group)) {
                    names.insert(entry.path().filename().string());
                }
                EXPECT_EQ(names, std::set<std::string>{suite.filename().string()});
                EXPECT_NE(bytesOf(suite).find("Next Sequence"), std::string::npos);
            });
        EXPECT_GE(kills, 4);
    }
}

} // namespace
} // namespace tandrel
