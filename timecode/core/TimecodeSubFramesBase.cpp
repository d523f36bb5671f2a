#include "timecode/core/TimecodeSubFramesBase.h"

#include "timecode/core/NumericUtilities.h"

namespace timecode {

std::string_view TimecodeSubFramesBase::description() const {
    constexpr std::string_view texts[] = {"80", "100", "4"};
    return texts[value_];
}

std::string_view TimecodeSubFramesBase::stringValueVerbose() const {
    constexpr std::string_view texts[] = {"80", "100", "4 (Quarter-Frames)"};
    return texts[value_];
}

int64_t TimecodeSubFramesBase::convert(int64_t subFrames, TimecodeSubFramesBase to) const {
    if (to.value_ == value_ || subFrames == 0) {
        return subFrames;
    }
    // Integer division truncates toward zero, as the floating-point form would, but without
    // its rounding error (92 ÷ 80 × 100 lands a hair below 115 in binary).
    return saturatingInt64(static_cast<Int128>(subFrames) * to.rawValue() / rawValue());
}

} // namespace timecode
