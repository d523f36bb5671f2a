#include "core/validation/TimelineValidator.h"

#include "core/model/TimecodeCalculator.h"
#include "core/support/Numeric.h"
#include "core/support/UnicodeText.h"
#include "core/validation/ReportTexts.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

bool TimelineValidator::ValidationReport::passed() const {
    return mismatches.empty() && unmatchedFCPXML.empty() && unmatchedResolver.empty();
}

std::string TimelineValidator::ValidationReport::summaryLine() const {
    return std::to_string(exactMatches) + "/" + std::to_string(comparedPairs) +
           " exact matches \u2014 " + std::to_string(mismatches.size()) + " field mismatch" +
           (mismatches.size() == 1 ? "" : "es") + ", " + std::to_string(unmatchedFCPXML.size()) +
           " in FCPXML only, " + std::to_string(unmatchedResolver.size()) + " in resolver only";
}

bool TimelineValidator::namesMatch(std::string_view a, std::string_view b) {
    a = trimmingWhitespaceAndNewlines(a);
    b = trimmingWhitespaceAndNewlines(b);
    if (a.empty() || b.empty()) {
        return a == b;
    }
    return equalIgnoringCase(a, b);
}

FrameRate TimelineValidator::nominalRate(double fps) {
    // Rates whose fps rounded to hundredths lies in [low, high]; the first that holds wins.
    static constexpr struct {
        double low;
        double high;
        FrameRate::Case rate;
    } rows[] = {
        {23.97, 23.99, FrameRate::fps23_976},
        {24, 24, FrameRate::fps24},
        {25, 25, FrameRate::fps25},
        {29.9, 29.98, FrameRate::fps29_97ndf},
        {30, 30, FrameRate::fps30},
        {47.9, 47.96, FrameRate::fps47_952},
        {48, 48, FrameRate::fps48},
        {50, 50, FrameRate::fps50},
        {59.9, 59.95, FrameRate::fps59_94ndf},
        {60, 60, FrameRate::fps60},
    };
    const double r = std::round(fps * 100) / 100;
    for (const auto &row : rows) {
        if (r >= row.low && r <= row.high) {
            return row.rate;
        }
    }
    return FrameRate::fps24;
}

