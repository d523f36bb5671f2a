#include "core/model/TimecodeCalculator.h"
#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "core/validation/ReportTexts.h"
#include "core/validation/TimelineValidator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tandrel {
namespace {

using Rational = FCPXMLParser::Rational;
using Sequence = FCPXMLParser::Sequence;
using SpineClip = FCPXMLParser::SpineClip;
using Report = TimelineValidator::ValidationReport;
using FieldMismatch = TimelineValidator::FieldMismatch;
using UnmatchedClip = TimelineValidator::UnmatchedClip;

// An item of a 25 fps spine, times in frames.
SpineClip item(std::string type, std::string name, int64_t offset, int64_t duration,
               std::optional<int64_t> start = std::nullopt) {
    SpineClip clip;
    clip.elementType = std::move(type);
    clip.name = std::move(name);
    clip.offset = {offset, 25};
    clip.duration = {duration, 25};
    if (start) {
        clip.start = Rational{*start, 25};
    }
    return clip;
}

Sequence sequenceAt25(std::vector<SpineClip> clips, Rational tcStart = {0, 1}) {
    Sequence sequence;
    sequence.name = "Main Edit";
    sequence.kind = FCPXMLParser::SequenceKind::project;
    sequence.frameDuration = Rational{100, 2500};
    sequence.tcStartSeconds = tcStart.seconds();
    sequence.clips = std::move(clips);
    return sequence;
}

// An edit entry, times in frames at 25 fps.
EditEntry entry(std::string name, ClipCategory type, double in, double out, double source = 0) {
    EditEntry e;
    e.clipName = std::move(name);
    e.clipType = type;
    e.timelineIn = in / 25;
    e.timelineOut = out / 25;
    e.sourceIn = source / 25;
    return e;
}

Report validate(const Sequence &sequence, const std::vector<EditEntry> &entries,
                int64_t tolerance = 0) {
    return TimelineValidator::validate(sequence, entries, tolerance, 3);
}

std::vector<int64_t> recordIns(const std::vector<UnmatchedClip> &clips) {
    std::vector<int64_t> ins;
    for (const auto &clip : clips) {
        ins.push_back(clip.recordInFrames);
    }
    return ins;
}

TEST(TimelineValidator, RecordsOnlyTheSpinesClipsThatTakeTime) {
    // A quarter of a frame: the rounded out point is the in point.
    SpineClip lessThanAFrame = item("video", "Less than a frame", 100, 0);
    lessThanAFrame.duration = {1, 100};
    const Sequence sequence = sequenceAt25({
        item("asset-clip", "A", 0, 50),
        item("gap", "Gap", 50, 25),
        item("transition", "Cross Dissolve", 70, 10),
        item("asset-clip", "B", 75, 25),
        item("title", "Zero", 100, 0),
        lessThanAFrame,
        item("mc-clip", "Backwards", 130, -5),
        item("asset-clip", "C", 100, 25),
    });
    const Report report = validate(sequence, {entry("Blip", ClipCategory::simple, 250, 250)});
    EXPECT_EQ(report.fcpxmlClipCount, 3);
    ASSERT_EQ(report.unmatchedFCPXML.size(), 3u);
    EXPECT_EQ(report.unmatchedFCPXML[0],
              (UnmatchedClip{UnmatchedClip::Side::fcpxml, "A", "asset-clip", 0, "00:00:00:00"}));
    EXPECT_EQ(report.unmatchedFCPXML[1].name, "B");
    EXPECT_EQ(report.unmatchedFCPXML[2].name, "C");
    // A resolver entry of any length stays.
    EXPECT_EQ(report.resolverEntryCount, 1);
    ASSERT_EQ(report.unmatchedResolver.size(), 1u);
    EXPECT_EQ(report.unmatchedResolver[0],
              (UnmatchedClip{UnmatchedClip::Side::resolver, "Blip", "simple", 250, "00:00:10:00"}));
    EXPECT_EQ(report.sequenceName, "Main Edit");
    EXPECT_EQ(report.sequenceKind, "project");
}

TEST(TimelineValidator, CountsFramesFromTheSequenceStartAndShowsProjectTimecode) {
    // 25 fps from 3600 s: an item at 3600 s for 2 s covers frames 0 to 50.
    const Sequence atOneHour = sequenceAt25({item("asset-clip", "A", 90000, 50)}, {3600, 1});
    Report report = validate(atOneHour, {});
    ASSERT_EQ(report.unmatchedFCPXML.size(), 1u);
    EXPECT_EQ(report.unmatchedFCPXML[0].recordInFrames, 0);
    EXPECT_EQ(report.unmatchedFCPXML[0].projectTimecode, "01:00:00:00");
    report = validate(atOneHour, {entry("A", ClipCategory::simple, 0, 50)});
    EXPECT_EQ(report.exactMatches, 1);
    EXPECT_EQ(report.tcStartSeconds, 3600);

    // A record before the start shows as the project's first frame.
    report = validate(sequenceAt25({}, {1, 1}), {entry("Early", ClipCategory::title, -50, 0)});
    ASSERT_EQ(report.unmatchedResolver.size(), 1u);
    EXPECT_EQ(report.unmatchedResolver[0].recordInFrames, -50);
    EXPECT_EQ(report.unmatchedResolver[0].projectTimecode, "00:00:00:00");

    // At 29.97 the project timecode counts 30 frames a second, never dropping any.
    Sequence ntsc = sequenceAt25({});
    ntsc.frameDuration = Rational{1001, 30000};
    EditEntry late;
    late.timelineIn = 3600 * 1.001 + 10 * 1.001;
    late.timelineOut = late.timelineIn + 1;
    report = validate(ntsc, {late});
    ASSERT_EQ(report.unmatchedResolver.size(), 1u);
    EXPECT_EQ(report.unmatchedResolver[0].recordInFrames, 108300);
    EXPECT_EQ(report.unmatchedResolver[0].projectTimecode, "01:00:10:00");
}

TEST(TimelineValidator, PairsRecordsWithinTheWindowInOneMerge) {
    const struct {
        const char *what;
        std::vector<int64_t> fcpxml;
        std::vector<int64_t> resolver;
        int64_t pairs;
        std::vector<int64_t> onlyFCPXML;
        std::vector<int64_t> onlyResolver;
    } cases[] = {
        {"exactly the window apart", {0}, {3}, 1, {}, {}},
        {"the window the other way", {3}, {0}, 1, {}, {}},
        {"one frame more", {0}, {4}, 0, {0}, {4}},
        {"the earlier one is left first", {0, 10}, {4, 10}, 1, {0}, {4}},
        {"records out of reach on both sides", {10}, {0, 8, 12}, 1, {}, {0, 12}},
        {"the first record in the window pairs, not the nearest", {0, 1}, {3}, 1, {1}, {}},
        {"leftovers on either side", {0, 20, 30}, {1}, 1, {20, 30}, {}},
        {"nothing on either side", {}, {}, 0, {}, {}},
    };
    for (const auto &c : cases) {
        std::vector<SpineClip> clips;
        for (int64_t in : c.fcpxml) {
            clips.push_back(item("asset-clip", "X", in, 1));
        }
        std::vector<EditEntry> entries;
        for (int64_t in : c.resolver) {
            entries.push_back(entry("X", ClipCategory::compound, in, in + 1));
        }
        const Report report = validate(sequenceAt25(clips), entries);
        EXPECT_EQ(report.comparedPairs, c.pairs) << c.what;
        EXPECT_EQ(recordIns(report.unmatchedFCPXML), c.onlyFCPXML) << c.what;
        EXPECT_EQ(recordIns(report.unmatchedResolver), c.onlyResolver) << c.what;
    }
}

TEST(TimelineValidator, ComparesTheFieldsOfEachPair) {
    using C = ClipCategory;
    const auto mismatch = [](std::string field, std::string expected, std::string actual,
                             std::optional<int64_t> delta) {
        return FieldMismatch{"A", std::move(field), std::move(expected), std::move(actual), delta};
    };
    const struct {
        const char *what;
        SpineClip fcpxml;
        EditEntry resolver;
        int64_t tolerance;
        std::vector<FieldMismatch> expected;
    } cases[] = {
        {"the same", item("asset-clip", "A", 0, 50, 100), entry("A", C::simple, 0, 50, 100), 0, {}},
        {"out point one frame later",
         item("asset-clip", "A", 0, 50),
         entry("A", C::simple, 0, 51),
         0,
         {mismatch("recordOut", "50", "51", 1)}},
        {"both points two frames earlier",
         item("title", "A", 10, 40),
         entry("A", C::title, 8, 48),
         0,
         {mismatch("recordIn", "10", "8", -2), mismatch("recordOut", "50", "48", -2)}},
        {"within the tolerance",
         item("asset-clip", "A", 0, 50, 100),
         entry("A", C::simple, 2, 48, 98),
         2,
         {}},
        {"beyond the tolerance",
         item("asset-clip", "A", 0, 50),
         entry("A", C::simple, 0, 53),
         2,
         {mismatch("recordOut", "50", "53", 3)}},
        {"another name",
         item("asset-clip", "A", 0, 50),
         entry("B", C::simple, 0, 50),
         0,
         {mismatch("name", "A", "B", std::nullopt)}},
        {"names apart from case, blanks and line breaks",
         item("asset-clip", "A", 0, 50),
         entry(" \n a\t", C::simple, 0, 50),
         0,
         {}},
        {"source in of two simple clips",
         item("asset-clip", "A", 0, 50, 100),
         entry("A", C::simple, 0, 50, 104),
         0,
         {mismatch("sourceIn", "100", "104", 4)}},
        {"source in of a compound entry",
         item("asset-clip", "A", 0, 50, 100),
         entry("A", C::compound, 0, 50, 104),
         0,
         {}},
        {"source in of a synchronised clip",
         item("sync-clip", "A", 0, 50, 100),
         entry("A", C::simple, 0, 50, 104),
         0,
         {}},
        {"an FCPXML item without start",
         item("asset-clip", "A", 0, 50),
         entry("A", C::simple, 0, 50, 104),
         0,
         {}},
    };
    for (const auto &c : cases) {
        const Report report = validate(sequenceAt25({c.fcpxml}), {c.resolver}, c.tolerance);
        EXPECT_EQ(report.comparedPairs, 1) << c.what;
        EXPECT_EQ(report.mismatches, c.expected) << c.what;
        EXPECT_EQ(report.exactMatches, c.expected.empty() ? 1 : 0) << c.what;
        EXPECT_EQ(report.passed(), c.expected.empty()) << c.what;
    }

    const struct {
        const char *a;
        const char *b;
        bool match;
    } names[] = {
        {"Arrival", "ARRIVAL", true},
        {" Arrival\n", "arrival", true},
        {"Caf\u00E9", "cafe\u0301", true},
        {"", "", true},
        {"", " \n\u00A0", true},
        {"", "A", false},
        {"A", " ", false},
        {"Arrival", "Arrival 2", false},
    };
    for (const auto &c : names) {
        EXPECT_EQ(TimelineValidator::namesMatch(c.a, c.b), c.match) << c.a << " / " << c.b;
    }
}

TEST(TimelineValidator, ComparesLongNamesWholeAndKeepsThemElidedInItsRows) {
    using C = ClipCategory;
    // Two names of a megabyte that differ only in their middle, and an element name as long.
    std::string name(1 << 20, 'n');
    std::string other = name;
    other[other.size() / 2] = 'x';
    const std::string type(1 << 20, 't');
    const Report report =
        validate(sequenceAt25({item("asset-clip", name, 0, 50), item(type, name, 100, 50)}),
                 {entry(other, C::simple, 0, 51)});
    const std::string shown = std::string(60, 'n') + "\u2026" + std::string(59, 'n');
    // The two names elided alike would show the same: the name mismatch shows them around
    // where they differ.
    const std::string end = std::string(29, 'n') + "\u2026";
    EXPECT_EQ(report.mismatches,
              (std::vector<FieldMismatch>{
                  {shown, "recordOut", "50", "51", 1},
                  {shown, "name", end + std::string(60, 'n') + "\u2026" + std::string(29, 'n'),
                   end + std::string(20, 'n') + "x" + std::string(39, 'n') + "\u2026" +
                       std::string(29, 'n'),
                   std::nullopt}}));
    ASSERT_EQ(report.unmatchedFCPXML.size(), 1u);
    EXPECT_EQ(report.unmatchedFCPXML[0].name, shown);
    EXPECT_EQ(report.unmatchedFCPXML[0].elementType,
              std::string(60, 't') + "\u2026" + std::string(59, 't'));
    // Short names stay as they are, blanks and all, but for the controls they show.
    EXPECT_EQ(
        validate(sequenceAt25({item("asset-clip", " A\n", 0, 50)}), {}).unmatchedFCPXML[0].name,
        " A\\u{0A}");
}

// Names as an attacker writes them: every text a row holds stays within a line of the screen
// in characters, bytes and code points, and shows its controls instead of obeying them.
TEST(TimelineValidator, KeepsRowsOfHostileNamesOnOneBoundedLine) {
    using C = ClipCategory;
    for (const auto &hostile : testing::hostileTexts()) {
        const Report report = validate(sequenceAt25({item("asset-clip", hostile.text, 0, 50),
                                                     item(hostile.text, hostile.text, 100, 50)}),
                                       {entry(hostile.text + "2", C::simple, 0, 51),
                                        entry("2" + hostile.text, C::simple, 200, 250)});
        ASSERT_EQ(report.mismatches.size(), 2u) << hostile.what;
        ASSERT_EQ(report.unmatchedFCPXML.size(), 1u) << hostile.what;
        ASSERT_EQ(report.unmatchedResolver.size(), 1u) << hostile.what;
        std::vector<std::string> texts;
        for (const FieldMismatch &mismatch : report.mismatches) {
            texts.insert(texts.end(), {mismatch.clipName, mismatch.expected, mismatch.actual});
        }
        for (const UnmatchedClip &clip : {report.unmatchedFCPXML[0], report.unmatchedResolver[0]}) {
            texts.insert(texts.end(), {clip.name, clip.elementType.value_or("")});
        }
        for (const std::string &text : texts) {
            EXPECT_LE(graphemeCount(text), ReportTexts::lineLength) << hostile.what;
            EXPECT_LE(text.size(), ReportTexts::lineBytes) << hostile.what;
            EXPECT_EQ(text, truncatedToGraphemes(text, ReportTexts::lineLength, ""))
                << hostile.what << ": a character of more than 31 code points";
            EXPECT_FALSE(testing::holdsControls(text)) << hostile.what << ": a control obeyed";
        }
        // The names differ at their ends, and show it.
        EXPECT_NE(report.mismatches[1].expected, report.mismatches[1].actual) << hostile.what;
    }
}

TEST(TimelineValidator, KeepsTheInputOrderOfEqualRecordIns) {
    const Sequence sequence =
        sequenceAt25({item("asset-clip", "B", 0, 25), item("asset-clip", "A", 0, 25),
                      item("asset-clip", "C", 10, 25)});
    const Report report = validate(sequence, {entry("C", ClipCategory::simple, 10, 35),
                                              entry("B", ClipCategory::simple, 0, 25),
                                              entry("A", ClipCategory::simple, 0, 25)});
    EXPECT_EQ(report.comparedPairs, 3);
    EXPECT_EQ(report.exactMatches, 3);
    EXPECT_TRUE(report.passed());
}

TEST(TimelineValidator, TakesTheRateFromTheFrameDuration) {
    const struct {
        std::optional<Rational> frameDuration;
        double fps;
        bool resolved;
        // An item at 1 s.
        int64_t recordIn;
    } cases[] = {
        {Rational{100, 2500}, 25, true, 25},
        {Rational{0, 1}, 24, true, 24},
        {std::nullopt, 24, false, 24},
        {Rational{1, 50}, 50, true, 50},
    };
    for (const auto &c : cases) {
        Sequence sequence = sequenceAt25({});
        sequence.frameDuration = c.frameDuration;
        EditEntry e;
        e.timelineIn = 1;
        e.timelineOut = 2;
        const Report report = validate(sequence, {e});
        EXPECT_EQ(report.fps, c.fps);
        EXPECT_EQ(report.frameRateResolved, c.resolved);
        EXPECT_EQ(report.unmatchedResolver.at(0).recordInFrames, c.recordIn);
    }

    const struct {
        double fps;
        FrameRate rate;
    } nominal[] = {
        {24000.0 / 1001, FrameRate::fps23_976},
        {23.97, FrameRate::fps23_976},
        {23.99, FrameRate::fps23_976},
        {24, FrameRate::fps24},
        {25, FrameRate::fps25},
        {30000.0 / 1001, FrameRate::fps29_97ndf},
        {29.899, FrameRate::fps29_97ndf},
        {29.986, FrameRate::fps24}, // 29.99 lies between the rows
        {30, FrameRate::fps30},
        {48000.0 / 1001, FrameRate::fps47_952},
        {48, FrameRate::fps48},
        {50, FrameRate::fps50},
        {60000.0 / 1001, FrameRate::fps59_94ndf},
        {60, FrameRate::fps60},
        {30.5, FrameRate::fps24},
        {23.9, FrameRate::fps24},
        {120, FrameRate::fps24},
        {-25, FrameRate::fps24},
    };
    for (const auto &c : nominal) {
        EXPECT_EQ(TimelineValidator::nominalRate(c.fps), c.rate) << c.fps;
    }
}

TEST(TimelineValidator, SummarisesTheReport) {
    const struct {
        size_t mismatches;
        const char *line;
    } cases[] = {
        {0, "3/5 exact matches \u2014 0 field mismatches, 1 in FCPXML only, 0 in resolver only"},
        {1, "3/5 exact matches \u2014 1 field mismatch, 1 in FCPXML only, 0 in resolver only"},
        {2, "3/5 exact matches \u2014 2 field mismatches, 1 in FCPXML only, 0 in resolver only"},
    };
    for (const auto &c : cases) {
        Report report;
        report.exactMatches = 3;
        report.comparedPairs = 5;
        report.mismatches.resize(c.mismatches);
        report.unmatchedFCPXML.resize(1);
        EXPECT_EQ(report.summaryLine(), c.line);
        EXPECT_FALSE(report.passed());
    }
    EXPECT_TRUE(Report{}.passed());
}

TEST(TimelineValidator, AbsurdTimesStopAtTheLimitsOfTheFrameNumbers) {
    constexpr double huge = 1e300;
    // Both points of the pair and the source in lie far beyond 64 bits of frames.
    EditEntry far = entry("A", ClipCategory::simple, 0, 0);
    far.timelineOut = huge;
    far.sourceIn = -huge;
    SpineClip farStart = item("asset-clip", "A", 0, 1);
    farStart.start = Rational{INT64_MAX, 1};
    Report report = validate(sequenceAt25({farStart}), {far});
    ASSERT_EQ(report.mismatches.size(), 2u);
    EXPECT_EQ(report.mismatches[0],
              (FieldMismatch{"A", "recordOut", "1", "9223372036854775807", INT64_MAX - 1}));
    EXPECT_EQ(report.mismatches[1], (FieldMismatch{"A", "sourceIn", "9223372036854775807",
                                                   "-9223372036854775808", INT64_MIN}));

    // A start beyond 64 bits of frames, items far before and after it, and one without time.
    EditEntry after = entry("After", ClipCategory::simple, 0, 0);
    after.timelineIn = huge;
    after.timelineOut = std::numeric_limits<double>::infinity();
    EditEntry before = entry("Before", ClipCategory::simple, 0, 0);
    before.timelineIn = -huge;
    EditEntry nowhere = entry("Nowhere", ClipCategory::gap, 0, 0);
    nowhere.timelineIn = std::nan("");
    report = validate(sequenceAt25({}, {INT64_MAX, 1}), {after, before, nowhere});
    ASSERT_EQ(report.unmatchedResolver.size(), 3u);
    EXPECT_EQ(report.unmatchedResolver[0].name, "Before");
    EXPECT_EQ(report.unmatchedResolver[0].recordInFrames, INT64_MIN);
    EXPECT_EQ(report.unmatchedResolver[0].projectTimecode, "00:00:00:00");
    EXPECT_EQ(report.unmatchedResolver[1].name, "Nowhere");
    EXPECT_EQ(report.unmatchedResolver[1].recordInFrames, 0);
    EXPECT_EQ(report.unmatchedResolver[2].recordInFrames, INT64_MAX);
    EXPECT_EQ(report.unmatchedResolver[2].projectTimecode,
              TimecodeCalculator::framesToTimecode(INT64_MAX, FrameRate::fps25));

    // The fastest rate a frame duration can give, over the widest times: a frame of the
    // item still pairs, and the start before them all shows the rest at the first frame.
    Sequence extreme = sequenceAt25({}, {INT64_MIN, 1});
    extreme.frameDuration = Rational{1, INT64_MAX};
    SpineClip wide;
    wide.elementType = "asset-clip";
    wide.name = "A";
    wide.offset = {INT64_MIN, 1};
    wide.duration = {1, INT64_MAX};
    wide.start = Rational{INT64_MIN, 1};
    extreme.clips = {wide};
    report = validate(extreme, {far, after, before});
    EXPECT_EQ(report.fcpxmlClipCount, 1);
    EXPECT_EQ(report.comparedPairs, 1);
    EXPECT_EQ(report.mismatches.at(0).field, "recordOut");
    ASSERT_EQ(report.unmatchedResolver.size(), 2u);
    EXPECT_EQ(report.unmatchedResolver[0].projectTimecode, "00:00:00:00");
    EXPECT_EQ(report.unmatchedResolver[1].projectTimecode, "00:00:00:00");
}

} // namespace
} // namespace tandrel
