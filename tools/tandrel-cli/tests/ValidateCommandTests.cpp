// `tandrel-cli validate` on the generated sample library and hand-written exports of its
// timelines.

#include "core/support/XMLSecurityError.h"
#include "tools/tandrel-cli/ValidateCommand.h"
#include "tools/tandrel-cli/tests/SampleBundleTest.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

const fs::path fixtures = TANDREL_CLI_TESTS;

std::string readFile(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class ValidateCommand : public testing::SampleBundleTest {
protected:
    static Outcome validate(const std::string &timeline, const fs::path &fcpxml) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = cli::validate(*bundle_, timeline, fcpxml, out, err);
        return {status, out.str(), err.str()};
    }

    // A file of the scratch folder with `text` in it.
    static fs::path scratchFile(const std::string &name, const std::string &text) {
        const fs::path path = *folder_ / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

TEST_F(ValidateCommand, ReportsTheSampleTimelineAsWorkedOutByHand) {
    // The export keeps the compound clip whole and the audition as a container without
    // length, where the resolver lists the compound's clips and the audition's pick.
    const Outcome run = validate("Sample", fixtures / "Sample.fcpxml");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, readFile(fixtures / "Sample.validate.txt"));
    EXPECT_EQ(run.err, "");
}

TEST_F(ValidateCommand, PassesAnExportThatMatches) {
    const Outcome run = validate("Trailer", fixtures / "Trailer.fcpxml");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "PASS \u2014 resolver matches FCPXML\n"
                       "3/3 exact matches \u2014 0 field mismatches, 0 in FCPXML only, 0 in "
                       "resolver only\n"
                       "\n"
                       "FCPXML sequence                   Trailer  (project)\n"
                       "Frame rate                        23.976 fps\n"
                       "Start TC                          3603.600 s\n"
                       "FCPXML clips vs resolver entries  3 vs 3\n"
                       "Compared / exact                  3 / 3\n"
                       "\n"
                       "Every compared clip matched on timeline position, duration, and name. No "
                       "dropped or spurious entries.\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(ValidateCommand, WarnsWhenTheExportHoldsAnotherTimeline) {
    // No sequence named "Assembly": the export's only project is compared, under a warning.
    const Outcome run = validate("Assembly", fixtures / "Trailer.fcpxml");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("FCPXML sequence                   Trailer  (project)\n"
                           "                                  This isn't the timeline selected "
                           "here \u2014 the FCPXML"),
              std::string::npos)
        << run.out;
}

TEST_F(ValidateCommand, SaysWhyNoReportCouldBeMade) {
    const fs::path missing = *folder_ / "Missing.fcpxml";
    const fs::path noSequence = scratchFile("Empty.fcpxml", "<fcpxml><resources/></fcpxml>");
    const fs::path entities =
        scratchFile("Entities.fcpxml", "<!DOCTYPE fcpxml [<!ENTITY e \"x\">]><fcpxml/>");
    const fs::path cut = scratchFile("Cut.fcpxml", "<fcpxml>\n<resources>");
    const struct {
        std::string timeline;
        fs::path fcpxml;
        std::string err;
    } cases[] = {
        {"Sample", missing, "tandrel-cli: FCPXML file not found: " + missing.string() + "\n"},
        {"Sample", noSequence,
         "tandrel-cli: The FCPXML contains no timeline matching 'Sample' (and no single obvious "
         "timeline to fall back to). Export the FCPXML for the timeline you selected here.\n"},
        {"Sample", entities,
         "tandrel-cli: " +
             std::string(XMLSecurityError(XMLSecurityError::Case::entityDeclarationsRejected,
                                          "Entities.fcpxml")
                             .what()) +
             "\n"},
        {"Sample", cut, "tandrel-cli: FCPXML could not be parsed: no element found (line 2)\n"},
        {"Nowhere", fixtures / "Sample.fcpxml",
         "tandrel-cli: no timeline \"Nowhere\" in " + bundle_->string() +
             "; its timelines are:\n  \"Assembly\""},
    };
    for (const auto &c : cases) {
        const Outcome run = validate(c.timeline, c.fcpxml);
        EXPECT_EQ(run.status, 2) << c.err;
        EXPECT_EQ(run.out, "") << c.err;
        // An unknown timeline goes on to list the library's timelines.
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
    }
}

TEST_F(ValidateCommand, TheProgramExitsWithTheVerdict) {
    const auto exitStatus = [](const std::string &timeline, const fs::path &fcpxml) {
        const std::string command = std::string("'" TANDREL_CLI "' validate '") +
                                    bundle_->string() + "' '" + timeline + "' '" + fcpxml.string() +
                                    "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(exitStatus("Trailer", fixtures / "Trailer.fcpxml"), 0);
    EXPECT_EQ(exitStatus("Sample", fixtures / "Sample.fcpxml"), 1);
    EXPECT_EQ(exitStatus("Sample", *folder_ / "Missing.fcpxml"), 2);
}

} // namespace
} // namespace tandrel
