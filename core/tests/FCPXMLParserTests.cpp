#include "core/support/RegularFile.h"
#include "core/support/XMLSecurity.h"
#include "core/tests/TemporaryFolder.h"
#include "core/tests/XMLFixture.h"
#include "core/validation/FCPXMLParser.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>
#include <string>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using Document = FCPXMLParser::Document;
using ParseError = FCPXMLParser::ParseError;
using Rational = FCPXMLParser::Rational;
using Sequence = FCPXMLParser::Sequence;
using SequenceKind = FCPXMLParser::SequenceKind;

std::span<const unsigned char> bytes(const std::string &text) {
    return {reinterpret_cast<const unsigned char *>(text.data()), text.size()};
}

Document parseText(const std::string &xml) {
    return FCPXMLParser::parse(bytes(xml), "test.fcpxml");
}

// A document with one project sequence whose spine holds `items`, after `resources`.
std::string projectWith(const std::string &items, const std::string &resources = "",
                        const std::string &sequenceAttributes = "") {
    return "<fcpxml version=\"1.11\"><resources>" + resources +
           "</resources><library><event name=\"Day 1\"><project name=\"Cut\"><sequence" +
           sequenceAttributes + "><spine>" + items +
           "</spine></sequence></project></event></library></fcpxml>";
}

