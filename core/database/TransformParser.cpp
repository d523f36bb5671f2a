#include "core/database/TransformParser.h"

#include "core/database/EffectDocument.h"
#include "core/support/Numeric.h"

#include <string>
#include <vector>

namespace tandrel {

namespace {

// The events of one transform document: each curve's value lands in the field that its
// parameter path names.
class TransformDocumentReader : public XMLStreamParser::Delegate {
public:
    TransformParser::TransformValues result;

    void startElement(std::string_view name,
                      const XMLStreamParser::Attributes &attributes) override {
        if (name == "parameter") {
            if (auto parameter = attributes.find("name")) {
                parameterStack_.emplace_back(*parameter);
            }
        } else if (name == "curve") {
            auto text = attributes.find("value");
            if (!text) {
                text = attributes.find("default");
            }
            if (auto value = text ? parseFiniteDouble(*text) : std::nullopt) {
                apply(*value);
            }
        }
    }

    void characters(std::string_view) override {}

    void endElement(std::string_view name) override {
        if (name == "parameter" && !parameterStack_.empty()) {
            parameterStack_.pop_back();
        }
    }

private:
    void apply(double value) {
        std::string path;
        for (const auto &name : parameterStack_) {
            if (&name != &parameterStack_.front()) {
                path += "/";
            }
            path += name;
        }
        const auto endsWith = [&](std::string_view suffix) { return path.ends_with(suffix); };
        if (endsWith("Position/X")) {
            result.positionX = value;
        } else if (endsWith("Position/Y")) {
            result.positionY = value;
        } else if (endsWith("Position/Z")) {
            result.positionZ = value;
        } else if (endsWith("Rotation/Z") || path == "Transform/Rotation") {
            result.rotation = value;
        } else if (endsWith("Scale/Scale X") || endsWith("Scale X")) {
            result.scaleX = value;
        } else if (endsWith("Scale/Scale Y") || endsWith("Scale Y")) {
            result.scaleY = value;
        } else if (endsWith("Anchor/X")) {
            result.anchorX = value;
        } else if (endsWith("Anchor/Y")) {
            result.anchorY = value;
        }
    }

    std::vector<std::string> parameterStack_;
};

} // namespace

bool TransformParser::TransformValues::isModified() const {
    return *this != TransformValues{};
}

std::string TransformParser::TransformValues::scalePercentage() const {
    // Halving first keeps the mean of two large scales finite.
    const auto percent = roundToInt64((scaleX / 2 + scaleY / 2) * 100);
    return percent ? std::to_string(*percent) + "%" : "?%";
}

std::optional<TransformParser::TransformValues>
TransformParser::parse(std::span<const uint8_t> channelData) {
    if (!EffectDocument::passesGuard(channelData, "FFHeXForm3DEffect channelData")) {
        return std::nullopt;
    }
    return parse(
        std::string_view(reinterpret_cast<const char *>(channelData.data()), channelData.size()));
}

std::optional<TransformParser::TransformValues> TransformParser::parse(std::string_view xmlString) {
    TransformDocumentReader reader;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t *>(xmlString.data()),
                                         xmlString.size());
    if (!EffectDocument::read(bytes, "OZ transform XML", reader)) {
        return std::nullopt;
    }
    return reader.result;
}

} // namespace tandrel
