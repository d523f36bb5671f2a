#include "core/validation/ReportTexts.h"

#include "core/support/UnicodeText.h"

#include <array>
#include <charconv>

namespace tandrel {

namespace {

// "%.3f" of the C locale: std::to_chars never looks at the locale.
std::string threeDecimals(double value) {
    // The longest fixed form of a double has 309 integral digits.
    std::array<char, 340> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 3);
    return std::string(buffer.data(), result.ptr);
}

std::string versus(int64_t fcpxml, int64_t resolver) {
    return std::to_string(fcpxml) + " vs " + std::to_string(resolver);
}

std::string pairs(const TimelineValidator::ValidationReport &report) {
    return std::to_string(report.comparedPairs) + " / " + std::to_string(report.exactMatches);
}

} // namespace

std::string_view ReportTexts::headline(const ValidationReport &report) {
    return report.passed() ? "PASS \u2014 resolver matches FCPXML"
                           : "FAIL \u2014 differences found";
}

std::string ReportTexts::elided(std::string_view text) {
    return shownLine(text, lineLength);
}

std::pair<std::string, std::string> ReportTexts::elidedApart(std::string_view a,
                                                             std::string_view b) {
    std::pair<std::string, std::string> shown{elided(a), elided(b)};
    if (shown.first != shown.second) {
        return shown;
    }
    const auto difference = firstDifferingCharacter(a, b);
    if (!difference) {
        return shown;
    }
    shown = {withControlsShown(elidedAround(a, lineLength, "\u2026", *difference)),
             withControlsShown(elidedAround(b, lineLength, "\u2026", *difference))};
    // Once more in what shows, as shownLine does, around where the shown texts differ.
    const auto shownDifference = firstDifferingCharacter(shown.first, shown.second);
    for (std::string *text : {&shown.first, &shown.second}) {
        *text = shownDifference ? elidedAround(*text, lineLength, "\u2026", *shownDifference)
                                : elidedInMiddle(*text, lineLength, "\u2026");
    }
    return shown;
}

std::vector<ReportTexts::Fact> ReportTexts::facts(const ValidationReport &report) {
    return {
        {"FCPXML sequence", elided(report.sequenceName) + "  (" + report.sequenceKind + ")"},
        {"Frame rate",
         threeDecimals(report.fps) +
             (report.frameRateResolved ? " fps" : " fps (format unresolved \u2014 assumed)")},
        {"Start TC", threeDecimals(report.tcStartSeconds) + " s"},
        {"FCPXML clips vs resolver entries",
         versus(report.fcpxmlClipCount, report.resolverEntryCount)},
        {"Compared / exact", pairs(report)},
    };
}

std::optional<std::string_view>
ReportTexts::nameWarning(const ValidationReport &report,
                         const std::optional<std::string> &activeTimelineName) {
    if (!activeTimelineName || equalIgnoringCase(*activeTimelineName, report.sequenceName)) {
        return std::nullopt;
    }
    return "This isn't the timeline selected here \u2014 the FCPXML had no exact name match, so "
           "the closest timeline was used. Export the FCPXML for the selected timeline for a "
           "valid comparison.";
}

std::vector<ReportTexts::Section> ReportTexts::sections(const ValidationReport &report) {
    std::vector<Section> shown;
    if (!report.unmatchedFCPXML.empty()) {
        shown.push_back({SectionKind::unmatchedFCPXML,
                         "In FCPXML only \u2014 likely dropped by the resolver",
                         report.unmatchedFCPXML.size()});
    }
    if (!report.unmatchedResolver.empty()) {
        shown.push_back({SectionKind::unmatchedResolver,
                         "In resolver only \u2014 spurious/extra entries",
                         report.unmatchedResolver.size()});
    }
    if (!report.mismatches.empty()) {
        shown.push_back({SectionKind::mismatches, "Field mismatches on matched clips",
                         report.mismatches.size()});
    }
    return shown;
}

std::string_view ReportTexts::rowName(std::string_view name) {
    return name.empty() ? "(unnamed)" : name;
}

std::string ReportTexts::timecode(const UnmatchedClip &clip) {
    return std::string("@ ").append(clip.projectTimecode);
}

std::string ReportTexts::expectedAndActual(const FieldMismatch &mismatch) {
    return std::string("expected ")
        .append(mismatch.expected)
        .append(" \u2192 got ")
        .append(mismatch.actual);
}

std::optional<std::string> ReportTexts::delta(const FieldMismatch &mismatch) {
    if (!mismatch.deltaFrames) {
        return std::nullopt;
    }
    const int64_t frames = *mismatch.deltaFrames;
    std::string text = frames >= 1 ? "(+" : "(";
    return text.append(std::to_string(frames)).append("f)");
}

std::optional<std::string> ReportTexts::overflowNote(size_t total, size_t displayCap) {
    if (total <= displayCap) {
        return std::nullopt;
    }
    return "+ " + std::to_string(total - displayCap) + " more not shown";
}

std::string_view ReportTexts::verdict(const ValidationReport &report) {
    return report.passed() ? "PASS" : "FAIL";
}

std::vector<ReportTexts::Fact> ReportTexts::tileFacts(const ValidationReport &report) {
    return {
        {"FCPXML vs resolver", versus(report.fcpxmlClipCount, report.resolverEntryCount)},
        {"Compared / exact", pairs(report)},
    };
}

std::string ReportTexts::comparingTimeline(std::string_view timelineName) {
    return std::string("Comparing timeline: ").append(elided(timelineName));
}

} // namespace tandrel