void writeFile(const fs::path &path, const std::string &text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(FCPXMLParser, ReadsRationalTimesAsWritten) {
    const struct {
        const char *attribute;
        std::optional<Rational> expected;
    } cases[] = {
        {"1001/24000s", Rational{1001, 24000}},
        {"3600s", Rational{3600, 1}},
        {"0s", Rational{0, 1}},
        {"5/1", Rational{5, 1}},
        {"2/4s", Rational{2, 4}}, // never reduced
        {"-5/+25s", Rational{-5, 25}},
        {"9223372036854775807s", Rational{INT64_MAX, 1}},
        // Spaces, tabs and other space separators around the value are trimmed.
        {" \t10s&#9;\xC2\xA0", Rational{10, 1}},
        {"1.5s", std::nullopt},
        {"1001/0s", std::nullopt},
        {"/25s", std::nullopt},
        {"25/s", std::nullopt},
        {"10 s", std::nullopt},
        {"10ss", std::nullopt},
        {"s", std::nullopt},
        {"", std::nullopt},
        {"1/2/3s", std::nullopt},
        {"9223372036854775808s", std::nullopt},
        // A line break is not trimmed (a literal one would be normalised to a space).
        {"&#10;10s", std::nullopt},
    };
    for (const auto &c : cases) {
        const auto document =
            parseText(projectWith(std::string("<clip start=\"") + c.attribute + "\"/>"));
        ASSERT_EQ(document.sequences.size(), 1u) << c.attribute;
        ASSERT_EQ(document.sequences[0].clips.size(), 1u) << c.attribute;
        EXPECT_EQ(document.sequences[0].clips[0].start, c.expected) << c.attribute;
    }
    EXPECT_EQ((Rational{1, 4}.seconds()), 0.25);
    EXPECT_EQ((Rational{1, 0}.seconds()), 0);
}

TEST(FCPXMLParser, NamesSequencesByWhereTheyStand) {
    const struct {
        std::string document;
        std::string name;
        SequenceKind kind;
    } cases[] = {
        {"<fcpxml><project name=\"Main Edit\"><sequence/></project></fcpxml>", "Main Edit",
         SequenceKind::project},
        {"<fcpxml><project><sequence/></project></fcpxml>", "Untitled Project",
         SequenceKind::project},
        {"<fcpxml><media id=\"r3\" name=\"Flashback\"><sequence/></media></fcpxml>", "Flashback",
         SequenceKind::media},
        {"<fcpxml><media id=\"r3\"><sequence/></media></fcpxml>", "r3", SequenceKind::media},
        {"<fcpxml><media><sequence/></media></fcpxml>", "Compound", SequenceKind::media},
        {"<fcpxml><event name=\"Day 1\"><sequence/></event></fcpxml>", "sequence",
         SequenceKind::other},
        {"<sequence/>", "sequence", SequenceKind::other},
        // A project without a name does not inherit the one before.
        {"<fcpxml><project name=\"A\"/><project><sequence/></project></fcpxml>", "Untitled Project",
         SequenceKind::project},
    };
    for (const auto &c : cases) {
        const auto document = parseText(c.document);
        ASSERT_EQ(document.sequences.size(), 1u) << c.document;
        EXPECT_EQ(document.sequences[0].name, c.name) << c.document;
        EXPECT_EQ(document.sequences[0].kind, c.kind) << c.document;
    }
}

TEST(FCPXMLParser, TakesTheFrameDurationOfTheSequencesFormat) {
    const std::string formats = "<format id=\"r1\" frameDuration=\"100/2500s\"/>"
                                "<format id=\"r2\" frameDuration=\"1.5s\"/>"
                                "<format id=\"r3\" frameDuration=\"0s\"/>";
    const struct {
        const char *attributes;
        std::optional<Rational> frameDuration;
        double fps;
    } cases[] = {
        {" format=\"r1\" tcStart=\"3600s\"", Rational{100, 2500}, 25},
        {" format=\"r9\"", std::nullopt, 24},
        {" format=\"r2\"", std::nullopt, 24},
        {" format=\"r3\"", Rational{0, 1}, 24},
        {"", std::nullopt, 24},
    };
    for (const auto &c : cases) {
        const auto document = parseText(projectWith("", formats, c.attributes));
        ASSERT_EQ(document.sequences.size(), 1u);
        const Sequence &sequence = document.sequences[0];
        EXPECT_EQ(sequence.frameDuration, c.frameDuration) << c.attributes;
        EXPECT_EQ(sequence.fps(), c.fps) << c.attributes;
    }
    EXPECT_EQ(parseText(projectWith("", formats, " format=\"r1\" tcStart=\"3600s\""))
                  .sequences[0]
                  .tcStartSeconds,
              3600);
    EXPECT_EQ(parseText(projectWith("", "", " tcStart=\"soon\"")).sequences[0].tcStartSeconds, 0);
    // 1001/24000 per frame is about 23.976 frames per second.
    EXPECT_NEAR(parseText(projectWith("", "<format id=\"r1\" frameDuration=\"1001/24000s\"/>",
                                      " format=\"r1\""))
                    .sequences[0]
                    .fps(),
                23.976, 1e-3);
}

TEST(FCPXMLParser, RecordsTheItemsOfTheStorylineAndTheirResources) {
    const std::string resources = "<asset id=\"a1\" name=\"A001\" uid=\"UID-A1\"/>"
                                  "<asset id=\"a2\" name=\"Sound\"/>"
                                  "<media id=\"m1\" name=\"Flashback\"/>"
                                  "<media id=\"a2\" name=\"Not the asset\"/>";
    const std::string items =
        "<asset-clip ref=\"a1\" name=\"Arrival\" offset=\"3600s\" start=\"10s\" duration=\"4s\">"
        "<asset-clip ref=\"a1\" lane=\"1\" name=\"Connected\" offset=\"11s\" duration=\"1s\"/>"
        "<spine lane=\"1\"><asset-clip name=\"In a connected storyline\"/></spine>"
        "</asset-clip>"
        "<gap name=\"Gap\" offset=\"3604s\" duration=\"1s\"/>"
        "<transition name=\"Cross Dissolve\" offset=\"3605s\" duration=\"1/2s\"/>"
        "<ref-clip ref=\"m1\" name=\"Flashback\" offset=\"3605s\" start=\"1.5s\"/>"
        "<asset-clip ref=\"a2\" offset=\"3606s\"/>"
        "<title ref=\"a9\" name=\"Later\" offset=\"3607s\" duration=\"1s\"/>"
        "<asset-clip ref=\"a3\" name=\"Forward\" duration=\"1s\"/>";
    // A resource read after the sequence fills its items in all the same. A second spine
    // directly in the same sequence is not the primary storyline, yet its children stand at
    // the primary storyline's depth under a "spine": the reader's rule records them. (Exports
    // never write two; the rule holds over the remark that such a spine adds nothing.)
    const std::string document =
        "<fcpxml version=\"1.11\"><resources>" + resources +
        "</resources><project name=\"Cut\"><sequence><spine>" + items +
        "</spine><spine><asset-clip name=\"Second spine\"/></spine></sequence></project>"
        "<asset id=\"a3\" name=\"Late\" uid=\"UID-A3\"/><fcpxml version=\"2.0\"/></fcpxml>";
    const Document parsed = parseText(document);
    EXPECT_EQ(parsed.version, "1.11");
    ASSERT_EQ(parsed.sequences.size(), 1u);
    const auto &clips = parsed.sequences[0].clips;
    ASSERT_EQ(clips.size(), 8u);

    EXPECT_EQ(clips[0].elementType, "asset-clip");
    EXPECT_EQ(clips[0].name, "Arrival");
    EXPECT_EQ(clips[0].ref, "a1");
    EXPECT_EQ(clips[0].assetUID, "UID-A1");
    EXPECT_EQ(clips[0].resourceName, "A001");
    EXPECT_EQ(clips[0].offset, (Rational{3600, 1}));
    EXPECT_EQ(clips[0].start, (Rational{10, 1}));
    EXPECT_EQ(clips[0].duration, (Rational{4, 1}));

    EXPECT_TRUE(clips[1].isGap());
    EXPECT_FALSE(clips[1].isTransition());
    EXPECT_TRUE(clips[2].isTransition());
    EXPECT_EQ(clips[2].duration, (Rational{1, 2}));

    // A media reference names the media; a start of 1.5s is no time, a missing duration 0/1.
    EXPECT_EQ(clips[3].elementType, "ref-clip");
    EXPECT_EQ(clips[3].assetUID, std::nullopt);
    EXPECT_EQ(clips[3].resourceName, "Flashback");
    EXPECT_EQ(clips[3].start, std::nullopt);
    EXPECT_EQ(clips[3].duration, (Rational{0, 1}));

    // An asset without uid keeps its own name and never falls back to a media element's.
    EXPECT_EQ(clips[4].name, "");
    EXPECT_EQ(clips[4].assetUID, std::nullopt);
    EXPECT_EQ(clips[4].resourceName, "Sound");

    // Unknown resources leave the fields absent, later ones fill them; a missing offset is 0/1.
    EXPECT_EQ(clips[5].ref, "a9");
    EXPECT_EQ(clips[5].resourceName, std::nullopt);
    EXPECT_EQ(clips[6].assetUID, "UID-A3");
    EXPECT_EQ(clips[6].resourceName, "Late");
    EXPECT_EQ(clips[6].offset, (Rational{0, 1}));
    EXPECT_EQ(clips[7].name, "Second spine");

    // Without any sequence the document is simply empty.
    EXPECT_TRUE(parseText("<fcpxml version=\"1.10\"><resources/></fcpxml>").sequences.empty());
}

TEST(FCPXMLParser, ChoosesASequenceByNameProjectsFirst) {
    Document document;
    const auto add = [&](std::string name, SequenceKind kind) {
        Sequence sequence;
        sequence.name = std::move(name);
        sequence.kind = kind;
        document.sequences.push_back(std::move(sequence));
    };
    add("main edit", SequenceKind::other);
    add("Main Edit", SequenceKind::media);
    add("MAIN EDIT", SequenceKind::project);
    add("Caf\u00E9", SequenceKind::media);   // composed
    add("Stra\u00DFe", SequenceKind::media); // ß
    const struct {
        const char *name;
        const Sequence *expected;
    } cases[] = {
        {"Main Edit", &document.sequences[2]},
        {"main EDIT", &document.sequences[2]},
        {"Cafe\u0301", &document.sequences[3]}, // decomposed
        {"CAF\u00C9", &document.sequences[3]},
        {"STRASSE", &document.sequences[4]},
        {" Main Edit", nullptr}, // names are not trimmed
        {"Main", nullptr},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(document.sequence(c.name), c.expected) << c.name;
    }
    document.sequences.erase(document.sequences.begin() + 2);
    EXPECT_EQ(document.sequence("Main Edit"), &document.sequences[0]);
}

TEST(FCPXMLParser, PicksThePrimaryTimeline) {
    using K = SequenceKind;
    struct Entry {
        K kind;
        size_t clips;
        bool eventTimeline = false;
    };
    const struct {
        const char *what;
        std::vector<Entry> sequences;
        std::optional<size_t> expected;
    } cases[] = {
        {"the only project", {{K::media, 9}, {K::project, 5}, {K::other, 12}}, 1},
        {"projects of 5 and 7 clips lose to a media sequence of 9",
         {{K::project, 5}, {K::project, 7}, {K::media, 9}},
         2},
        {"the only event timeline", {{K::media, 9}, {K::media, 2, true}, {K::other, 3}}, 1},
        {"a project before an event timeline", {{K::media, 9, true}, {K::project, 1}}, 1},
        {"beside two projects an event timeline wins only by its clips",
         {{K::project, 3}, {K::project, 1}, {K::media, 2, true}},
         0},
        {"two event timelines: the most clips", {{K::media, 2, true}, {K::media, 3, true}}, 1},
        {"equal counts: the first",
         {{K::other, 4}, {K::media, 4}, {K::project, 4}, {K::project, 2}},
         0},
        {"no sequence", {}, std::nullopt},
    };
    for (const auto &c : cases) {
        Document document;
        for (const Entry &entry : c.sequences) {
            Sequence sequence;
            sequence.kind = entry.kind;
            sequence.clips.resize(entry.clips);
            sequence.isEventTimeline = entry.eventTimeline;
            document.sequences.push_back(std::move(sequence));
        }
        const Sequence *primary = document.primaryTimeline();
        EXPECT_EQ(primary, c.expected ? &document.sequences[*c.expected] : nullptr) << c.what;
    }
}

TEST(FCPXMLParser, MarksEventTimelinesFromRefClipsAnywhereInTheDocument) {
    // The usual order: the compound clips' sequences stand in the resources, before the event
    // whose ref-clips show them as timelines of their own.
    const std::string exported =
        "<fcpxml><resources>"
        "<media id=\"m1\" name=\"Selects\"><sequence><spine><clip/><clip/></spine></sequence>"
        "</media>"
        "<media id=\"m2\" name=\"Nested\"><sequence><spine><clip/><clip/><clip/></spine>"
        "</sequence></media>"
        "<media name=\"No id\"><sequence/></media>"
        "</resources><library><event name=\"Day 1\"><ref-clip ref=\"m1\" name=\"Selects\"/>"
        "<ref-clip ref=\"\"/><clip><ref-clip ref=\"m2\"/></clip></event></library></fcpxml>";
    const Document document = parseText(exported);
    ASSERT_EQ(document.sequences.size(), 3u);
    EXPECT_TRUE(document.sequences[0].isEventTimeline);
    // A ref-clip that does not stand directly in the event (here inside a clip) is a use of
    // the compound clip, not a timeline; a sequence without media id is never one.
    EXPECT_FALSE(document.sequences[1].isEventTimeline);
    EXPECT_FALSE(document.sequences[2].isEventTimeline);
    EXPECT_EQ(document.primaryTimeline(), &document.sequences[0]);
}

// The editor writes a compound clip's media before the format its sequence uses and the
// assets its clips show: the sequence's rate and its items' assets are those of the whole
// document, never only of what came before.
TEST(FCPXMLParser, ResolvesACompoundClipsFormatAndAssetsWrittenAfterIt) {
    const std::string exported = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE fcpxml>
<fcpxml version="1.13">
    <resources>
        <media id="r1" name="Interview Compound" uid="oWq4pFzVQX2mU3bWQ8Pj0A">
            <sequence format="r2" duration="1001/6000s" tcStart="3600s" tcFormat="NDF" audioLayout="stereo" audioRate="48k">
                <spine>
                    <asset-clip ref="r3" offset="3600s" name="Interview A" start="1001/30000s" duration="30030/30000s" format="r2" tcFormat="NDF"/>
                    <gap name="Gap" offset="108138030/30000s" duration="1001/30000s" start="3600s"/>
                    <ref-clip ref="r4" offset="108139031/30000s" name="Nested" duration="1s"/>
                </spine>
            </sequence>
        </media>
        <format id="r2" name="FFVideoFormat1080p2997" frameDuration="1001/30000s" width="1920" height="1080" colorSpace="1-1-1 (Rec. 709)"/>
        <asset id="r3" name="A001_C004" uid="8D7B0C4A1F2E3D4C5B6A79880F1E2D3C" start="0s" duration="600s" hasVideo="1" format="r2">
            <media-rep kind="original-media" src="file:///Volumes/Media/A001_C004.mov"/>
        </asset>
        <media id="r4" name="Nested Compound" uid="b0Q1yFzVQX2mU3bWQ8Pj0B">
            <sequence format="r5" tcStart="0s"><spine/></sequence>
        </media>
        <format id="r5" name="FFVideoFormat1080p25" frameDuration="100/2500s"/>
    </resources>
    <library>
        <event name="Day 1">
            <ref-clip ref="r1" name="Interview Compound" duration="1001/30000s"/>
        </event>
    </library>
</fcpxml>)xml";
    const Document document = parseText(exported);
    ASSERT_EQ(document.sequences.size(), 2u);
    const Sequence &compound = document.sequences[0];
    EXPECT_EQ(compound.name, "Interview Compound");
    EXPECT_EQ(compound.frameDuration, (Rational{1001, 30000}));
    EXPECT_NEAR(compound.fps(), 29.97, 1e-2);
    EXPECT_EQ(document.sequences[1].frameDuration, (Rational{100, 2500}));
    ASSERT_EQ(compound.clips.size(), 3u);
    EXPECT_EQ(compound.clips[0].assetUID, "8D7B0C4A1F2E3D4C5B6A79880F1E2D3C");
    EXPECT_EQ(compound.clips[0].resourceName, "A001_C004");
    EXPECT_EQ(compound.clips[2].assetUID, std::nullopt);
    EXPECT_EQ(compound.clips[2].resourceName, "Nested Compound");
    EXPECT_TRUE(compound.isEventTimeline);
    EXPECT_EQ(document.primaryTimeline(), &compound);
}

