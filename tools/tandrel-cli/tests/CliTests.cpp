// Runs tandrel-cli on the generated sample library, as a user would.

#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

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
    int status;
    std::string output;
};

CliRun runCli(const std::string &arguments, const std::string &environment = "") {
    const std::string command =
        concatenated({environment, " '" TANDREL_CLI "' ", arguments, " 2>&1"});
    FILE *pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, n);
    }
    return {::pclose(pipe), output};
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

class TandrelCli : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScratchFolder;
        bundle_ = new fs::path(
            sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder_->path()));
    }
    static void TearDownTestSuite() {
        delete bundle_;
        delete folder_;
    }

    static ScratchFolder *folder_;
    static fs::path *bundle_;
};

ScratchFolder *TandrelCli::folder_ = nullptr;
fs::path *TandrelCli::bundle_ = nullptr;

TEST_F(TandrelCli, ResolvesTheSampleTimelineAsWorkedOutByHand) {
    const CliRun run = runCli(concatenated({"edl ", quoted(*bundle_), " Sample"}));
    ASSERT_EQ(run.status, 0) << run.output;
    const Json expected = parseJsonText(readFile(TANDREL_CLI_TESTS "/Sample.edl.json"));
    expectSameDocument(expected, parseJsonText(run.output));
}

TEST_F(TandrelCli, WritesTheSnapshotOfATimelineByIdOrName) {
    ScratchFolder data;
    const std::string environment = concatenated({"XDG_DATA_HOME=", quoted(data.path())});
    const fs::path file = data / "Tandrel/current.json";

    CliRun run = runCli(concatenated({"snapshot ", quoted(*bundle_), " Sample"}), environment);
    ASSERT_EQ(run.status, 0) << run.output;
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
    ASSERT_EQ(run.status, 0) << run.output;
    written = parseJsonText(readFile(file)).get<TandrelSnapshot>();
    EXPECT_EQ(written.displayConfig.name, "Colorist");
    EXPECT_TRUE(written.displayConfig.isBuiltIn);

    run = runCli(concatenated({"snapshot ", quoted(*bundle_), " Sample --preset Nothing"}),
                 environment);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("no built-in preset \"Nothing\""), std::string::npos) << run.output;
    run = runCli(concatenated({"edl ", quoted(*bundle_), " Missing"}));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("no timeline \"Missing\""), std::string::npos) << run.output;
}

} // namespace
} // namespace tandrel
