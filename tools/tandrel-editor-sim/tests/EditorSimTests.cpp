// tandrel-editor-sim as a user runs it: alone, and beside a running tandrel-serve as the host.
// The host's part needs a session bus: ctest runs under dbus-run-session (scripts/test).

#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-serve/tests/RunningProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::Finished;
using testing::RunningProgram;
using testing::ScratchFolder;

class EditorPanelSim : public ::testing::Test {
protected:
    EditorPanelSim() { ::setenv("QT_QPA_PLATFORM", "offscreen", 0); }

    fs::path script(const std::string &text) {
        const fs::path file = folder / ("script-" + std::to_string(++scripts) + ".txt");
        testing::writeFile(file, text);
        return file;
    }
    Finished sim(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--no-host");
        return testing::runToEnd(TANDREL_EDITOR_SIM, arguments, data);
    }

    ScratchFolder folder;
    fs::path data = folder / "data";
    int scripts = 0;
};

// The width and height of a PNG file, from its header.
std::pair<uint32_t, uint32_t> pngSize(const fs::path &file) {
    std::ifstream stream(file, std::ios::binary);
    unsigned char header[24] = {};
    stream.read(reinterpret_cast<char *>(header), sizeof header);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(header) + 1, 3), "PNG");
    const auto big = [&](int at) {
        return uint32_t(header[at]) << 24 | uint32_t(header[at + 1]) << 16 |
               uint32_t(header[at + 2]) << 8 | header[at + 3];
    };
    return {big(16), big(20)};
}

TEST_F(EditorPanelSim, RunsAScriptThroughThePanelAndWritesItsPicture) {
    testing::writeFile(folder / "Export.fcpxml", "<fcpxml version=\"1.11\"/>");
    const fs::path screenshot = folder / "panel.png";
    const Finished finished = sim({"--screenshot", screenshot.string(), "--script",
                                   script("# the editor's first reel\n"
                                          "sequence \"R 1\" 1/25 0\n"
                                          "expect sequence R 1\n"
                                          "playhead 90003/25\n"
                                          "expect timecode 01:00:00:03\n"
                                          "from-thread on\n"
                                          "sequence Trailer 1001/30000 1\n"
                                          "playhead 1801800/30000\n"
                                          "expect sequence Trailer\n"
                                          "expect timecode 00:01:00;02\n"
                                          "time-range\n"
                                          "no-sequence\n"
                                          "expect sequence \"No sequence selected\"\n"
                                          "drop " +
                                          (folder / "Export.fcpxml").string() +
                                          "\n"
                                          "expect drop-status Saved drop-*\n"
                                          "wait 1\n")
                                       .string()});
    EXPECT_EQ(finished.status, 0) << finished.output;
    for (const char *shown :
         {"sequence: No sequence\n", "timecode: 00:00:00:00\n",
          "presets: No presets (open Embrik)\n", "sequence: R 1\n", "timecode: 01:00:00:03\n",
          "sequence: Trailer\n", "timecode: 00:01:00;02\n", "drop-status: Saved drop-"}) {
        EXPECT_NE(finished.output.find(shown), std::string::npos) << shown << finished.output;
    }
    EXPECT_EQ(pngSize(screenshot), (std::pair<uint32_t, uint32_t>(300, 220)));
}

TEST_F(EditorPanelSim, EndsWithTheFirstUnmetExpectationOrWhatItCannotDo) {
    struct Case {
        std::vector<std::string> arguments;
        std::string script;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{},
         "expect sequence \"No sequence selected\"\nexpect sequence R 1\nexpect sequence R 2\n",
         1,
         "line 2: expected sequence \"R 1\", the panel shows \"No sequence selected\""},
        {{"--no-editor"},
         "sequence R1 1/25 0\nexpect sequence Failed to connect to Final Cut Pro\n",
         0,
         ""},
        {{"--no-editor"},
         "expect sequence R1\n",
         1,
         "expected sequence \"R1\", the panel shows \"Failed to connect to Final Cut Pro\""},
        {{}, "pick 1\n", 2, "line 1: pick 1: the pop-up has no item 1 to pick"},
        {{}, "drop " + (folder / "missing.fcpxml").string() + "\n", 2, "cannot read"},
        {{}, "sequence R1\n", 2, "line 1: expected \"sequence NAME FRAMEDURATION FORMAT\""},
        {{"--verbose"}, "", 2, "usage: tandrel-editor-sim"},
    };
    for (const Case &c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("--script");
        arguments.push_back(script(c.script).string());
        const Finished finished = sim(arguments);
        EXPECT_EQ(finished.status, c.status) << finished.output;
        EXPECT_NE(finished.output.find(c.message), std::string::npos) << finished.output;
    }
}

TEST_F(EditorPanelSim, TheServerFollowsTheSimulatedEditor) {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") == nullptr) {
        GTEST_SKIP() << "no D-Bus session bus; run under dbus-run-session";
    }
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const auto serving =
        testing::servingOncePublished(TANDREL_SERVE, TANDREL_BRIDGE, library, data);
    RunningProgram &serve = *serving;

    RunningProgram editor(TANDREL_EDITOR_SIM,
                          {"--no-host", "--script",
                           script("sequence Sample 1/25 0\n"
                                  "expect sequence Sample\n"
                                  "pick 2\n")
                               .string()},
                          data);
    // The host's presets fill the pop-up, its active one chosen.
    EXPECT_EQ(editor.lineStartingWith("presets: "),
              "presets: *Netflix QC Layout | Conform | Colorist");
    EXPECT_EQ(editor.exitStatus(), 0) << editor.output();

    // The sequence open in the editor is served, with the preset picked in the panel. The
    // server may take both selections at once, and then names the preset first.
    bool served = false;
    bool picked = false;
    while (!served || !picked) {
        const std::string line = serve.lineStartingWith("");
        if (line.empty()) {
            break;
        }
        served = served || line == "status: Serving 'Sample' (8 timelines)";
        picked = picked || line == "preset: Conform";
    }
    EXPECT_TRUE(served && picked) << serve.seen;
    const int status = serve.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << serve.seen;
}

} // namespace
} // namespace tandrel