TEST(FCPXMLParser, RefusesEntityDeclarationsWhereverTheyStand) {
    const std::string body = "<fcpxml><project name=\"Cut\"><sequence/></project></fcpxml>";
    const std::string entityDTD = "<!DOCTYPE fcpxml [<!ENTITY e \"x\">]>";
    using Found = XMLSecurityError::Case;
    const struct {
        const char *what;
        std::string document;
        Found found = Found::entityDeclarationsRejected;
    } cases[] = {
        {"in the prolog", "<?xml version=\"1.0\"?>" + entityDTD + body},
        {"in UTF-16", testing::utf16(entityDTD + body)},
        {"past the examined beginning",
         "<!--" + std::string(XMLSecurity::examinedLength, 'x') + "-->" + entityDTD + body},
        {"after a comment that holds a start tag", "<!-- <fcpxml> -->" + entityDTD + body},
        // Refused for what it is: it declares no entity.
        {"an external document type", "<!DOCTYPE fcpxml SYSTEM \"file:///etc/passwd\">" + body,
         Found::externalDTDRejected},
        {"attribute defaults past the examined beginning",
         "<!--" + std::string(XMLSecurity::examinedLength, 'x') +
             "--><!DOCTYPE fcpxml [<!ATTLIST project name CDATA \"Cut\">]>" + body,
         Found::attributeListDeclarationsRejected},
    };
    for (const auto &c : cases) {
        try {
            FCPXMLParser::parse(bytes(c.document), "Info.fcpxml");
            ADD_FAILURE() << c.what << ": not refused";
        } catch (const XMLSecurityError &error) {
            EXPECT_EQ(error.name(), "Info.fcpxml") << c.what;
            EXPECT_EQ(error.errorCase(), c.found) << c.what;
            EXPECT_STREQ(error.what(), XMLSecurityError(c.found, "Info.fcpxml").what()) << c.what;
        }
    }
    const std::string external = XMLSecurityError(Found::externalDTDRejected, "Info.fcpxml").what();
    EXPECT_EQ(external.rfind("'Info.fcpxml' refers to an external DTD (<!DOCTYPE \u2026 SYSTEM "
                             "or PUBLIC \u2026>)",
                             0),
              0u)
        << external;
    // A document type without declarations is harmless.
    EXPECT_EQ(parseText("<!DOCTYPE fcpxml>" + body).sequences.size(), 1u);
}

