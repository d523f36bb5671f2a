#pragma once

#include "core/model/EditEntry.h"
#include "core/validation/FCPXMLParser.h"
#include "core/validation/TimelineValidator.h"

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel {

// A timeline checked against its FCPXML export the way the host's query layer does it once
// it holds the timeline's edit list: the file read, the sequence named like the timeline
// chosen (else the document's primary timeline), and the two compared frame-exactly with a
// pairing window of 3 frames. Shared by the host and tandrel-cli.
class TimelineValidation {
public:
    static constexpr int64_t toleranceFrames = 0;
    static constexpr int64_t pairingWindowFrames = 3;

    // The query layer's failures; what() is the user-visible text.
    class Error : public std::runtime_error {
    public:
        enum class Case { timelineNotFound, edlUnavailable, noSequenceInFCPXML };

        static Error timelineNotFound();
        static Error edlUnavailable();
        // Its text names the timeline as ReportTexts::elided shows it.
        static Error noSequenceInFCPXML(std::string timelineName);

        Case errorCase() const { return case_; }
        // The timeline's name for noSequenceInFCPXML, else empty.
        const std::string &timelineName() const { return timelineName_; }

    private:
        Error(Case c, std::string timelineName, const std::string &text)
            : std::runtime_error(text), case_(c), timelineName_(std::move(timelineName)) {}

        Case case_;
        std::string timelineName_;
    };

    // The document's sequence named like the timeline (a project before any other kind),
    // else its primary timeline. Throws Error::noSequenceInFCPXML when there is neither.
    static const FCPXMLParser::Sequence &chooseSequence(const FCPXMLParser::Document &document,
                                                        const std::string &timelineName);

    // Reads `fcpxml` and compares the chosen sequence with `entries`, the timeline's edit list
    // in its order. Throws FCPXMLParser::ParseError, XMLSecurityError or Error, unchanged.
    static TimelineValidator::ValidationReport againstFCPXML(const std::filesystem::path &fcpxml,
                                                             const std::string &timelineName,
                                                             const std::vector<EditEntry> &entries);
};

} // namespace tandrel
