// Runs tandrel-timecode on movies made by ffmpeg, as a user would.

#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/tests/MediaFixtures.h"
#include "tools/testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The names in the folder, in order.
std::vector<std::string> namesIn(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string timecodesOf(const fs::path &file) {
    return probe(file).at("timecodes").dump();
}

// The write killed (SIGKILL) at each call, in turn, of each system call by which a save
// changes a file or a name, strace injecting the signal as the call begins: whatever step it
// dies at, the movie reads as before or as written, and what the dead write left beside it
// is gone after the next write, which saves as ever.
TEST(TimecodeTool, AWriteKilledAtAnyStepLeavesTheOldMovieOrTheNewAndNothingForGood) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // A sanitized tool under strace takes seconds a run, minutes in all; what the sanitizers
    // look for is found by the other tests, and the crash test runs in the plain build.
    GTEST_SKIP() << "the crash test runs in the release build";
#endif
    if (ChildProcess::shell("command -v strace").status != 0) {
        GTEST_SKIP() << "strace is not installed (scripts/setup installs it)";
    }
    const std::vector<std::string> calls = {"write",     "pwrite64", "copy_file_range", "ftruncate",
                                            "fsync",     "linkat",   "rename",          "renameat",
                                            "renameat2", "unlinkat"};
    // A fast-start movie is written anew and renamed over; another is saved in place.
    for (const fs::path &fixture : {fixtures::fastStart25(), fixtures::timecode25()}) {
        SCOPED_TRACE(fixture.filename().string());
        const std::string before = nlohmann::json::parse(R"([["10:00:00:00"]])").dump();
        const std::string written =
            nlohmann::json::parse(R"([["10:00:00:00"], ["01:00:00:00"]])").dump();
        int killed = 0;
        for (const std::string &call : calls) {
            for (int n = 1; n <= 50; ++n) {
                SCOPED_TRACE(call + " #" + std::to_string(n));
                ScratchFolder folder;
                const fs::path file = copyInto(folder, fixture);
                const ChildProcess run = ChildProcess::shell(
                    "strace -f -o /dev/null -e inject=" + call +
                    ":signal=KILL:when=" + std::to_string(n) + " '" TANDREL_TIMECODE_TOOL "' " +
                    commandLine({"write", quoted(file), "01:00:00:00@25"}) + " 2>&1");
                const bool died = run.status != 0;
                const std::string now = timecodesOf(file);
                EXPECT_TRUE(now == before || (now == written)) << now << "\n" << run.output;
                const std::vector<std::string> left = namesIn(folder.path());
                // Only a save killed between its copy's name and its rename leaves that name.
                if (call.rfind("rename", 0) != 0) {
                    EXPECT_EQ(left, std::vector<std::string>{file.filename().string()});
                }
                EXPECT_LE(left.size(), 2u);
                const ChildProcess next =
                    runTool(commandLine({"write", quoted(file), "02:00:00:00@25", "--replace"}));
                EXPECT_EQ(next.status, 0) << next.output;
                EXPECT_EQ(namesIn(folder.path()),
                          std::vector<std::string>{file.filename().string()});
                EXPECT_EQ(timecodesOf(file), nlohmann::json::parse(R"([["02:00:00:00"]])").dump());
                if (!died) {
                    EXPECT_EQ(now, written);
                    break;
                }
                ++killed;
            }
        }
        EXPECT_GE(killed, 6) << "the save's steps were not reached";
    }
}