TEST(FCPXMLParser, RefusesMarkupThatWouldMultiplyMemory) {
    const auto repeated = [](const std::string &piece, size_t bytes) {
        std::string text;
        while (text.size() < bytes) {
            text += piece;
        }
        return text;
    };
    const std::string open = "<fcpxml><project name=\"Cut\"><sequence><spine>";
    const std::string close = "</spine></sequence></project></fcpxml>";
    const struct {
        const char *what;
        std::string document;
    } cases[] = {
        // Each four bytes would become a storyline item of a few hundred.
        {"millions of empty items", open + repeated("<a/>", 4 << 20) + close},
        {"a million levels", open + repeated("<a>", 4 << 20)},
    };
    for (const auto &c : cases) {
        try {
            FCPXMLParser::parse(bytes(c.document), "Info.fcpxml");
            ADD_FAILURE() << c.what << ": read";
        } catch (const ParseError &error) {
            EXPECT_EQ(error.errorCase(), ParseError::Case::tooComplex) << c.what;
            EXPECT_EQ(error.payload(), "Info.fcpxml");
            EXPECT_STREQ(error.what(),
                         "FCPXML is too complex to validate: Info.fcpxml would need "
                         "more than 8 bytes of memory for each of its bytes (line 1). "
                         "A real FCPXML export needs far less \u2014 this file may be "
                         "corrupt or crafted.")
                << c.what;
        }
    }
    // A long name is only as large as itself.
    const std::string name(8 << 20, 'n');
    const Document document =
        parseText(open + "<asset-clip name=\"" + name + "\" duration=\"1s\"/>" + close);
    EXPECT_EQ(document.sequences.at(0).clips.at(0).name, name);
}

