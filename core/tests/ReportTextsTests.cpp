#include "core/support/UnicodeText.h"
#include "core/validation/ReportTexts.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using Report = TimelineValidator::ValidationReport;
using FieldMismatch = TimelineValidator::FieldMismatch;
using UnmatchedClip = TimelineValidator::UnmatchedClip;
using Fact = ReportTexts::Fact;
using Section = ReportTexts::Section;
using Kind = ReportTexts::SectionKind;

Report mainEdit() {
    Report report;
    report.sequenceName = "Main Edit";
    report.sequenceKind = "project";
    report.fps = 24000.0 / 1001;
    report.frameRateResolved = true;
    report.tcStartSeconds = 3600;
    report.fcpxmlClipCount = 12;
    report.resolverEntryCount = 13;
    report.comparedPairs = 11;
    report.exactMatches = 11;
    return report;
}

TEST(ReportTexts, StatesTheVerdictAndTheFacts) {
    Report report = mainEdit();
    EXPECT_EQ(ReportTexts::headline(report), "PASS \u2014 resolver matches FCPXML");
    EXPECT_EQ(ReportTexts::facts(report),
              (std::vector<Fact>{{"FCPXML sequence", "Main Edit  (project)"},
                                 {"Frame rate", "23.976 fps"},
                                 {"Start TC", "3600.000 s"},
                                 {"FCPXML clips vs resolver entries", "12 vs 13"},
                                 {"Compared / exact", "11 / 11"}}));

    EXPECT_EQ(ReportTexts::verdict(report), "PASS");
    EXPECT_EQ(ReportTexts::tileFacts(report), (std::vector<Fact>{{"FCPXML vs resolver", "12 vs 13"},
                                                                 {"Compared / exact", "11 / 11"}}));

    report.frameRateResolved = false;
    report.fps = 24;
    report.tcStartSeconds = 0.0625; // an exact half: to the even thousandth, as printf does
    report.unmatchedResolver.resize(1);
    EXPECT_EQ(ReportTexts::headline(report), "FAIL \u2014 differences found");
    EXPECT_EQ(ReportTexts::verdict(report), "FAIL");
    const auto facts = ReportTexts::facts(report);
    EXPECT_EQ(facts[1].value, "24.000 fps (format unresolved \u2014 assumed)");
    EXPECT_EQ(facts[2].value, "0.062 s");
    report.tcStartSeconds = -1e20;
    EXPECT_EQ(ReportTexts::facts(report)[2].value, "-100000000000000000000.000 s");

    const struct {
        std::optional<std::string> selected;
        bool warned;
    } cases[] = {
        {std::nullopt, false}, {"Main Edit", false}, {"MAIN edit", false},
        {"Main Edit 2", true}, {" Main Edit", true},
    };
    for (const auto &c : cases) {
        const auto warning = ReportTexts::nameWarning(report, c.selected);
        EXPECT_EQ(warning.has_value(), c.warned) << c.selected.value_or("(none)");
        if (warning) {
            EXPECT_EQ(*warning,
                      "This isn't the timeline selected here \u2014 the FCPXML had no exact name "
                      "match, so the closest timeline was used. Export the FCPXML for the "
                      "selected timeline for a valid comparison.");
        }
    }
}

TEST(ReportTexts, ShowsALongSequenceNameElidedAndComparesItWhole) {
    Report report = mainEdit();
    report.sequenceName = std::string(200, 'M');
    EXPECT_EQ(ReportTexts::facts(report)[0].value,
              std::string(60, 'M') + "\u2026" + std::string(59, 'M') + "  (project)");
    EXPECT_EQ(ReportTexts::nameWarning(report, std::string(200, 'm')), std::nullopt);
    std::string other = report.sequenceName;
    other[100] = 'x';
    EXPECT_TRUE(ReportTexts::nameWarning(report, other));
    EXPECT_EQ(ReportTexts::elided(std::string(120, 'M')), std::string(120, 'M'));
}

// A row is one line of a report: a line break or a terminal's escape in a name shows as what
// it is, so that "PASS" cannot start a line of a failed report.
TEST(ReportTexts, ShowsTheControlsOfNamesAndBoundsThem) {
    EXPECT_EQ(ReportTexts::elided("Wide\nPASS \u2014 resolver matches FCPXML"),
              "Wide\\u{0A}PASS \u2014 resolver matches FCPXML");
    EXPECT_EQ(ReportTexts::elided("\x1B[2J\u009B31m\u202Eevil"),
              "\\u{1B}[2J\\u{9B}31m\\u{202E}evil");
    EXPECT_EQ(ReportTexts::comparingTimeline("Main\nEdit"), "Comparing timeline: Main\\u{0A}Edit");
    // "Wide Shot" and a thousand marks: the last character keeps its first 30 code points and
    // the joiner that ends it.
    std::string marks;
    for (int i = 0; i < 1000; ++i) {
        marks += "\u0301";
    }
    std::string kept;
    for (int i = 0; i < 29; ++i) {
        kept += "\u0301";
    }
    kept += "\u034F";
    EXPECT_EQ(ReportTexts::elided("Wide Shot" + marks), "Wide Shot" + kept);
    // Marks after a control join the last character of its escape, which keeps as many.
    EXPECT_EQ(ReportTexts::elided("\x01" + marks), "\\u{01}" + kept);
    // Controls shown in several characters each are elided in what shows.
    std::string controls;
    for (int i = 0; i < 200; ++i) {
        controls += "\u202E";
    }
    const std::string shown = ReportTexts::elided(controls);
    EXPECT_EQ(graphemeCount(shown), ReportTexts::lineLength);
    EXPECT_TRUE(shown.starts_with("\\u{202E}\\u{202E}")) << shown;
}

