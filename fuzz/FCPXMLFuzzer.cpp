// Feeds arbitrary bytes to the FCPXML reader and validates every sequence it finds against a
// fixed edit list, with the report's texts. Reading may only fail with the reader's own error
// or the refusal of what the document type declares; besides crashes and sanitizer reports
// (absurd times must saturate, never overflow) it stops on a report whose counts do not add
// up, or whose rows hold a name or text longer than a screen line in characters or bytes, or
// one that would obey a control character.

#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurityError.h"
#include "core/tests/HostileTexts.h"
#include "core/validation/FCPXMLParser.h"
#include "core/validation/ReportTexts.h"
#include "core/validation/TimelineValidation.h"
#include "core/validation/TimelineValidator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

using namespace tandrel;

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

EditEntry entry(const char *name, ClipCategory type, double in, double out, double source) {
    EditEntry e;
    e.clipName = name;
    e.clipType = type;
    e.timelineIn = in;
    e.timelineOut = out;
    e.sourceIn = source;
    return e;
}

// A little of everything a resolver gives: the kinds of items, a zero-length entry, equal
// starts, and times no rate can count in 64 bits.
const std::vector<EditEntry> &editList() {
    static const std::vector<EditEntry> entries{
        entry("Opening Title", ClipCategory::title, 0, 2, 0),
        entry("Arrival", ClipCategory::simple, 2, 6, 3604),
        entry("arrival ", ClipCategory::simple, 2, 6, 3604.04),
        entry("Stage MC", ClipCategory::multicam, 9, 11, 10805),
        entry("", ClipCategory::gap, 11, 11, 0),
        entry("Memory 1", ClipCategory::compound, 11, 12, 7209),
        entry("Far", ClipCategory::simple, 1e300, std::numeric_limits<double>::infinity(), -1e300),
        entry("Before", ClipCategory::generator, -1e300, 0, 0),
    };
    return entries;
}

bool withinALine(const std::string &text) {
    return text.size() <= ReportTexts::lineBytes &&
           graphemeCount(text) <= ReportTexts::lineLength && !testing::holdsControls(text);
}

void checkReport(const TimelineValidator::ValidationReport &report) {
    const auto unmatchedF = static_cast<int64_t>(report.unmatchedFCPXML.size());
    const auto unmatchedR = static_cast<int64_t>(report.unmatchedResolver.size());
    require(report.comparedPairs + unmatchedF == report.fcpxmlClipCount);
    require(report.comparedPairs + unmatchedR == report.resolverEntryCount);
    require(report.resolverEntryCount == static_cast<int64_t>(editList().size()));
    require(report.exactMatches <= report.comparedPairs);
    require(report.passed() == (report.mismatches.empty() && unmatchedF == 0 && unmatchedR == 0));
    for (const auto *list : {&report.unmatchedFCPXML, &report.unmatchedResolver}) {
        require(std::is_sorted(list->begin(), list->end(), [](const auto &a, const auto &b) {
            return a.recordInFrames < b.recordInFrames;
        }));
        for (const auto &clip : *list) {
            require(!clip.projectTimecode.empty() && clip.projectTimecode[0] != '-');
            require(withinALine(clip.name) && withinALine(clip.elementType.value_or("")));
            (void)ReportTexts::timecode(clip);
        }
    }
    for (const auto &mismatch : report.mismatches) {
        require(mismatch.deltaFrames.has_value() == (mismatch.field != "name"));
        require(withinALine(mismatch.clipName) && withinALine(mismatch.expected) &&
                withinALine(mismatch.actual));
        (void)ReportTexts::expectedAndActual(mismatch);
        (void)ReportTexts::delta(mismatch);
    }
    (void)report.summaryLine();
    const std::string sequence = ReportTexts::facts(report)[0].value;
    require(withinALine(sequence.substr(0, sequence.rfind("  ("))));
    (void)ReportTexts::sections(report);
    (void)ReportTexts::nameWarning(report, "Sample");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FCPXMLParser::Document document;
    try {
        document = FCPXMLParser::parse(std::span<const unsigned char>(data, size), "fuzz.fcpxml");
    } catch (const FCPXMLParser::ParseError &) {
        return 0;
    } catch (const XMLSecurityError &) {
        return 0;
    }
    for (const auto &sequence : document.sequences) {
        checkReport(TimelineValidator::validate(sequence, editList(), 0, 3));
    }
    require((document.primaryTimeline() != nullptr) == !document.sequences.empty());
    try {
        const auto &chosen = TimelineValidation::chooseSequence(document, "Sample");
        require(!document.sequences.empty() && &chosen >= &document.sequences.front() &&
                &chosen <= &document.sequences.back());
    } catch (const TimelineValidation::Error &) {
        require(document.sequences.empty());
    }
    return 0;
}