TEST(FCPXMLParser, MalformedDocumentsFailWithTheParsersMessageAndLine) {
    const struct {
        const char *what;
        std::string document;
        const char *line;
    } cases[] = {
        {"cut off", "<fcpxml>\n<project name=\"Cut\">\n<sequence>\n<spine><clip na", "4"},
        {"empty", "", "1"},
        {"mismatched tag", "<fcpxml>\n\n</project>", "3"},
        {"not XML", std::string("\0\0\0", 3), "1"},
    };
    for (const auto &c : cases) {
        try {
            parseText(c.document);
            ADD_FAILURE() << c.what << ": parsed";
        } catch (const ParseError &error) {
            EXPECT_EQ(error.errorCase(), ParseError::Case::xmlError) << c.what;
            const std::string text = error.what();
            const std::string ending = std::string(" (line ") + c.line + ")";
            EXPECT_EQ(text.rfind("FCPXML could not be parsed: ", 0), 0u) << text;
            ASSERT_GT(text.size(), ending.size() + 28) << text;
            EXPECT_EQ(text.substr(text.size() - ending.size()), ending) << text;
            EXPECT_EQ("FCPXML could not be parsed: " + error.payload(), text);
        }
    }
}

ParseError parseFailure(const fs::path &path) {
    try {
        FCPXMLParser::parse(path);
    } catch (const ParseError &error) {
        return error;
    }
    throw std::runtime_error(path.string() + " was read");
}

