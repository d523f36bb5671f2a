#pragma once

#include "core/model/EditEntry.h"
#include "core/validation/FCPXMLParser.h"
#include "core/validation/TimelineValidator.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tandrel {

// The FCPXML reader and the timeline validator, as the query resolver uses them. Behind this
// interface the resolver is tested with a stand-in, and a host without the reader can run
// (its validations then fail with a clear message). Called from validation threads, several
// at a time: implementations keep no state.
class ValidationServices {
public:
    virtual ~ValidationServices() = default;

    // The FCPXML reader and the timeline validator of core/validation.
    static std::shared_ptr<const ValidationServices> standard();

    // Reads an FCPXML file or bundle; fails with the reader's own errors.
    virtual FCPXMLParser::Document parse(const std::filesystem::path &contentsOf) const = 0;
    // The document's sequence of that name (projects first), or null.
    virtual const FCPXMLParser::Sequence *sequence(const FCPXMLParser::Document &document,
                                                   const std::string &named) const = 0;
    // The one obvious sequence of the document, or null.
    virtual const FCPXMLParser::Sequence *
    primaryTimeline(const FCPXMLParser::Document &document) const = 0;
    virtual TimelineValidator::ValidationReport
    validate(const FCPXMLParser::Sequence &sequence, const std::vector<EditEntry> &resolverEntries,
             int64_t toleranceFrames, int64_t pairingWindowFrames) const = 0;
};

} // namespace tandrel