TEST(ReportTexts, ElidesTwoNamesApartWhereTheyDiffer) {
    const std::string start(100, 's');
    const std::string end(100, 'e');
    const auto [a, b] = ReportTexts::elidedApart(start + "Take 1" + end, start + "Take 2" + end);
    EXPECT_NE(a, b);
    EXPECT_EQ(graphemeCount(a), ReportTexts::lineLength);
    EXPECT_NE(a.find("Take 1"), std::string::npos) << a;
    EXPECT_NE(b.find("Take 2"), std::string::npos) << b;
    // Names that elide apart already stay as `elided` gives them.
    EXPECT_EQ(ReportTexts::elidedApart(start + "1", start + "2"),
              std::pair(ReportTexts::elided(start + "1"), ReportTexts::elided(start + "2")));
    // A difference among controls still shows.
    std::string controls;
    for (int i = 0; i < 100; ++i) {
        controls += "\u202E";
    }
    const auto [c, d] =
        ReportTexts::elidedApart(controls + "\n" + controls, controls + "\r" + controls);
    EXPECT_NE(c, d);
    EXPECT_NE(c.find("\\u{0A}"), std::string::npos) << c;
    EXPECT_NE(d.find("\\u{0D}"), std::string::npos) << d;
    EXPECT_LE(graphemeCount(c), ReportTexts::lineLength);
}

TEST(ReportTexts, ListsTheNonEmptySectionsInTheirFixedOrder) {
    Report report = mainEdit();
    EXPECT_TRUE(ReportTexts::sections(report).empty());

    report.mismatches.resize(250);
    report.unmatchedResolver.resize(2);
    EXPECT_EQ(ReportTexts::sections(report),
              (std::vector<Section>{
                  {Kind::unmatchedResolver, "In resolver only \u2014 spurious/extra entries", 2},
                  {Kind::mismatches, "Field mismatches on matched clips", 250}}));
    report.unmatchedFCPXML.resize(1);
    EXPECT_EQ(ReportTexts::sections(report).front(),
              (Section{Kind::unmatchedFCPXML,
                       "In FCPXML only \u2014 likely dropped by the resolver", 1}));

    const struct {
        size_t total;
        size_t cap;
        std::optional<std::string> note;
    } notes[] = {
        {250, 200, "+ 50 more not shown"}, {201, 200, "+ 1 more not shown"},
        {200, 200, std::nullopt},          {0, 0, std::nullopt},
        {3, 0, "+ 3 more not shown"},
    };
    for (const auto &c : notes) {
        EXPECT_EQ(ReportTexts::overflowNote(c.total, c.cap), c.note) << c.total << "/" << c.cap;
    }
}

TEST(ReportTexts, WritesThePiecesOfTheRows) {
    EXPECT_EQ(ReportTexts::rowName(""), "(unnamed)");
    EXPECT_EQ(ReportTexts::rowName(" "), " ");
    EXPECT_EQ(ReportTexts::timecode(
                  UnmatchedClip{UnmatchedClip::Side::fcpxml, "A", std::nullopt, 0, "01:00:00:00"}),
              "@ 01:00:00:00");

    const struct {
        FieldMismatch mismatch;
        const char *values;
        std::optional<std::string> delta;
    } cases[] = {
        {{"A", "recordOut", "50", "51", 1}, "expected 50 \u2192 got 51", "(+1f)"},
        {{"A", "recordIn", "10", "8", -2}, "expected 10 \u2192 got 8", "(-2f)"},
        {{"A", "sourceIn", "7", "7", 0}, "expected 7 \u2192 got 7", "(0f)"},
        {{"A", "name", "Arrival", "Arrival 2", std::nullopt},
         "expected Arrival \u2192 got Arrival 2",
         std::nullopt},
        {{"A", "recordOut", "0", "x", INT64_MIN},
         "expected 0 \u2192 got x",
         "(-9223372036854775808f)"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ReportTexts::expectedAndActual(c.mismatch), c.values);
        EXPECT_EQ(ReportTexts::delta(c.mismatch), c.delta) << c.values;
    }
}

} // namespace
} // namespace tandrel
