#pragma once

#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeStringFormat.h"
#include "timecode/core/TimecodeUpperLimit.h"

#include <optional>
#include <string>
#include <string_view>

namespace timecode {

// What the timecode text formatter decides about text, without any text widget: whether typing
// may go on, and the text shown for a value.
struct TimecodeTextRules {
    struct PartialCheck {
        enum class Verdict : uint8_t {
            // The proposed text stands.
            valid,
            // The proposed text is to be replaced by `rebuilt` ("." and ";" turned into the
            // separator due where they were typed).
            replaced,
            // The typing is refused; `errorDescription` says why when it is worth saying.
            rejected,
        };
        Verdict verdict = Verdict::valid;
        std::string rebuilt;
        std::optional<std::string> errorDescription;
        friend bool operator==(const PartialCheck &, const PartialCheck &) = default;
    };

    // The typing check. Without a rate or a limit, and for empty text, anything goes. Only
    // "0123456789:;. " may be typed ("Invalid characters." otherwise); at most three separators;
    // one space, right after the days and only under the 100-day limit; "." before the third
    // separator becomes the separator due there (";" before the frames at the drop rates), as
    // does ";"; after three separators one "." opens the sub-frames, only when they are shown.
    static PartialCheck isPartialStringValid(std::string_view proposed,
                                             std::optional<TimecodeFrameRate> frameRate,
                                             std::optional<TimecodeUpperLimit> upperLimit,
                                             TimecodeStringFormat stringFormat);

    // The text shown for typed text: reformatted at the properties, components kept as typed
    // even when out of range; the text itself when a property is missing or it does not parse.
    static std::string string(std::string_view text,
                              const std::optional<TimecodeProperties> &properties,
                              TimecodeStringFormat stringFormat);
};

} // namespace timecode