TEST(FCPXMLParserFile, ResolvesBundlesAndFolders) {
    testing::TemporaryFolder folder;
    const fs::path root = folder.path();
    const std::string document = "<fcpxml><project name=\"Bundle\"><sequence/></project></fcpxml>";
    fs::create_directories(root / "Cut.FCPXMLD");
    writeFile(root / "Cut.FCPXMLD" / "Info.fcpxml", document);
    fs::create_directories(root / "Export");
    writeFile(root / "Export" / "Info.fcpxml", document);
    writeFile(root / "Plain.fcpxml", document);
    writeFile(root / "x.FCPXMLD", document); // a file, not a bundle
    fs::create_directories(root / "Empty.fcpxmld");
    fs::create_directories(root / "Folder.fcpxml");

    for (const char *name : {"Cut.FCPXMLD", "Export", "Plain.fcpxml", "x.FCPXMLD"}) {
        const Document parsed = FCPXMLParser::parse(root / name);
        ASSERT_EQ(parsed.sequences.size(), 1u) << name;
        EXPECT_EQ(parsed.sequences[0].name, "Bundle") << name;
    }

    const struct {
        fs::path path;
        ParseError::Case errorCase;
        std::string text;
    } failures[] = {
        {root / "Empty.fcpxmld", ParseError::Case::notReadable,
         "FCPXML file could not be read: " + (root / "Empty.fcpxmld").string()},
        {root / "Folder.fcpxml", ParseError::Case::notReadable,
         "FCPXML file could not be read: " + (root / "Folder.fcpxml").string()},
        // Named as passed, not as resolved.
        {root / "Export" / ".." / "Missing.fcpxmld", ParseError::Case::fileNotFound,
         "FCPXML file not found: " + (root / "Export" / ".." / "Missing.fcpxmld").string()},
    };
    for (const auto &c : failures) {
        const ParseError error = parseFailure(c.path);
        EXPECT_EQ(error.errorCase(), c.errorCase) << c.path;
        EXPECT_EQ(error.what(), c.text);
    }

    // The entity check names the document file of the bundle.
    writeFile(root / "Cut.FCPXMLD" / "Info.fcpxml", "<!DOCTYPE f [<!ENTITY e \"x\">]><f/>");
    try {
        FCPXMLParser::parse(root / "Cut.FCPXMLD");
        FAIL() << "not refused";
    } catch (const XMLSecurityError &error) {
        EXPECT_EQ(error.name(), "Info.fcpxml");
    }
}

