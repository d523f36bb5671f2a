// Runs tandrel-timecode on movies made by ffmpeg, as a user would.

#include "timecode/av/tests/MediaFixtures.h"
#include "tools/testing/ChildProcess.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;
namespace fs = std::filesystem;

using tandrel::testing::ChildProcess;

ChildProcess runTool(const std::string &arguments) {
    return ChildProcess::shell("'" TANDREL_TIMECODE_TOOL "' " + arguments);
}

// The words joined by spaces, paths quoted for the shell (built by appending: GCC 12 warns
// wrongly about chained + on strings here).
std::string commandLine(std::initializer_list<std::string> words) {
    std::string line;
    for (const std::string &word : words) {
        line.append(line.empty() ? "" : " ").append(word);
    }
    return line;
}

std::string quoted(const fs::path &path) {
    std::string text = "'";
    text.append(path.string()).push_back('\'');
    return text;
}

nlohmann::json probe(const fs::path &file) {
    const ChildProcess run = runTool(commandLine({"probe", quoted(file)}));
    EXPECT_EQ(run.status, 0) << run.output;
    return nlohmann::json::parse(run.output);
}

TEST(TimecodeTool, ProbesMovies) {
    EXPECT_EQ(probe(fixtures::timecode2997Drop()), nlohmann::json::parse(R"({
        "timecodeFrameRate": "29.97d", "drop": true, "videoFrameRate": "29.97p",
        "interlaced": false, "start": "00:00:00;00", "end": "00:00:02;00",
        "duration": "00:00:02;00", "timecodes": [["00:00:00;00"]]})"));
    EXPECT_EQ(probe(fixtures::noTimecode25()), nlohmann::json::parse(R"({
        "timecodeFrameRate": "25", "drop": false, "videoFrameRate": "25p",
        "interlaced": false, "start": null, "end": null, "duration": "00:00:02:00",
        "timecodes": []})"));
    // Every field that needs a rate names the error.
    const std::string missing = "missingOrNonStandardFrameRate";
    EXPECT_EQ(probe(fixtures::audioOnly()), (nlohmann::json{{"timecodeFrameRate", missing},
                                                            {"drop", false},
                                                            {"videoFrameRate", missing},
                                                            {"interlaced", false},
                                                            {"start", missing},
                                                            {"end", missing},
                                                            {"duration", missing},
                                                            {"timecodes", missing}}));
}

TEST(TimecodeTool, WritesTimecodeTracks) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    ChildProcess run = runTool(commandLine({"write", quoted(file), "01:00:00:00@25"}));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(nlohmann::json::parse(run.output).at("duration"), 2.0);
    EXPECT_EQ(probe(file).at("timecodes"), nlohmann::json::parse(R"([["01:00:00:00"]])"));

    run = runTool(commandLine({"write", quoted(file), "'00:00:00;00@29.97d'", "--duration",
                               "'00:00:01;00'", "--replace"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json probed = probe(file);
    EXPECT_EQ(probed.at("timecodes"), nlohmann::json::parse(R"([["00:00:00;00"]])"));
    EXPECT_EQ(probed.at("timecodeFrameRate"), "29.97d");
    EXPECT_EQ(probed.at("drop"), true);
}

TEST(TimecodeTool, RefusesWhatItCannotDo) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    const std::string original = fileBytes(file);
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {commandLine({"write", quoted(file), "01:00:00:00@26"}), 2, "is not START@RATE"},
        {commandLine({"write", quoted(file), "01:00:00:00"}), 2, "is not START@RATE"},
        {commandLine({"write", quoted(file), "01:00:00:00@25", "--frames", "3"}), 2, "usage:"},
        {commandLine({"write", quoted(file), "25:00:00:00@25"}), 1, "out of bounds"},
        {commandLine({"write", quoted(fixtures::fragmented()), "01:00:00:00@25"}), 1, "fragmented"},
        {commandLine({"probe", quoted(folder / "absent.mov")}), 1, "could not be read"},
        {"probe", 2, "usage:"},
    };
    for (const auto &c : cases) {
        const ChildProcess run = runTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n"
                                                                 << run.output;
    }
    EXPECT_EQ(fileBytes(file), original);
}

} // namespace
} // namespace timecode
