#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tandrel {

// Reads a transform effect's parameter document into position, scale, rotation and anchor,
// stored as the document carries them (scale as a factor, 1 = 100 %). Finding the effect
// below a clip is the timeline resolver's business.
struct TransformParser {
    struct TransformValues {
        double positionX = 0;
        double positionY = 0;
        double positionZ = 0;
        double scaleX = 1;
        double scaleY = 1;
        double rotation = 0;
        double anchorX = 0;
        double anchorY = 0;

        // Any field differs from the identity values above.
        bool isModified() const;
        // The mean scale in whole percent, halves away from zero ("75%"); "?%" when it does not
        // fit an integer.
        std::string scalePercentage() const;

        friend bool operator==(const TransformValues &, const TransformValues &) = default;
    };

    // Nothing when the entity guard or the parser refuses the document, or it is not UTF-8.
    static std::optional<TransformValues> parse(std::span<const uint8_t> channelData);
    static std::optional<TransformValues> parse(std::string_view xmlString);
};

} // namespace tandrel