TEST(FCPXMLParserFile, RefusesFilesAboveTheLimitBeforeReadingThem) {
    testing::TemporaryFolder folder;
    const struct {
        off_t size;
        ParseError::Case errorCase;
    } cases[] = {
        // Read and handed to the XML parser, which finds no document in the zeros.
        {FCPXMLParser::maximumFileSize, ParseError::Case::xmlError},
        {FCPXMLParser::maximumFileSize + 1, ParseError::Case::tooLarge},
    };
    for (const auto &c : cases) {
        const fs::path path = folder.path() / ("sparse-" + std::to_string(c.size) + ".fcpxml");
        writeFile(path, "");
        ASSERT_EQ(::truncate(path.c_str(), c.size), 0);
        const ParseError error = parseFailure(path);
        EXPECT_EQ(error.errorCase(), c.errorCase) << c.size;
        if (c.errorCase == ParseError::Case::tooLarge) {
            EXPECT_EQ(error.byteCount(), c.size);
            EXPECT_EQ(error.payload(), path.string());
            EXPECT_EQ(error.what(),
                      "FCPXML file is too large to validate (200 MB): " + path.string() +
                          ". A real FCPXML export is a few MB at most \u2014 this file may be "
                          "corrupt or crafted.");
        }
    }
}

TEST(FCPXMLParserFile, RefusesWhatIsNotARegularFileAtOnce) {
    testing::TemporaryFolder folder;
    const fs::path fifo = folder.path() / "Pipe.fcpxml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.path() / "Link.fcpxml");
    // A bundle is read only inside itself: a pipe there behind a link of its own.
    fs::create_directories(folder.path() / "Piped.fcpxmld");
    ASSERT_EQ(::mkfifo((folder.path() / "Piped.fcpxmld" / "Pipe").c_str(), 0600), 0);
    fs::create_symlink("Pipe", folder.path() / "Piped.fcpxmld" / "Info.fcpxml");

    for (const fs::path &path : {fifo, folder.path() / "Link.fcpxml",
                                 folder.path() / "Piped.fcpxmld", fs::path("/dev/null")}) {
        // Nobody writes to the pipe: a reader that waited on it would never come back.
        auto outcome = std::async(std::launch::async, [&] { return parseFailure(path); });
        if (outcome.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
            FAIL() << path << ": the reader waited on it";
        }
        const ParseError error = outcome.get();
        EXPECT_EQ(error.errorCase(), ParseError::Case::notReadable) << path;
    }
    EXPECT_EQ(parseFailure(folder.path() / "Piped.fcpxmld").payload(),
              (folder.path() / "Piped.fcpxmld" / "Info.fcpxml").string());
}

