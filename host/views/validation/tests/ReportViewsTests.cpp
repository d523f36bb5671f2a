#include "host/views/validation/ReportDetails.h"
#include "host/views/validation/ReportSummary.h"
#include "host/views/validation/MismatchRow.h"
#include "host/views/common/WrappingLabel.h"

#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "core/validation/ReportTexts.h"
#include "designkit/CorvaneSymbolView.h"
#include "host/views/validation/tests/ViewFixture.h"

#include <QFontMetricsF>
#include <QRawFont>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <chrono>

namespace tandrel {
namespace {

using Report = TimelineValidator::ValidationReport;
using FieldMismatch = TimelineValidator::FieldMismatch;
using UnmatchedClip = TimelineValidator::UnmatchedClip;
using testing::shownTexts;
using Texts = std::vector<std::string>;

Report mainEdit() {
    Report report;
    report.sequenceName = "Main Edit";
    report.sequenceKind = "project";
    report.fps = 24000.0 / 1001;
    report.frameRateResolved = true;
    report.tcStartSeconds = 3600;
    report.fcpxmlClipCount = 12;
    report.resolverEntryCount = 12;
    report.comparedPairs = 12;
    report.exactMatches = 12;
    return report;
}

UnmatchedClip clip(std::string name, std::optional<std::string> type, std::string timecode) {
    return {UnmatchedClip::Side::fcpxml, std::move(name), std::move(type), 0, std::move(timecode)};
}

Texts joined(std::initializer_list<Texts> groups) {
    Texts all;
    for (const Texts &group : groups) {
        all.insert(all.end(), group.begin(), group.end());
    }
    return all;
}

std::vector<QString> symbolsIn(const QWidget &view) {
    std::vector<QString> symbols;
    for (const auto *symbol : view.findChildren<corvane::CorvaneSymbolView *>()) {
        symbols.push_back(symbol->symbol());
    }
    return symbols;
}

const char *const warning =
    "This isn't the timeline selected here \u2014 the FCPXML had no exact name match, so the "
    "closest timeline was used. Export the FCPXML for the selected timeline for a valid "
    "comparison.";

TEST(ReportSummary, ShowsTheVerdictAndTheFactsInOrder) {
    Report report = mainEdit();
    const ReportSummary passed(report, "Main Edit");
    EXPECT_EQ(shownTexts(&passed),
              (Texts{"PASS \u2014 resolver matches FCPXML",
                     "12/12 exact matches \u2014 0 field mismatches, 0 in FCPXML only, 0 in "
                     "resolver only",
                     "FCPXML sequence", "Main Edit  (project)", "Frame rate", "23.976 fps",
                     "Start TC", "3600.000 s", "FCPXML clips vs resolver entries", "12 vs 12",
                     "Compared / exact", "12 / 12"}));
    EXPECT_EQ(symbolsIn(ReportSummary(report, std::nullopt)),
              std::vector<QString>{"checkmark.circle.fill"});

    report.frameRateResolved = false;
    report.fps = 24;
    report.unmatchedFCPXML.push_back(clip("A", std::nullopt, "01:00:00:00"));
    const ReportSummary failed(report, std::nullopt);
    const Texts texts = shownTexts(&failed);
    EXPECT_EQ(texts.front(), "FAIL \u2014 differences found");
    EXPECT_EQ(texts[5], "24.000 fps (format unresolved \u2014 assumed)");
    EXPECT_EQ(symbolsIn(failed), std::vector<QString>{"xmark.octagon.fill"});
}

TEST(ReportSummary, WarnsUnderTheSequenceWhenItIsNotTheSelectedTimeline) {
    const struct {
        std::optional<std::string> selected;
        bool warned;
    } cases[] = {
        {"Main Edit", false},
        {"MAIN EDIT", false},
        {std::nullopt, false},
        {"Main Edit 2", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected.value_or("(none)"));
        const ReportSummary summary(mainEdit(), c.selected);
        const Texts texts = shownTexts(&summary);
        if (c.warned) {
            ASSERT_GE(texts.size(), 6u);
            EXPECT_EQ(texts[3], "Main Edit  (project)");
            EXPECT_EQ(texts[4], warning);
            EXPECT_EQ(texts[5], "Frame rate");
            EXPECT_EQ(symbolsIn(summary).back(), "exclamationmark.triangle");
        } else {
            EXPECT_EQ(std::count(texts.begin(), texts.end(), warning), 0);
        }
    }
}

TEST(ReportDetails, ShowsTheAllMatchedLineOrTheListsThatAreNotEmpty) {
    const ReportDetails allMatched(mainEdit(), 200);
    EXPECT_EQ(shownTexts(&allMatched),
              Texts{"Every compared clip matched on timeline position, duration, and name. No "
                    "dropped or spurious entries."});

    Report report = mainEdit();
    report.mismatches = {
        {"Arrival", "recordOut", "50", "51", 1},
        {"", "recordIn", "10", "11", -2},
        {"Kitchen", "sourceIn", "7", "7", 0},
        {"Flashback", "name", "Flashback", "Memory 1", std::nullopt},
    };
    report.unmatchedResolver = {clip("Memory 2", "simple", "10:00:12:00")};
    report.unmatchedFCPXML = {clip("", std::nullopt, "01:00:00:00")};
    const ReportDetails details(report, 200);
    // A section's title and count, then its rows.
    EXPECT_EQ(shownTexts(&details),
              joined({
                  {"In FCPXML only \u2014 likely dropped by the resolver", "1"},
                  {"(unnamed)", "@ 01:00:00:00"},
                  {"In resolver only \u2014 spurious/extra entries", "1"},
                  {"Memory 2", "simple", "@ 10:00:12:00"},
                  {"Field mismatches on matched clips", "4"},
                  {"Arrival", "recordOut", "expected 50 \u2192 got 51", "(+1f)"},
                  {"(unnamed)", "recordIn", "expected 10 \u2192 got 11", "(-2f)"},
                  {"Kitchen", "sourceIn", "expected 7 \u2192 got 7", "(0f)"},
                  {"Flashback", "name", "expected Flashback \u2192 got Memory 1"},
              }));
    EXPECT_EQ(symbolsIn(details), (std::vector<QString>{"minus.circle.fill", "plus.circle.fill",
                                                        "exclamationmark.triangle.fill"}));
}

TEST(ReportDetails, CutsEachListToTheCapWithANoteForTheRest) {
    const struct {
        size_t entries;
        size_t cap;
        size_t rows;
        std::optional<std::string> note;
    } cases[] = {
        {250, 200, 200, "+ 50 more not shown"},
        {201, 200, 200, "+ 1 more not shown"},
        {200, 200, 200, std::nullopt},
        {3, 0, 0, "+ 3 more not shown"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entries);
        Report report = mainEdit();
        for (size_t i = 0; i < c.entries; ++i) {
            report.unmatchedFCPXML.push_back(
                clip("Pickup " + std::to_string(i + 1), "asset-clip", "10:00:00:00"));
            report.mismatches.push_back({"Same", "name", "Same", "Other", std::nullopt});
        }
        const ReportDetails details(report, c.cap);
        // Both lists: the rows that compare equal are all shown.
        EXPECT_EQ(details.findChildren<ElidedLabel *>(QStringLiteral("name")).size(),
                  static_cast<qsizetype>(2 * c.rows));
        const Texts texts = shownTexts(&details);
        EXPECT_EQ(texts[1], std::to_string(c.entries));
        if (c.rows > 0) {
            EXPECT_EQ(texts[2], "Pickup 1");
        }
        const auto notes = std::count(texts.begin(), texts.end(), c.note.value_or("-"));
        EXPECT_EQ(notes, c.note ? 2 : 0);
        EXPECT_EQ(std::unique_ptr<QWidget>(details.overflowNote(c.entries)) != nullptr,
                  c.note.has_value());
    }
}

// The report of an export full of hostile names, as the validator makes it: every text the
// views show stays on one line of bounded length, its controls shown, and laying the views
// out takes the time of an ordinary report.
// The arrow between a mismatch's two values is drawn in a face that has it at a size that reads
// as an arrow, not in the monospaced cell, where it shrinks to a short dash among the digits.
TEST(MismatchRow, DrawsTheArrowBetweenTheValuesWhole) {
    const MismatchRow row({"Arrival", "recordIn", "51", "50", -1});
    const auto *values = row.findChild<WrappingLabel *>(QStringLiteral("values"));
    ASSERT_NE(values, nullptr);
    ASSERT_TRUE(values->text().contains(MismatchRow::arrow));
    const QFont arrowFont = values->fontOf(MismatchRow::arrow);
    EXPECT_TRUE(QRawFont::fromFont(arrowFont).supportsCharacter(MismatchRow::arrow));
    const QFontMetricsF arrow(arrowFont);
    const QFontMetricsF digits(values->font());
    // Wider than a digit of the values, and than their face's own arrow.
    EXPECT_GT(arrow.horizontalAdvance(MismatchRow::arrow), 1.3 * digits.horizontalAdvance(u'0'));
    EXPECT_GT(arrow.boundingRect(MismatchRow::arrow).width(),
              1.3 * digits.boundingRect(MismatchRow::arrow).width());
    // Of the row's own size.
    EXPECT_NEAR(arrowFont.pixelSize() > 0 ? arrowFont.pixelSize() : arrowFont.pointSizeF(),
                values->font().pixelSize() > 0 ? values->font().pixelSize()
                                               : values->font().pointSizeF(),
                2);
}

TEST(ReportViews, ShowHostileNamesOnOneBoundedLineEach) {
    // An ordinary long name first, twice: the first pays for the fonts.
    std::vector<testing::HostileText> texts(
        2, {"ordinary 300 characters", testing::ordinaryLongName()});
    texts.insert(texts.end(), testing::hostileTexts().begin(), testing::hostileTexts().end());
    for (const auto &hostile : texts) {
        FCPXMLParser::Sequence sequence;
        sequence.name = hostile.text;
        sequence.kind = FCPXMLParser::SequenceKind::project;
        sequence.frameDuration = FCPXMLParser::Rational{1, 25};
        for (int i = 0; i < 3; ++i) {
            FCPXMLParser::SpineClip item;
            item.elementType = i == 2 ? hostile.text : "asset-clip";
            item.name = hostile.text;
            item.offset = {100 * i, 25};
            item.duration = {50, 25};
            sequence.clips.push_back(std::move(item));
        }
        EditEntry entry;
        entry.clipName = hostile.text + "2";
        entry.timelineOut = 2.04;
        EditEntry other = entry;
        other.clipName = "2" + hostile.text;
        other.timelineIn = 4;
        other.timelineOut = 5;
        const Report report = TimelineValidator::validate(sequence, {entry, other}, 0, 3);

        const auto started = std::chrono::steady_clock::now();
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(new ReportSummary(report, hostile.text));
        layout->addWidget(new ReportDetails(report, 200));
        window.resize(720, 680);
        window.show();
        (void)window.grab();
        const auto took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
        ::testing::Test::RecordProperty(hostile.what, std::to_string(took.count()) + " ms");

        const Texts texts = shownTexts(&window);
        EXPECT_GT(texts.size(), 10u) << hostile.what;
        for (const std::string &text : texts) {
            EXPECT_FALSE(testing::holdsControls(text)) << hostile.what << ": " << text;
            EXPECT_LE(text.size(), ReportTexts::lineBytes + 40) << hostile.what;
        }
    }
}

} // namespace
} // namespace tandrel
