#include "core/validation/TimelineValidation.h"

#include "core/validation/ReportTexts.h"

namespace tandrel {

TimelineValidation::Error TimelineValidation::Error::timelineNotFound() {
    return Error(Case::timelineNotFound, "",
                 "The selected timeline is no longer available. Re-select it and try again.");
}

TimelineValidation::Error TimelineValidation::Error::edlUnavailable() {
    return Error(Case::edlUnavailable, "",
                 "Could not resolve the selected timeline's edit list from the library.");
}

TimelineValidation::Error TimelineValidation::Error::noSequenceInFCPXML(std::string timelineName) {
    const std::string text = "The FCPXML contains no timeline matching '" +
                             ReportTexts::elided(timelineName) +
                             "' (and no single obvious timeline to fall back to). "
                             "Export the FCPXML for the timeline you selected here.";
    return Error(Case::noSequenceInFCPXML, std::move(timelineName), text);
}

const FCPXMLParser::Sequence &
TimelineValidation::chooseSequence(const FCPXMLParser::Document &document,
                                   const std::string &timelineName) {
    if (const auto *named = document.sequence(timelineName)) {
        return *named;
    }
    if (const auto *primary = document.primaryTimeline()) {
        return *primary;
    }
    throw Error::noSequenceInFCPXML(timelineName);
}

TimelineValidator::ValidationReport
TimelineValidation::againstFCPXML(const std::filesystem::path &fcpxml,
                                  const std::string &timelineName,
                                  const std::vector<EditEntry> &entries) {
    const FCPXMLParser::Document document = FCPXMLParser::parse(fcpxml);
    return TimelineValidator::validate(chooseSequence(document, timelineName), entries,
                                       toleranceFrames, pairingWindowFrames);
}

} // namespace tandrel
