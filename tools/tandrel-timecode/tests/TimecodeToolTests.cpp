// Runs tandrel-timecode on movies made by ffmpeg, as a user would.

#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/tests/MediaFixtures.h"
#include "tools/testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <set>

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
        "interlaced": false, "start": "00:00:00;00", "startTrackID": 2, "end": "00:00:02;00",
        "duration": "00:00:02;00", "timecodes": [["00:00:00;00"]],
        "timecodeTracks": [{"trackID": 2, "timecodeFrameRate": "29.97d", "drop": true}]})"));
    EXPECT_EQ(probe(fixtures::noTimecode25()), nlohmann::json::parse(R"({
        "timecodeFrameRate": "25", "drop": false, "videoFrameRate": "25p",
        "interlaced": false, "start": null, "startTrackID": null, "end": null,
        "duration": "00:00:02:00", "timecodes": [], "timecodeTracks": []})"));
    // Every field that needs a rate names the error.
    const std::string missing = "missingOrNonStandardFrameRate";
    EXPECT_EQ(probe(fixtures::audioOnly()),
              (nlohmann::json{{"timecodeFrameRate", missing},
                              {"drop", false},
                              {"videoFrameRate", missing},
                              {"interlaced", false},
                              {"start", missing},
                              {"startTrackID", missing},
                              {"end", missing},
                              {"duration", missing},
                              {"timecodes", missing},
                              {"timecodeTracks", nlohmann::json::array()}}));
}