// A small file system of its own, mounted while it lives; only root may mount one.
class SmallDisk {
public:
    SmallDisk(const fs::path &at, const char *size) : at_(at) {
        fs::create_directory(at);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", at.c_str(), "tmpfs", 0,
                                               (std::string("size=") + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(at_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

private:
    fs::path at_;
    bool mounted_ = false;
};

// Fills the disk that holds the folder: a file as large as it takes, written until no byte
// more fits.
void fillDisk(const fs::path &folder) {
    std::ofstream filler(folder / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size())) {
    }
}

// What another user of the machine, or a write that died, may leave beside a movie, and the
// disks a write may meet: each row is an attack on a write. The user's own leftovers go; what
// is not theirs or is held by a write under way stays, links are not followed; holes stay
// holes; a full disk is named with the movie and changes nothing. Rows marked so run the tool
// as nobody when the tests run as root, in nobody's folder, so that root's files there are
// another user's.
TEST(TimecodeTool, AWriteClearsOnlyItsOwnLeftoversAndSaysWhatStoppedIt) {
    const bool root = ::geteuid() == 0;
    struct Row {
        const char *what;
        fs::path fixture;
        // Plants what the row is about beside `file`; answers the names that must stay.
        std::function<std::set<std::string>(const fs::path &folder, const fs::path &file)> plant;
        int status = 0;
        std::string message{};
        bool asOrdinaryUser = false;
        bool needsRoot = false;
    };
    const auto named = [](const fs::path &file, const std::string &suffix) {
        std::string name(".");
        name.append(file.filename().string()).append(suffix);
        return name;
    };
    const auto writeFile = [](const fs::path &path, const std::string &bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    };
    int held = -1;
    const Row rows[] = {
        {"a partial copy an older release's write left when it died", fixtures::fastStart25(),
         [&](const fs::path &, const fs::path &file) {
             writeFile(file.parent_path() / named(file, ".Ab12Cd"),
                       fileBytes(file).substr(0, 3000));
             return std::set<std::string>{};
         }},
        {"a copy left by a write killed between its name and its rename", fixtures::timecode25(),
         [&](const fs::path &, const fs::path &file) {
             writeFile(file.parent_path() / named(file, ".Ab12Cd.partial"), fileBytes(file));
             return std::set<std::string>{};
         }},
        {"a copy that a write under way holds", fixtures::fastStart25(),
         [&](const fs::path &, const fs::path &file) {
             const fs::path copy = file.parent_path() / named(file, ".Zz99Yy.partial");
             writeFile(copy, "being written");
             held = ::open(copy.c_str(), O_RDONLY | O_CLOEXEC);
             EXPECT_EQ(::flock(held, LOCK_EX), 0);
             return std::set<std::string>{copy.filename().string()};
         }},
        {"another user's files under a leftover's names", fixtures::fastStart25(),
         [&](const fs::path &, const fs::path &file) {
             const std::string older = named(file, ".Ab12Cd");
             const std::string ours = named(file, ".Ab12Cd.partial");
             for (const std::string &name : {older, ours}) {
                 writeFile(file.parent_path() / name, fileBytes(file).substr(0, 100));
             }
             return std::set<std::string>{older, ours};
         },
         0, "", true, true},
        {"links under a leftover's names, to a file of the user's", fixtures::fastStart25(),
         [&](const fs::path &folder, const fs::path &file) {
             const fs::path precious = folder / "precious.mov";
             fs::copy_file(file, precious);
             const std::string older = named(file, ".Ab12Cd");
             const std::string ours = named(file, ".Ab12Cd.partial");
             for (const std::string &name : {older, ours}) {
                 fs::create_symlink(precious, file.parent_path() / name);
             }
             return std::set<std::string>{older, ours, "precious.mov"};
         }},
        {"a sparse movie of 4 GiB", fixtures::fastStart25(),
         [&](const fs::path &, const fs::path &file) {
             // A 'free' box of 4 GiB of holes after the media.
             const uint64_t size = fs::file_size(file);
             const uint64_t hole = uint64_t{4} << 30;
             std::string header("\0\0\0\x01"
                                "free",
                                8);
             for (int shift = 56; shift >= 0; shift -= 8) {
                 header.push_back(static_cast<char>((hole + 16) >> shift));
             }
             std::ofstream(file, std::ios::binary | std::ios::app) << header;
             fs::resize_file(file, size + 16 + hole);
             return std::set<std::string>{};
         },
         0, "", true},
        {"a full disk", fixtures::fastStart25(), {}, 1, "", false, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.needsRoot && !root) {
            GTEST_LOG_(INFO) << "skipped (needs root): " << row.what;
            continue;
        }
        ScratchFolder scratch;
        const bool ordinary = row.asOrdinaryUser && root;
        std::optional<SmallDisk> disk;
        fs::path folder = scratch.path();
        if (row.plant == nullptr) {
            disk.emplace(scratch / "disk", "1m");
            if (!disk->mounted()) {
                GTEST_LOG_(INFO) << "skipped (no tmpfs could be mounted): " << row.what;
                continue;
            }
            folder = scratch / "disk";
        }
        const fs::path file = copyInto(scratch, row.fixture);
        fs::path movie = file;
        if (disk) {
            movie = folder / file.filename();
            fs::copy_file(file, movie);
            fillDisk(folder);
        }
        if (ordinary) {
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
            ASSERT_EQ(::chown(movie.c_str(), 65534, 65534), 0);
        }
        std::set<std::string> staying =
            row.plant ? row.plant(scratch.path(), movie) : std::set<std::string>{"filler"};
        // Read whole only where it must stay so: the sparse movie holds 4 GiB.
        const std::string before = row.status != 0 ? fileBytes(movie) : std::string();
        const std::string write = commandLine({"write", quoted(movie), "01:00:00:00@25"});
        const ChildProcess run =
            ordinary
                ? ChildProcess::shell("runuser -u nobody -- '" TANDREL_TIMECODE_TOOL "' " + write)
                : runTool(write);
        if (held >= 0) {
            ::close(held);
            held = -1;
        }
        EXPECT_EQ(run.status, row.status) << run.output;
        staying.insert(movie.filename().string());
        const std::vector<std::string> left = namesIn(folder);
        EXPECT_EQ(std::set<std::string>(left.begin(), left.end()), staying);
        if (row.status != 0) {
            EXPECT_NE(run.output.find("tandrel-timecode: cannot write " + movie.string() +
                                      ": No space left on device"),
                      std::string::npos)
                << run.output;
            EXPECT_TRUE(fileBytes(movie) == before);
            continue;
        }
        EXPECT_EQ(nlohmann::json::parse(run.output).at("fastStart"),
                  MovieStructure::read(FileByteSource(row.fixture)).isFastStart())
            << run.output;
        EXPECT_EQ(timecodesOf(movie),
                  nlohmann::json::parse(R"([["10:00:00:00"], ["01:00:00:00"]])").dump());
        // The movie's data, not its holes: a few kB, whatever its length.
        struct stat status {};
        ASSERT_EQ(::stat(movie.c_str(), &status), 0);
        EXPECT_LT(status.st_blocks * 512, 1 << 20);
        if (fs::exists(scratch / "precious.mov")) {
            EXPECT_TRUE(fileBytes(scratch / "precious.mov") == fileBytes(row.fixture));
        }
    }
}

} // namespace
} // namespace timecode