namespace {

// One side's item reduced to frames from the sequence's start (out exclusive). Its texts are
// those of the sequence or the edit list, which outlive the comparison: a name as long as
// the file is never copied.
struct ClipRecord {
    std::string_view name;
    std::string_view elementType;
    int64_t recordIn = 0;
    int64_t recordOut = 0;
    std::optional<int64_t> sourceIn;
    bool isSimpleAssetClip = false;
};

// Frames of `seconds` at `fps`. Absurd times in a file can lie beyond 64 bits of frames:
// they stop at the 64-bit limits instead of wrapping.
int64_t frames(double fps, double seconds) {
    return roundToInt64Saturating(fps * seconds);
}

std::vector<ClipRecord> fcpxmlRecords(const FCPXMLParser::Sequence &sequence, double fps) {
    std::vector<ClipRecord> records;
    records.reserve(sequence.clips.size());
    for (const auto &clip : sequence.clips) {
        if (clip.isGap() || clip.isTransition()) {
            continue;
        }
        const double relative = clip.offset.seconds() - sequence.tcStartSeconds;
        // The out point comes from the summed time, not from the in point plus a rounded
        // duration.
        ClipRecord record{clip.name,
                          clip.elementType,
                          frames(fps, relative),
                          frames(fps, relative + clip.duration.seconds()),
                          std::nullopt,
                          clip.elementType == "asset-clip"};
        if (record.recordIn >= record.recordOut) {
            continue;
        }
        if (clip.start) {
            record.sourceIn = frames(fps, clip.start->seconds());
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<ClipRecord> resolverRecords(const std::vector<EditEntry> &entries, double fps) {
    std::vector<ClipRecord> records;
    records.reserve(entries.size());
    for (const EditEntry &entry : entries) {
        records.push_back({entry.clipName, entry.clipType.rawValue(), frames(fps, entry.timelineIn),
                           frames(fps, entry.timelineOut), frames(fps, entry.sourceIn),
                           entry.clipType == ClipCategory::simple});
    }
    return records;
}

void sortByRecordIn(std::vector<ClipRecord> &records) {
    std::stable_sort(records.begin(), records.end(), [](const ClipRecord &a, const ClipRecord &b) {
        return a.recordIn < b.recordIn;
    });
}

// Differences are taken in 128 bits, so that they are exact whatever the frame numbers.
Int128 difference(int64_t to, int64_t from) {
    return Int128{to} - Int128{from};
}

bool beyond(Int128 delta, int64_t tolerance) {
    return (delta < 0 ? -delta : delta) > tolerance;
}

// A frame field of a pair, with the delta saturated to 64 bits for the report; `clipName()`
// gives the row's name.
template <typename ClipName>
void compareFrames(std::vector<TimelineValidator::FieldMismatch> &mismatches,
                   const ClipName &clipName, const char *field, int64_t expected, int64_t actual,
                   int64_t tolerance) {
    const Int128 delta = difference(actual, expected);
    if (beyond(delta, tolerance)) {
        mismatches.push_back({clipName(), field, std::to_string(expected), std::to_string(actual),
                              saturatingInt64(delta)});
    }
}

std::vector<TimelineValidator::FieldMismatch>
comparePair(const ClipRecord &fcpxml, const ClipRecord &resolver, int64_t toleranceFrames) {
    std::vector<TimelineValidator::FieldMismatch> mismatches;
    // The rows' name, elided once for all of them: eliding walks the whole name.
    std::optional<std::string> clipName;
    const auto shownName = [&]() -> const std::string & {
        if (!clipName) {
            clipName = ReportTexts::elided(fcpxml.name);
        }
        return *clipName;
    };
    compareFrames(mismatches, shownName, "recordIn", fcpxml.recordIn, resolver.recordIn,
                  toleranceFrames);
    compareFrames(mismatches, shownName, "recordOut", fcpxml.recordOut, resolver.recordOut,
                  toleranceFrames);
    if (!TimelineValidator::namesMatch(fcpxml.name, resolver.name)) {
        // Names that differ in their middle only would show the same elided.
        auto [expected, actual] = ReportTexts::elidedApart(fcpxml.name, resolver.name);
        mismatches.push_back(
            {shownName(), "name", std::move(expected), std::move(actual), std::nullopt});
    }
    // Only simple clips of the media have a source in point both sides mean the same way.
    if (fcpxml.isSimpleAssetClip && resolver.isSimpleAssetClip && fcpxml.sourceIn &&
        resolver.sourceIn) {
        compareFrames(mismatches, shownName, "sourceIn", *fcpxml.sourceIn, *resolver.sourceIn,
                      toleranceFrames);
    }
    return mismatches;
}

} // namespace

TimelineValidator::ValidationReport
TimelineValidator::validate(const FCPXMLParser::Sequence &sequence,
                            const std::vector<EditEntry> &resolverEntries, int64_t toleranceFrames,
                            int64_t pairingWindowFrames) {
    ValidationReport report;
    report.sequenceName = sequence.name;
    report.sequenceKind = sequence.kind.rawValue();
    report.fps = sequence.fps();
    report.frameRateResolved = sequence.frameDuration.has_value();
    report.tcStartSeconds = sequence.tcStartSeconds;

    std::vector<ClipRecord> fcpxml = fcpxmlRecords(sequence, report.fps);
    std::vector<ClipRecord> resolver = resolverRecords(resolverEntries, report.fps);
    sortByRecordIn(fcpxml);
    sortByRecordIn(resolver);
    report.fcpxmlClipCount = static_cast<int64_t>(fcpxml.size());
    report.resolverEntryCount = static_cast<int64_t>(resolver.size());

    const int64_t tcStartFrames = frames(report.fps, sequence.tcStartSeconds);
    const FrameRate projectRate = nominalRate(report.fps);
    const auto unmatched = [&](UnmatchedClip::Side side, const ClipRecord &record) {
        const int64_t projectFrame =
            std::max<int64_t>(saturatingInt64(Int128{record.recordIn} + tcStartFrames), 0);
        // A row's texts are kept elided: the report stays readable and small whatever the file.
        return UnmatchedClip{side, ReportTexts::elided(record.name),
                             ReportTexts::elided(record.elementType), record.recordIn,
                             TimecodeCalculator::framesToTimecode(projectFrame, projectRate)};
    };

    // One merge: a record left behind as unmatched is never tried against a later partner.
    size_t i = 0;
    size_t j = 0;
    while (i < fcpxml.size() && j < resolver.size()) {
        const ClipRecord &a = fcpxml[i];
        const ClipRecord &b = resolver[j];
        if (!beyond(difference(a.recordIn, b.recordIn), pairingWindowFrames)) {
            auto found = comparePair(a, b, toleranceFrames);
            ++report.comparedPairs;
            if (found.empty()) {
                ++report.exactMatches;
            }
            report.mismatches.insert(report.mismatches.end(),
                                     std::make_move_iterator(found.begin()),
                                     std::make_move_iterator(found.end()));
            ++i;
            ++j;
        } else if (a.recordIn >= b.recordIn) {
            report.unmatchedResolver.push_back(unmatched(UnmatchedClip::Side::resolver, b));
            ++j;
        } else {
            report.unmatchedFCPXML.push_back(unmatched(UnmatchedClip::Side::fcpxml, a));
            ++i;
        }
    }
    for (; i < fcpxml.size(); ++i) {
        report.unmatchedFCPXML.push_back(unmatched(UnmatchedClip::Side::fcpxml, fcpxml[i]));
    }
    for (; j < resolver.size(); ++j) {
        report.unmatchedResolver.push_back(unmatched(UnmatchedClip::Side::resolver, resolver[j]));
    }
    return report;
}

} // namespace tandrel
