#include "host/query/ValidationServices.h"

namespace tandrel {

namespace {

class CoreValidationServices final : public ValidationServices {
public:
    FCPXMLParser::Document parse(const std::filesystem::path &contentsOf) const override {
        return FCPXMLParser::parse(contentsOf);
    }
    const FCPXMLParser::Sequence *sequence(const FCPXMLParser::Document &document,
                                           const std::string &named) const override {
        return document.sequence(named);
    }
    const FCPXMLParser::Sequence *
    primaryTimeline(const FCPXMLParser::Document &document) const override {
        return document.primaryTimeline();
    }
    TimelineValidator::ValidationReport validate(const FCPXMLParser::Sequence &sequence,
                                                 const std::vector<EditEntry> &resolverEntries,
                                                 int64_t toleranceFrames,
                                                 int64_t pairingWindowFrames) const override {
        return TimelineValidator::validate(sequence, resolverEntries, toleranceFrames,
                                           pairingWindowFrames);
    }
};

} // namespace

std::shared_ptr<const ValidationServices> ValidationServices::standard() {
    static const auto services = std::make_shared<const CoreValidationServices>();
    return services;
}

} // namespace tandrel
