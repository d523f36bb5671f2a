#pragma once

#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeStringFormat.h"

#include <optional>
#include <string>
#include <vector>

namespace timecode {

// The row the timecode field shows, left to right: its components with the separators between
// them. Days, when shown, are followed by a space; hours and minutes by ":"; seconds by ";" at
// the drop-frame rates and ":" at the others; sub-frames, when shown, follow a ".".
struct TimecodeFieldRow {
    // A component, or a separator's text.
    struct Item {
        std::optional<TimecodeComponent> component;
        std::string separator;
        friend bool operator==(const Item &, const Item &) = default;
    };

    static std::vector<Item> items(const TimecodeProperties &properties,
                                   TimecodeStringFormat timecodeFormat);
    // The row as text with a component's name in braces: "{hours}:{minutes}:...".
    static std::string describe(const std::vector<Item> &items);
};

} // namespace timecode
