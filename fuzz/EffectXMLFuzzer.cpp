// Feeds arbitrary bytes to the entity guard and to the readers of effect parameter documents
// (retime, transform) over the hardened XML parser. Besides crashes and sanitizer reports it
// stops on a value no reader may hand on: a number that is not finite.

#include "core/database/RetimeParser.h"
#include "core/database/TransformParser.h"
#include "core/resolver/AssetInfoResolver.h"
#include "core/support/XMLSecurity.h"
#include "core/support/XMLStreamParser.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

using namespace tandrel;

namespace {

void requireFinite(double value) {
    if (!std::isfinite(value)) {
        __builtin_trap();
    }
}

class Sink : public XMLStreamParser::Delegate {
public:
    void startElement(std::string_view name, const XMLStreamParser::Attributes &a) override {
        size_ += name.size() + (a.empty() ? 0 : a.find("name").value_or("").size());
    }
    void characters(std::string_view text) override { size_ += text.size(); }
    void endElement(std::string_view name) override { size_ += name.size(); }

private:
    size_t size_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    try {
        XMLSecurity::rejectXMLEntityDeclarations(bytes, "fuzz");
    } catch (const XMLSecurityError &) {
    }
    Sink sink;
    (void)XMLStreamParser::parse(bytes, sink);

    if (const auto retime = RetimeParser::parse(bytes)) {
        requireFinite(retime->speed);
        for (const auto &k : retime->timeMapKeypoints) {
            requireFinite(k.timelineSeconds);
            requireFinite(k.sourceSeconds);
            requireFinite(k.inputTangentValue);
            requireFinite(k.outputTangentValue);
        }
        if (const auto speed = retime->effectiveSpeed()) {
            requireFinite(*speed);
        }
        (void)retime->isFreezeFrame();
        const std::optional<std::vector<TimeMapKeypoint>> timeMap = retime->timeMapKeypoints;
        for (const auto &k : retime->timeMapKeypoints) {
            if (const auto value = AssetInfoResolver::evaluateTimeMap(timeMap, k.sourceSeconds)) {
                requireFinite(*value);
            }
        }
    }
    const auto fromBytes = TransformParser::parse(bytes);
    const auto fromText =
        TransformParser::parse(std::string_view(reinterpret_cast<const char *>(data), size));
    if (fromBytes) {
        for (double value :
             {fromBytes->positionX, fromBytes->positionY, fromBytes->positionZ, fromBytes->scaleX,
              fromBytes->scaleY, fromBytes->rotation, fromBytes->anchorX, fromBytes->anchorY}) {
            requireFinite(value);
        }
        (void)fromBytes->scalePercentage();
        // Both doors read the same document the same way.
        if (!fromText || *fromText != *fromBytes) {
            __builtin_trap();
        }
    }
    return 0;
}
