#pragma once

#include "core/model/EditEntry.h"
#include "core/validation/FCPXMLParser.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Compares the resolver's edit list of a timeline with the editor's FCPXML export of the same
// timeline: both sides as frame-accurate records, paired by record-in within a small window.
// A pure function: no state, no input or output. The rows of a report hold names and texts
// as ReportTexts::elided gives them (whole up to a screen line, controls shown), and the two
// names of a "name" mismatch as ReportTexts::elidedApart gives them, so that a report's size is
// bounded by its number of rows, whatever the names in the file; names are compared whole.
class TimelineValidator {
public:
    struct FieldMismatch {
        std::string clipName;
        // "recordIn", "recordOut", "name" or "sourceIn".
        std::string field;
        std::string expected;
        std::string actual;
        // Resolver minus FCPXML, in frames; absent for "name".
        std::optional<int64_t> deltaFrames;

        bool operator==(const FieldMismatch &) const = default;
    };

    struct UnmatchedClip {
        struct SideCases {
            enum Case : unsigned char { fcpxml, resolver };
            static constexpr std::array<std::string_view, 2> rawValues{"fcpxml", "resolver"};
        };
        // Text forms "fcpxml" and "resolver"; fromRawValue gives no side for any other text.
        class Side : public RawEnum<Side, SideCases> {
        public:
            using RawEnum::RawEnum;
        };

        Side side = Side::fcpxml;
        std::string name;
        std::optional<std::string> elementType;
        int64_t recordInFrames = 0;
        std::string projectTimecode;

        bool operator==(const UnmatchedClip &) const = default;
    };

    struct ValidationReport {
        std::string sequenceName;
        std::string sequenceKind;
        double fps = 0;
        bool frameRateResolved = false;
        double tcStartSeconds = 0;
        int64_t fcpxmlClipCount = 0;
        int64_t resolverEntryCount = 0;
        int64_t comparedPairs = 0;
        int64_t exactMatches = 0;
        std::vector<FieldMismatch> mismatches;
        std::vector<UnmatchedClip> unmatchedFCPXML;
        std::vector<UnmatchedClip> unmatchedResolver;

        bool passed() const;
        std::string summaryLine() const;
    };

    // Never fails: an empty side, a sequence without frame duration (24 fps assumed) or
    // absurd times (frame numbers stop at the 64-bit limits) all give a report.
    static ValidationReport validate(const FCPXMLParser::Sequence &sequence,
                                     const std::vector<EditEntry> &resolverEntries,
                                     int64_t toleranceFrames, int64_t pairingWindowFrames);

    // Names match without regard to case and to white space or line breaks at either end; a
    // blank name matches only another blank one.
    static bool namesMatch(std::string_view a, std::string_view b);
    // The rate whose timecode shows a project's frames at `fps`: the nearest of the ten
    // non-drop-frame rates, 24 for anything else.
    static FrameRate nominalRate(double fps);
};

} // namespace tandrel
