#pragma once

#include "core/support/UnicodeText.h"
#include "core/validation/TimelineValidator.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tandrel {

// The texts of a validation report: the verdict, its facts, the titles of its lists and the
// pieces of their rows, as the report views show them and tandrel-cli prints them; and the
// fixed texts of the validation window and tile around them. Numbers are plain decimal,
// fractions with a full stop whatever the locale. Pure.
struct ReportTexts {
    using ValidationReport = TimelineValidator::ValidationReport;
    using FieldMismatch = TimelineValidator::FieldMismatch;
    using UnmatchedClip = TimelineValidator::UnmatchedClip;

    // "PASS — resolver matches FCPXML" or "FAIL — differences found".
    static std::string_view headline(const ValidationReport &report);
    // Shown in place of the lists when the report passed.
    static constexpr std::string_view allMatched =
        "Every compared clip matched on timeline position, duration, and name. No dropped or "
        "spurious entries.";

    struct Fact {
        std::string_view label;
        std::string value;
        bool operator==(const Fact &) const = default;
    };
    // The summary's facts in their order: sequence, frame rate, start, counts, pairs.
    static std::vector<Fact> facts(const ValidationReport &report);
    // The warning under the sequence fact when the compared sequence is not the timeline
    // selected in the host (its name differs, case aside); nothing without a selection.
    static std::optional<std::string_view>
    nameWarning(const ValidationReport &report,
                const std::optional<std::string> &activeTimelineName);

    enum class SectionKind { unmatchedFCPXML, unmatchedResolver, mismatches };
    struct Section {
        SectionKind kind;
        std::string_view title;
        // The full length of the list, never a capped one.
        size_t count;
        bool operator==(const Section &) const = default;
    };
    // The lists that are not empty, in the fixed order FCPXML only, resolver only, mismatches.
    static std::vector<Section> sections(const ValidationReport &report);

    // The most user-perceived characters a name or text of a report row keeps: about a line
    // of the screen, so that rows stay readable and a report's size stays bounded whatever
    // the file held.
    static constexpr size_t lineLength = 120;
    // The most bytes such a text takes: `lineLength` characters of at most
    // maxCodePointsPerCharacter code points of four bytes each.
    static constexpr size_t lineBytes = lineLength * maxCodePointsPerCharacter * 4;
    // A name or text as a report holds it: whole up to `lineLength` characters, else its
    // beginning and its end around "…", `lineLength` characters in all; each character of at
    // most maxCodePointsPerCharacter code points, and every control character shown as an
    // escape, never obeyed (withControlsShown: a line break cannot start a row of its own).
    // The validator keeps its rows' names and texts this way; the facts show the sequence's
    // name this way.
    static std::string elided(std::string_view text);
    // Two texts elided so that they show apart when they differ: as `elided` gives them, or,
    // when that gives the same for both, each elided around the first character in which they
    // differ. (Texts that differ only beyond what a character keeps still show the same.)
    static std::pair<std::string, std::string> elidedApart(std::string_view a, std::string_view b);

    // A clip's name as a row shows it: "(unnamed)" for an empty one.
    static std::string_view rowName(std::string_view name);
    // "@ " and the clip's project timecode.
    static std::string timecode(const UnmatchedClip &clip);
    // "expected 375 → got 300".
    static std::string expectedAndActual(const FieldMismatch &mismatch);
    // "(+1f)", "(-2f)", "(0f)"; nothing for a mismatch without a delta (a name).
    static std::optional<std::string> delta(const FieldMismatch &mismatch);
    // "+ 50 more not shown" for a list of `total` entries cut to `displayCap` rows; nothing
    // when all of them are shown.
    static std::optional<std::string> overflowNote(size_t total, size_t displayCap);

    // The tile's short forms: "PASS" or "FAIL", and two facts, the clip counts and the pairs.
    static std::string_view verdict(const ValidationReport &report);
    static std::vector<Fact> tileFacts(const ValidationReport &report);

    // The window's title, and the line under it while a timeline is selected.
    static constexpr std::string_view windowTitle = "Validate Against FCPXML";
    // The timeline's name is shown as `elided` gives it.
    static std::string comparingTimeline(std::string_view timelineName);
    // What the window shows in place of its drop zone while no timeline is selected.
    static constexpr std::string_view noTimelineTitle = "No timeline selected";
    static constexpr std::string_view noTimelineHint =
        "Pick a library and timeline in the main window first, then export that same timeline "
        "as FCPXML from Final Cut Pro and load it here.";
    // The tile's one line while no timeline is selected.
    static constexpr std::string_view tileNoTimeline =
        "No timeline selected \u2014 pick one in the sidebar first.";
    // The drop zones of the window and of the tile.
    static constexpr std::string_view windowDropPrompt = "Drop an exported .fcpxml / .fcpxmld here";
    static constexpr std::string_view tileDropPrompt = "Drop .fcpxml / .fcpxmld here";
    static constexpr std::string_view chooseButton = "Choose FCPXML...";
    static constexpr std::string_view comparing = "Comparing\u2026";
    // The file chooser's message.
    static constexpr std::string_view chooserMessage =
        "Select the FCPXML you exported for the selected timeline";
};

} // namespace tandrel