TEST(FCPXMLParserFile, ReadsABundleOnlyInsideItself) {
    testing::TemporaryFolder folder;
    const fs::path root = folder.path();
    const std::string document = "<fcpxml><project name=\"Bundle\"><sequence/></project></fcpxml>";
    writeFile(root / "Elsewhere.fcpxml", document);
    const auto bundle = [&](const std::string &name, const fs::path &target) {
        fs::create_directories(root / name);
        fs::create_symlink(target, root / name / "Info.fcpxml");
        return root / name;
    };
    fs::create_directories(root / "Inside.fcpxmld" / "Versions");
    writeFile(root / "Inside.fcpxmld" / "Versions" / "Cut.fcpxml", document);
    const fs::path inside = bundle("Inside.fcpxmld", "Versions/../Versions/Cut.fcpxml");
    // A bundle reached through a link of the user's own is read where it lies.
    fs::create_directory_symlink(inside, root / "Shortcut.fcpxmld");
    for (const fs::path &path : {inside, root / "Shortcut.fcpxmld"}) {
        EXPECT_EQ(FCPXMLParser::parse(path).sequences.at(0).name, "Bundle") << path;
    }

    for (const fs::path &path : {
             bundle("Absolute.fcpxmld", root / "Elsewhere.fcpxml"),
             bundle("Relative.fcpxmld", "../Elsewhere.fcpxml"),
             bundle("System.fcpxmld", "/etc/passwd"),
             bundle("Dangling.fcpxmld", "/nowhere/Info.fcpxml"),
             bundle("Folder", root / "Elsewhere.fcpxml"),
             bundle("Above.fcpxmld", ".."),
         }) {
        const ParseError error = parseFailure(path);
        EXPECT_EQ(error.errorCase(), ParseError::Case::linkOutsideBundle) << path;
        EXPECT_EQ(error.payload(), (path / "Info.fcpxml").string());
        EXPECT_EQ(error.what(), "FCPXML bundle refused: " + (path / "Info.fcpxml").string() +
                                    " is a link that leads outside the bundle, and only files "
                                    "inside a bundle are read.");
    }

    // Links that stay inside, and say what they are instead of where they lead.
    const auto chain = [&](const std::string &name, int links) {
        fs::create_directories(root / name);
        writeFile(root / name / "Cut.fcpxml", document);
        for (int i = 1; i <= links; ++i) {
            fs::create_symlink(i == links ? "Cut.fcpxml" : "link" + std::to_string(i + 1),
                               root / name / ("link" + std::to_string(i)));
        }
        fs::create_symlink("link1", root / name / "Info.fcpxml");
        return root / name;
    };
    const fs::path looped = bundle("Loop.fcpxmld", "Info.fcpxml");
    fs::create_directories(root / "Round.fcpxmld");
    fs::create_symlink("b", root / "Round.fcpxmld" / "a");
    fs::create_symlink("a", root / "Round.fcpxmld" / "b");
    const struct {
        fs::path bundle;
        ParseError::Case found;
        const char *text;
    } cases[] = {
        {looped, ParseError::Case::linkLoop,
         " is a link that leads round in a loop and never reaches a file."},
        {bundle("Round.fcpxmld", "a"), ParseError::Case::linkLoop,
         " is a link that leads round in a loop and never reaches a file."},
        {bundle("Itself.fcpxmld", "."), ParseError::Case::linkToFolder,
         " is a link to a folder of the bundle, not to a document file."},
        {bundle("Versions.fcpxmld", "../Inside.fcpxmld/Versions"),
         ParseError::Case::linkOutsideBundle,
         " is a link that leads outside the bundle, and only files inside a bundle are read."},
        {chain("Long.fcpxmld", 40), ParseError::Case::linkChainTooLong,
         " is a link that leads through more than 40 links, more than the system follows to "
         "reach a file."},
    };
    fs::create_directories(root / "Sub.fcpxmld" / "Versions");
    for (const auto &c : cases) {
        const ParseError error = parseFailure(c.bundle);
        EXPECT_EQ(error.errorCase(), c.found) << c.bundle;
        EXPECT_EQ(error.what(),
                  "FCPXML bundle refused: " + (c.bundle / "Info.fcpxml").string() + c.text);
    }
    EXPECT_EQ(parseFailure(bundle("Sub.fcpxmld", "Versions")).errorCase(),
              ParseError::Case::linkToFolder);
    // A chain as long as the system follows is read.
    EXPECT_EQ(FCPXMLParser::parse(chain("Chain.fcpxmld", 39)).sequences.at(0).name, "Bundle");
    // A link inside that leads nowhere leaves a bundle without its document.
    EXPECT_EQ(parseFailure(bundle("Missing.fcpxmld", "Gone.fcpxml")).errorCase(),
              ParseError::Case::notReadable);
}

TEST(RegularFile, ReadsNoFurtherThanTheLimitWhateverTheStatedSize) {
    // The kernel states a size of 0 for this file and has more to read: only the read itself
    // can tell how long it is.
    const fs::path understated = "/proc/self/status";
    const RegularFileRead whole = readRegularFile(understated, 1 << 20);
    ASSERT_EQ(whole.status, RegularFileRead::Status::read);
    EXPECT_GT(whole.bytes.size(), 64u);
    EXPECT_EQ(whole.byteCount, static_cast<int64_t>(whole.bytes.size()));

    const RegularFileRead cut = readRegularFile(understated, 64);
    EXPECT_EQ(cut.status, RegularFileRead::Status::tooLarge);
    EXPECT_EQ(cut.byteCount, 65);
    EXPECT_TRUE(cut.bytes.empty());

    testing::TemporaryFolder folder;
    writeFile(folder.path() / "four", "1234");
    EXPECT_EQ(readRegularFile(folder.path() / "four", 4).bytes, "1234");
    const RegularFileRead over = readRegularFile(folder.path() / "four", 3);
    EXPECT_EQ(over.status, RegularFileRead::Status::tooLarge);
    EXPECT_EQ(over.byteCount, 4);
    EXPECT_EQ(readRegularFile(folder.path() / "none", 4).status,
              RegularFileRead::Status::notReadable);
}

} // namespace
} // namespace tandrel
