// `tandrel-cli validate` on the generated sample library and hand-written exports of its
// timelines.

#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurityError.h"
#include "core/tests/HostileTexts.h"
#include "core/validation/FCPXMLParser.h"
#include "core/validation/ReportTexts.h"
#include "tools/tandrel-cli/ValidateCommand.h"
#include "tools/tandrel-cli/tests/SampleBundleTest.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
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

// What an attacker would hand over as an export of "Trailer", each through the reader and
// through the command (in the process for its texts, as a program for its exit status).
TEST_F(ValidateCommand, RefusesHostileExportsAndKeepsItsReportBounded) {
    const std::string trailer = readFile(fixtures / "Trailer.fcpxml");
    // The export with its document type line replaced by `doctype` and the first clip's name
    // attribute by `kitchen`.
    const auto exported = [&](const std::string &doctype, const std::string &kitchen) {
        std::string text = trailer;
        const std::string bare = "<!DOCTYPE fcpxml>";
        text.replace(text.find(bare), bare.size(), doctype);
        const std::string name = " name=\"Kitchen\"";
        text.replace(text.find(name), name.size(), kitchen);
        return text;
    };
    const std::string kitchen = " name=\"Kitchen\"";
    const std::string longName(10 << 20, 'K');
    // A bundle whose document links to a file outside it: a good export, so that only the
    // link can refuse it.
    const fs::path outside = scratchFile("Outside.fcpxml", trailer);
    const fs::path linked = *folder_ / "Linked.fcpxmld";
    fs::create_directories(linked);
    fs::create_symlink(outside, linked / "Info.fcpxml");

    using Found = XMLSecurityError::Case;
    const auto refusal = [](Found found, const std::string &name) {
        return std::string(XMLSecurityError(found, name).what());
    };
    const struct {
        const char *what;
        fs::path file;
        // The reader's error, empty when it reads the file.
        std::string error;
        int status;
    } cases[] = {
        // Before, the default stood in for the name the clip lacks, and the export passed.
        {"internal subset with attribute defaults",
         scratchFile(
             "Defaults.fcpxml",
             exported("<!DOCTYPE fcpxml [<!ATTLIST asset-clip name CDATA \"Kitchen\">]>", "")),
         refusal(Found::attributeListDeclarationsRejected, "Defaults.fcpxml"), 2},
        {"internal subset with an element declaration only",
         scratchFile("Elements.fcpxml",
                     exported("<!DOCTYPE fcpxml [<!ELEMENT fcpxml ANY>]>", kitchen)),
         refusal(Found::elementDeclarationsRejected, "Elements.fcpxml"), 2},
        {"bare document type", scratchFile("Bare.fcpxml", exported("<!DOCTYPE fcpxml>", kitchen)),
         "", 0},
        // Said for what it is, not as an entity declaration.
        {"external DTD without entities",
         scratchFile("External.fcpxml",
                     exported("<!DOCTYPE fcpxml SYSTEM \"fcpxml.dtd\">", kitchen)),
         refusal(Found::externalDTDRejected, "External.fcpxml"), 2},
        {"a 10 MiB attribute",
         scratchFile("Long.fcpxml", exported("<!DOCTYPE fcpxml>", " name=\"" + longName + "\"")),
         "", 1},
        {"a link out of a bundle", linked,
         "FCPXML bundle refused: " + (linked / "Info.fcpxml").string() +
             " is a link that leads outside the bundle, and only files inside a bundle are "
             "read.",
         2},
    };
    for (const auto &c : cases) {
        std::string error;
        try {
            const auto document = FCPXMLParser::parse(c.file);
            ASSERT_EQ(document.sequences.size(), 1u) << c.what;
            ASSERT_EQ(document.sequences[0].clips.size(), 3u) << c.what;
            EXPECT_EQ(document.sequences[0].clips[0].name.size(),
                      c.status == 1 ? longName.size() : 7u)
                << c.what;
        } catch (const std::exception &e) {
            error = e.what();
        }
        EXPECT_EQ(error, c.error) << c.what;

        const Outcome run = validate("Trailer", c.file);
        EXPECT_EQ(run.status, c.status) << c.what;
        EXPECT_EQ(run.err, c.error.empty() ? "" : "tandrel-cli: " + c.error + "\n") << c.what;
        const std::string command = std::string("'" TANDREL_CLI "' validate '") +
                                    bundle_->string() + "' Trailer '" + c.file.string() +
                                    "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.what;
    }

    // The long name is compared whole and shown elided: the report stays the size of a
    // report, not of the file.
    const Outcome run = validate("Trailer", *folder_ / "Long.fcpxml");
    const std::string elided = std::string(60, 'K') + "\u2026" + std::string(59, 'K');
    EXPECT_NE(run.out.find("  " + elided + "  name  expected " + elided + " \u2192 got Kitchen\n"),
              std::string::npos)
        << run.out.substr(0, 2000);
    EXPECT_LT(run.out.size(), 2000u);
}

// Hostile names in an export of "Trailer", its project's and a clip's: the report keeps its
// lines (no name breaks one or starts one of its own), each of them bounded, and no control
// reaches the terminal.
TEST_F(ValidateCommand, PrintsHostileNamesOnTheirOwnBoundedLines) {
    const std::string trailer = readFile(fixtures / "Trailer.fcpxml");
    // The text as an attribute value: markup and every control as a character reference.
    const auto attribute = [](const std::string &text) {
        std::string value;
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || c == '&' || c == '<' || c == '"') {
                value += "&#" + std::to_string(byte) + ";";
            } else {
                value += c;
            }
        }
        return value;
    };
    const auto exported = [&](const std::string &name) {
        std::string text = trailer;
        for (const std::string from : {" name=\"Kitchen\"", " name=\"Trailer\""}) {
            text.replace(text.find(from), from.size(), " name=\"" + attribute(name) + "\"");
        }
        return text;
    };
    const Outcome plain = validate("Trailer", scratchFile("Plain.fcpxml", exported("Plain")));
    ASSERT_EQ(plain.status, 1);
    const auto lines = [](const std::string &text) {
        return std::count(text.begin(), text.end(), '\n');
    };
    int n = 0;
    for (const auto &hostile : testing::hostileTexts()) {
        if (!hostile.inXML) {
            continue;
        }
        const fs::path file =
            scratchFile("Hostile" + std::to_string(n++) + ".fcpxml", exported(hostile.text));
        const Outcome run = validate("Trailer", file);
        EXPECT_EQ(run.status, 1) << hostile.what;
        EXPECT_EQ(run.err, "") << hostile.what;
        EXPECT_EQ(lines(run.out), lines(plain.out)) << hostile.what << "\n" << run.out;
        EXPECT_LT(run.out.size(), plain.out.size() + 4 * ReportTexts::lineBytes) << hostile.what;
        for (std::size_t start = 0, end; start < run.out.size(); start = end + 1) {
            end = run.out.find('\n', start);
            const std::string line = run.out.substr(start, end - start);
            EXPECT_FALSE(testing::holdsControls(line)) << hostile.what << ": " << line;
        }
        const std::string command = std::string("'" TANDREL_CLI "' validate '") +
                                    bundle_->string() + "' Trailer '" + file.string() +
                                    "' >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << hostile.what;
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
