// Runs tandrel-cli on the generated sample library, as a user would.

#include "core/database/LibraryScanner.h"
#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/HostileLibrary.h"
#include "tools/tandrel-cli/tests/SampleBundleTest.h"
#include "tools/testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include <sys/stat.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// Built by appending (GCC 12 warns wrongly about chained + on strings here).
std::string concatenated(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) {
        text.append(piece);
    }
    return text;
}

struct CliRun {
    int status; // the exit status
    std::string out;
    std::string err;
};

std::string readFile(const fs::path &file);

CliRun runCli(const std::string &arguments, const std::string &environment = "") {
    ScratchFolder streams;
    const fs::path err = streams / "err";
    const std::string command = concatenated(
        {environment, " '" TANDREL_CLI "' ", arguments, " 2>'", err.string(), "' </dev/null"});
    const testing::ChildProcess run = testing::ChildProcess::shell(command);
    return {run.status, run.output, readFile(err)};
}

std::string readFile(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string quoted(const fs::path &path) {
    return concatenated({"'", path.string(), "'"});
}

// Numbers agree to a microsecond (the expectation was worked out in decimal); keys agree
// whatever their order; row keys of the generated databases are left out of the comparison.
void expectSameDocument(const Json &expected, const Json &actual, const std::string &at = "") {
    if (expected.is_number() && actual.is_number()) {
        EXPECT_NEAR(expected.get<double>(), actual.get<double>(), 1e-6) << at;
    } else if (expected.is_object() && actual.is_object()) {
        for (const auto &[key, value] : expected.items()) {
            ASSERT_TRUE(actual.contains(key)) << at << "/" << key << " is missing";
            expectSameDocument(value, actual[key], concatenated({at, "/", key}));
        }
        for (const auto &[key, value] : actual.items()) {
            EXPECT_TRUE(expected.contains(key) || key == "collectionPK")
                << at << "/" << key << " is not expected: " << value.dump();
        }
    } else if (expected.is_array() && actual.is_array()) {
        ASSERT_EQ(expected.size(), actual.size()) << at;
        for (size_t i = 0; i < expected.size(); ++i) {
            expectSameDocument(expected[i], actual[i], concatenated({at, "/", std::to_string(i)}));
        }
    } else {
        EXPECT_EQ(expected, actual) << at;
    }
}

class TandrelCli : public testing::SampleBundleTest {};

TEST_F(TandrelCli, ResolvesTheSampleTimelineAsWorkedOutByHand) {
    const CliRun run = runCli(concatenated({"edl ", quoted(*bundle_), " Sample"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const Json expected = parseJsonText(readFile(TANDREL_CLI_TESTS "/Sample.edl.json"));
    expectSameDocument(expected, parseJsonText(run.out));
}

TEST_F(TandrelCli, WritesTheSnapshotOfATimelineByIdOrName) {
    ScratchFolder data;
    const std::string environment = concatenated({"XDG_DATA_HOME=", quoted(data.path())});
    const fs::path file = data / "Tandrel/current.json";

    CliRun run = runCli(concatenated({"snapshot ", quoted(*bundle_), " Sample"}), environment);
    ASSERT_EQ(run.status, 0) << run.err;
    TandrelSnapshot written = parseJsonText(readFile(file)).get<TandrelSnapshot>();
    EXPECT_EQ(written.timelineName, "Sample");
    EXPECT_EQ(written.libraryName, "Sample");
    EXPECT_EQ(written.timelineStartTimecode, "10:00:00:00");
    EXPECT_EQ(written.timelineDropFrame, false);
    EXPECT_EQ(written.displayConfig.name, "Netflix QC Layout");
    // One entry per display segment: 13 entries, Arrival has 5 segments and Kitchen Slow,
    // Stage MC and Final 2 each.
    ASSERT_EQ(written.entries.size(), 20u);
    EXPECT_EQ(written.entries[1].metadata.sourceClipName, "Arrival");
    EXPECT_EQ(written.entries[1].srcStartFrame, 90100);
    EXPECT_EQ(written.entries[1].tlEnd.value, 2.4 * 240000);

    run = runCli(concatenated({"snapshot ", quoted(*bundle_), " '", written.timelineID,
                               "' --preset Colorist"}),
                 environment);
    ASSERT_EQ(run.status, 0) << run.err;
    written = parseJsonText(readFile(file)).get<TandrelSnapshot>();
    EXPECT_EQ(written.displayConfig.name, "Colorist");
    EXPECT_TRUE(written.displayConfig.isBuiltIn);

    run = runCli(concatenated({"snapshot ", quoted(*bundle_), " Sample --preset Nothing"}),
                 environment);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("no built-in preset \"Nothing\""), std::string::npos) << run.err;
    run = runCli(concatenated({"edl ", quoted(*bundle_), " Missing"}));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("no timeline \"Missing\""), std::string::npos) << run.err;
}

// A library read while a database of it is being written holds fewer timelines than it will:
// the answer says that it is being saved, not which timelines it has.
TEST_F(TandrelCli, ALibraryBeingSavedSaysSoInsteadOfListingItsTimelines) {
    ScratchFolder copy;
    const fs::path bundle = copy / "Sample.fcpbundle";
    fs::copy(*bundle_, bundle, fs::copy_options::recursive);
    const fs::path database = bundle / "Day 1" / "CurrentVersion.fcpevent";
    const std::string whole = readFile(database);
    testing::writeFile(database, whole.substr(0, 4096));
    const CliRun run = runCli(concatenated({"snapshot ", quoted(bundle), " Sample"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(concatenated({"is being saved: event \"Day 1\": its database is being "
                                         "written: 4096 of ",
                                         std::to_string(whole.size()), " bytes"})),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("no timeline"), std::string::npos) << run.err;
}

// What a new user tries, and what each try answers: the arguments, the exit status and a part
// of the answer on stdout (done, or help asked for) or stderr (failed, or wrong arguments).
TEST_F(TandrelCli, AnswersEveryTryWithAMessageAndAnExitStatus) {
    ScratchFolder data;
    fs::create_directories(data / "Empty.fcpbundle" / "Not an event");
    const std::string library = quoted(*bundle_);
    struct Case {
        std::string arguments;
        int status;
        std::string out; // expected in stdout when not empty, else:
        std::string err;
    };
    const Case cases[] = {
        {"--help", 0, "\n  tandrel-cli snapshot LIBRARY TIMELINE [--preset NAME]\n", ""},
        {"-h", 0, "\n  tandrel-cli scan LIBRARY\n", ""},
        {"edl --help", 0, "usage: tandrel-cli edl LIBRARY TIMELINE\n", ""},
        {"", 2, "", "\n  tandrel-cli edl LIBRARY TIMELINE\n"},
        {"frobnicate", 2, "", "tandrel-cli: unknown command \"frobnicate\"\nusage:"},
        {"edl " + library, 2, "",
         "tandrel-cli: edl needs TIMELINE\nusage: tandrel-cli edl LIBRARY TIMELINE\n"},
        {"scan " + library + " Sample", 2, "", "scan takes no further argument \"Sample\""},
        {"snapshot " + library + " Sample --preset", 2, "", "--preset needs NAME"},
        {"snapshot " + library + " Sample --colour red", 2, "",
         "snapshot has no option \"--colour\""},
        // Only a library is read as one; the folder that holds one is not.
        {"scan " + quoted(folder_->path()), 1, "",
         " is no library: a library is a folder whose name ends in \".fcpbundle\"; this folder "
         "holds \"Sample.fcpbundle\"\n"},
        {"scan " + quoted(data / "Empty.fcpbundle"), 1, "",
         " is no library: it holds no event database (\"CurrentVersion.fcpevent\")"},
        {"scan " + quoted(data / "Missing.fcpbundle"), 1, "", "Missing.fcpbundle is no folder"},
        {"scan " + quoted(*bundle_ / "Day 1" / ".."), 0, "Library \"Sample\" (", ""},
        // Counts say what they count.
        {"scan " + library, 0, "\n  - \"Sample\": 12 edits, id ", ""},
        {"scan " + library, 0, "\nEdits are the items of a timeline's primary storyline", ""},
        {"edl " + library + " Sample", 0, "\"editCount\": 12,\n  \"entryCount\": 13,", ""},
        {"snapshot " + library + " Sample", 0,
         "with preset \"Netflix QC Layout\" to " + (data / "Tandrel/current.json").string() +
             ": 13 entries of the edit list as 20 snapshot entries, one per stretch",
         ""},
        // Names match exactly, then ignoring case; an unknown one lists what there is.
        {"edl " + library + " sAMPLE", 0, "\"timeline\": \"Sample\"", ""},
        {"edl " + library + " -- --help", 1, "", "no timeline \"--help\""},
        {"edl " + library + " Nothing", 1, "",
         "; its timelines are:\n  \"Assembly\" in event \"Day 1\", id "},
        {"snapshot " + library + " Sample --preset conform", 0, "with preset \"Conform\"", ""},
        {"snapshot " + library + " Sample --preset=COLORIST", 0, "with preset \"Colorist\"", ""},
        {"snapshot " + library + " Sample --preset Nothing", 1, "",
         "no built-in preset \"Nothing\"; there are:\n  Netflix QC Layout\n  Conform\n  "
         "Colorist\n"},
    };
    const std::string environment = concatenated({"XDG_DATA_HOME=", quoted(data.path())});
    for (const Case &c : cases) {
        const CliRun run = runCli(c.arguments, environment);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.err;
        const std::string &answer = c.out.empty() ? run.err : run.out;
        EXPECT_NE(answer.find(c.out.empty() ? c.err : c.out), std::string::npos)
            << c.arguments << " answered:\n"
            << answer;
        if (c.status == 0) {
            EXPECT_TRUE(run.err.empty()) << c.arguments << "\n" << run.err;
        } else {
            EXPECT_TRUE(run.out.empty()) << c.arguments << "\n" << run.out;
        }
    }
}

// Each line of an answer: none longer than `maxBytes`, none with a control a terminal obeys.
void expectBoundedLines(const std::string &answer, std::size_t maxBytes, const std::string &what) {
    std::size_t from = 0;
    while (from < answer.size()) {
        std::size_t end = answer.find('\n', from);
        if (end == std::string::npos) {
            end = answer.size();
        }
        const std::string line = answer.substr(from, end - from);
        EXPECT_LE(line.size(), maxBytes) << what << ": " << line.substr(0, 200);
        EXPECT_FALSE(testing::holdsControls(line)) << what << ": " << line.substr(0, 200);
        from = end + 1;
    }
}

// A library named by an attacker, bytes that are not UTF-8 among its names: every command
// reads it, and prints each name on its own line, bounded, with its controls shown; edl's
// JSON keeps every name whole, its controls as JSON's own escapes.
TEST(TandrelCliHostile, PrintsEveryNameOnItsLineBoundedWithItsControlsShown) {
    std::vector<std::string> texts;
    for (const auto &hostile : testing::hostileTexts()) {
        texts.push_back(hostile.text);
    }
    // Folders take the last texts first: the library's and an event's.
    texts.push_back("Day \xFF 2");
    texts.push_back("Show \xFE\xFF");
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::hostileSampleLibrary(texts), folder.path());
    ScratchFolder data;
    const std::vector<std::string> environment{"XDG_DATA_HOME=" + data.path().string(),
                                               "PATH=/usr/bin:/bin"};
    const auto cli = [&](std::vector<std::string> arguments) {
        return testing::ChildProcess::run(TANDREL_CLI, arguments, &environment);
    };

    const testing::ChildProcess scan = cli({"scan", library.string()});
    EXPECT_EQ(scan.status, 0) << scan.output.substr(0, 400);
    expectBoundedLines(scan.output, 4000, "scan");
    EXPECT_LT(scan.output.size(), 40'000u);

    const testing::ChildProcess missing = cli({"edl", library.string(), "Nothing"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("; its timelines are:"), std::string::npos);
    expectBoundedLines(missing.output, 4000, "no timeline");

    // Each run reads the whole library: a timeline named with megabytes, one with a terminal's
    // escape, one with a right-to-left override and one of an event whose folder holds bytes
    // that are not UTF-8 (as the library's does).
    const std::vector<std::function<bool(const FCPEvent &, const std::string &)>> wanted{
        [](const FCPEvent &, const std::string &name) { return name.size() > 1'000'000; },
        [](const FCPEvent &, const std::string &name) {
            return name.find("\u009B") != std::string::npos;
        },
        [](const FCPEvent &, const std::string &name) {
            return name.find("\u202E") != std::string::npos;
        },
        [](const FCPEvent &event, const std::string &) { return !isValidUTF8(event.path); },
    };
    const FCPLibrary scanned = LibraryScanner::scan(library);
    std::set<std::size_t> tried;
    for (const FCPEvent &event : scanned.events) {
        for (const FCPTimelineInfo &timeline : event.timelines) {
            std::size_t kind = 0;
            while (kind < wanted.size() &&
                   (tried.contains(kind) || !wanted[kind](event, timeline.name))) {
                ++kind;
            }
            if (kind == wanted.size()) {
                continue;
            }
            tried.insert(kind);
            const testing::ChildProcess edl = cli({"edl", library.string(), timeline.id});
            ASSERT_EQ(edl.status, 0) << edl.output.substr(0, 400);
            // Each name whole, as data.
            expectBoundedLines(edl.output, std::string::npos, "edl");
            const Json json = parseJsonText(edl.output);
            EXPECT_EQ(json["timeline"].get<std::string>(), validUtf8(timeline.name));
            EXPECT_EQ(json["event"].get<std::string>(), validUtf8(event.path));
            EXPECT_EQ(json["library"].get<std::string>(), validUtf8(scanned.name));

            const testing::ChildProcess snapshot = cli({"snapshot", library.string(), timeline.id});
            ASSERT_EQ(snapshot.status, 0) << snapshot.output.substr(0, 400);
            expectBoundedLines(snapshot.output, 4000, "snapshot");
            EXPECT_EQ(std::count(snapshot.output.begin(), snapshot.output.end(), '\n'), 1);
            EXPECT_LT(fs::file_size(data / "Tandrel/current.json"), 1'000'000u);
        }
    }
    EXPECT_EQ(tried.size(), wanted.size());
}

// A named pipe in the place of an event database would block any open of it until somebody
// writes to it: the scan skips that event at once and says why.
TEST_F(TandrelCli, ANamedPipeForADatabaseIsSkippedWithAMessage) {
    ScratchFolder copy;
    const fs::path bundle = copy / "Sample.fcpbundle";
    fs::copy(*bundle_, bundle, fs::copy_options::recursive);
    const auto pipeAt = [](const fs::path &database) {
        fs::remove(database);
        EXPECT_EQ(::mkfifo(database.c_str(), 0600), 0);
        return concatenated({"not a database: ", database.string(), " is a named pipe"});
    };
    const std::string day1 = pipeAt(bundle / "Day 1" / "CurrentVersion.fcpevent");

    CliRun run = runCli(concatenated({"scan ", quoted(bundle)}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(concatenated({"Skipped event \"Day 1\": ", day1})), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("Event \"Day 1\" [Day 1 / Selects]"), std::string::npos) << run.out;
    run = runCli(concatenated({"edl ", quoted(bundle), " Sample"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(day1), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no timeline \"Sample\""), std::string::npos) << run.err;

    // The event of the multicam and of the compound clip's contents: the timeline still
    // resolves, without the three clips the compound clip shows.
    fs::remove(bundle / "Day 1" / "CurrentVersion.fcpevent");
    fs::copy_file(*bundle_ / "Day 1" / "CurrentVersion.fcpevent",
                  bundle / "Day 1" / "CurrentVersion.fcpevent");
    const std::string selects = pipeAt(bundle / "Day 1" / "Selects" / "CurrentVersion.fcpevent");
    run = runCli(concatenated({"edl ", quoted(bundle), " Sample"}));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(concatenated({"Skipped event \"Day 1 / Selects\": ", selects})),
              std::string::npos)
        << run.err;
    EXPECT_EQ(parseJsonText(run.out)["entryCount"], 10);
}

} // namespace
} // namespace tandrel