TEST(TimecodeTool, WritesTimecodeTracks) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    ChildProcess run = runTool(commandLine({"write", quoted(file), "01:00:00:00@25"}));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(nlohmann::json::parse(run.output).at("duration"), 2.0);
    EXPECT_EQ(probe(file).at("timecodes"), nlohmann::json::parse(R"([["01:00:00:00"]])"));

    run = runTool(commandLine({"write", quoted(file), "'00:00:00;00@29.97d'", "--duration",
                               "'00:00:01;00'", "--replace", "--allow-other-rate"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json probed = probe(file);
    EXPECT_EQ(probed.at("timecodes"), nlohmann::json::parse(R"([["00:00:00;00"]])"));
    EXPECT_EQ(probed.at("timecodeFrameRate"), "29.97d");
    EXPECT_EQ(probed.at("drop"), true);
}

TEST(TimecodeTool, WritesAnotherRateWhenAskedAndProbesEachTracksOwn) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    const ChildProcess run =
        runTool(commandLine({"write", quoted(file), "10:00:00:00@24", "--allow-other-rate"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const nlohmann::json probed = probe(file);
    // One rule for the top-level rate: the one the start, its end and the duration count in,
    // the start's track's own; the video's only where there is no start.
    EXPECT_EQ(probed.at("timecodeFrameRate"), "24");
    EXPECT_EQ(probed.at("drop"), false);
    EXPECT_EQ(probed.at("videoFrameRate"), "25p");
    EXPECT_EQ(probed.at("start"), "10:00:00:00");
    EXPECT_EQ(probed.at("end"), "10:00:02:00");
    EXPECT_EQ(probed.at("duration"), "00:00:02:00");
    EXPECT_EQ(probed.at("timecodeTracks"), nlohmann::json::parse(R"([
        {"trackID": 2, "timecodeFrameRate": "24", "drop": false}])"));
}

// The 'tmcd' reference lists of the movie's video track, edited.
void editVideoTrack(const fs::path &file, const std::function<void(MovieBox &track)> &edit) {
    rewriteMovieBox(file, [&](MovieBox &movie) {
        for (MovieBox &track : movie.children) {
            if (track.type == fourCharCode("trak") &&
                movieTrackHandlerType(track) == fourCharCode("vide")) {
                edit(track);
            }
        }
    });
}

TEST(TimecodeTool, StartsWhereTheEnabledTrackReferencePoints) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    ChildProcess run = runTool(commandLine({"write", quoted(file), "01:00:00:00@25"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const auto startOf = [&] {
        const nlohmann::json probed = probe(file);
        return probed.at("start").get<std::string>() + " in " + probed.at("startTrackID").dump();
    };
    // The video refers to the first timecode track, then to the one just written.
    EXPECT_EQ(startOf(), "10:00:00:00 in 2");

    // Referring to the new track first makes it the start, as demuxers take it.
    editVideoTrack(file, [](MovieBox &track) {
        std::vector<uint8_t> &list =
            track.find({fourCharCode("tref"), fourCharCode("tmcd")})->payload;
        ASSERT_EQ(list.size(), 8u);
        std::rotate(list.begin(), list.begin() + 4, list.end());
    });
    EXPECT_EQ(startOf(), "01:00:00:00 in 3");
    for (const auto &stream : probedStreams(file)) {
        if (stream.at("codec_type") == "video") {
            EXPECT_EQ(stream.at("tags").value("timecode", ""), "01:00:00:00");
        }
    }

    // A disabled track's references count for nothing: the first timecode track is the start.
    editVideoTrack(
        file, [](MovieBox &track) { track.child(fourCharCode("tkhd"))->payload.at(3) &= 0xFE; });
    EXPECT_EQ(startOf(), "10:00:00:00 in 2");
}

TEST(TimecodeTool, SaysWhenAFastStartMovieNoLongerIs) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::fastStart25());
    ChildProcess run = runTool(commandLine({"write", quoted(file), "01:00:00:00@25"}));
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(nlohmann::json::parse(run.output).at("fastStart"), true);
    EXPECT_TRUE(MovieStructure::read(FileByteSource(file)).isFastStart());

    // With a second name the movie cannot be written anew without leaving that name behind.
    fs::create_hard_link(file, folder / "other name.mov");
    run = runTool(commandLine({"write", quoted(file), "02:00:00:00@25", "--replace"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const size_t note =
        run.output.find("tandrel-timecode: " + file.string() + " is no longer fast-start");
    ASSERT_NE(note, std::string::npos) << run.output;
    EXPECT_NE(run.output.find("hard links", note), std::string::npos) << run.output;
    const std::string json = run.output.substr(0, run.output.find("tandrel-timecode:")) +
                             run.output.substr(run.output.find('\n', note) + 1);
    EXPECT_EQ(nlohmann::json::parse(json).at("fastStart"), false);
    EXPECT_EQ(probe(folder / "other name.mov").at("start"), "02:00:00:00");
}

TEST(TimecodeTool, ProbingWhatIsNoMovieSaysSoOnce) {
    ScratchFolder folder;
    const fs::path notes = folder / "notes.mov";
    std::ofstream(notes) << "not a movie";
    const ChildProcess run = runTool(commandLine({"probe", quoted(notes)}));
    EXPECT_EQ(run.status, 1);
    // libavformat would have said "moov atom not found" first, on a line of its own.
    EXPECT_EQ(run.output, "tandrel-timecode: The media could not be read. (" + notes.string() +
                              ": Invalid data found when processing input)\n");
}

TEST(TimecodeTool, HelpNamesTheStartTrack) {
    const ChildProcess run = runTool("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("start, startTrackID"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the first enabled track's timecode reference"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("--allow-other-rate"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("the rate that start, end and duration count in"), std::string::npos)
        << run.output;
}

// A copy of the fast-start movie whose timecode track's chunk offsets claim 257 entries but
// hold 1: the count of the last 'stco' ahead of the media. Demuxers read on past the table,
// into the media, and take what they find there.
fs::path damagedChunkOffsets(const ScratchFolder &folder) {
    const fs::path file = folder / "damaged.mov";
    std::string bytes = fileBytes(fixtures::fastStart25());
    const size_t table = bytes.rfind("stco", bytes.find("mdat"));
    EXPECT_EQ(bytes.substr(table + 8, 4), std::string("\0\0\0\x01", 4));
    bytes.replace(table + 8, 4, std::string("\0\0\x01\x01", 4));
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

// A copy of the movie that its user may only read. Root may write any file, so as root the
// folder and the file become nobody's, and the tool runs as nobody (asOrdinaryUser).
fs::path readOnlyCopy(const ScratchFolder &folder, const fs::path &movie, const char *name) {
    const fs::path file = folder / name;
    fs::copy_file(movie, file);
    ::chmod(file.c_str(), 0444);
    if (::geteuid() == 0) {
        EXPECT_EQ(::chown(folder.path().c_str(), 65534, 65534), 0);
        EXPECT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    return file;
}

TEST(TimecodeTool, RefusesWhatItCannotDo) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    const std::string original = fileBytes(file);
    const fs::path damaged = damagedChunkOffsets(folder);
    // Damaged, but ffprobe (which says "wrong sample count") and probe read it.
    EXPECT_EQ(probe(damaged).at("start"), "10:00:00:00");
    const ChildProcess probed =
        ChildProcess::shell("ffprobe -v quiet -show_streams -of json " + quoted(damaged));
    ASSERT_EQ(probed.status, 0);
    EXPECT_EQ(nlohmann::json::parse(probed.output).at("streams").size(), 2u);
    const fs::path readOnlyFastStart =
        readOnlyCopy(folder, fixtures::fastStart25(), "read-only fast-start.mov");
    const fs::path readOnly = readOnlyCopy(folder, fixtures::timecode25(), "read-only.mov");
    const struct {
        std::string arguments;
        int status;
        std::string message;
        // A movie that must stay byte for byte, besides `file`.
        std::optional<fs::path> untouched{};
        bool asOrdinaryUser = false;
    } cases[] = {
        {commandLine({"write", quoted(file), "01:00:00:00@26"}), 2, "is not START@RATE"},
        {commandLine({"write", quoted(file), "01:00:00:00"}), 2, "is not START@RATE"},
        {commandLine({"write", quoted(file), "01:00:00:00@25", "--frames", "3"}), 2, "usage:"},
        {commandLine({"write", quoted(file), "25:00:00:00@25"}), 1, "out of bounds"},
        // Labels drop-frame counting skips, as a start and as a duration.
        {commandLine({"write", quoted(file), "'00:01:00;00@29.97d'", "--allow-other-rate"}), 1,
         "00:01:00;00 does not exist at 29.97d: drop-frame counting skips the frame labels 00 "
         "and 01 at the start of every minute except each tenth, so 00:00:59;29 is followed by "
         "00:01:00;02"},
        {commandLine({"write", quoted(file), "'01:19:00;03@59.94d'", "--allow-other-rate"}), 1,
         "skips the frame labels 00 to 03 at the start of every minute except each tenth, so "
         "01:18:59;59 is followed by 01:19:00;04"},
        {commandLine({"write", quoted(file), "'00:00:00;00@29.97d'", "--duration", "'00:01:00;01'",
                      "--allow-other-rate"}),
         1, "00:01:00;01 does not exist at 29.97d"},
        // A rate that is not the video's, unless asked for.
        {commandLine({"write", quoted(file), "10:00:00:00@24"}), 1,
         "the timecode rate 24 is not the video's rate 25p; give --allow-other-rate"},
        {commandLine({"write", quoted(file), "'10:00:00;00@29.97d'"}), 1,
         "the timecode rate 29.97d is not the video's rate 25p"},
        {commandLine({"write", quoted(fixtures::fragmented()), "01:00:00:00@25"}), 1, "fragmented"},
        // A movie its user may not write, whether it would be written anew or in place.
        {commandLine({"write", quoted(readOnlyFastStart), "01:00:00:00@25"}), 1,
         "Permission denied", readOnlyFastStart, true},
        {commandLine({"write", quoted(readOnly), "01:00:00:00@25"}), 1, "Permission denied",
         readOnly, true},
        // Saved elsewhere in the file, the table would read other bytes and open nowhere.
        {commandLine({"write", quoted(damaged), "01:00:00:00@25"}), 1,
         "its index is damaged: track 2's chunk offsets ('stco') claim 257 entries but hold 1",
         damaged},
        {commandLine({"probe", quoted(folder / "absent.mov")}), 1, "could not be read"},
        {"probe", 2, "usage:"},
    };
    for (const auto &c : cases) {
        const std::string before = c.untouched ? fileBytes(*c.untouched) : std::string();
        const ChildProcess run =
            c.asOrdinaryUser && ::geteuid() == 0
                ? ChildProcess::shell("runuser -u nobody -- '" +
                                      std::string(TANDREL_TIMECODE_TOOL) + "' " + c.arguments)
                : runTool(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << c.arguments << "\n"
                                                                 << run.output;
        if (c.untouched) {
            EXPECT_TRUE(fileBytes(*c.untouched) == before) << c.arguments;
        }
    }
    EXPECT_EQ(fileBytes(file), original);
    // No copy written beside a movie that was refused.
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"damaged.mov", file.filename().string(),
                                            "read-only.mov", "read-only fast-start.mov"}));
}

} // namespace
} // namespace timecode
