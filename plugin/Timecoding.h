#pragma once

#include "timecode/core/TimecodeFrameRate.h"

#include <cstdint>
#include <optional>

namespace tandrel {

// The timecode library as the plug-in uses it.
struct Timecoding {
    // The timecode rate of a timeline rate num/den: 23.976, 24, 25, 29.97, 30, 47.952, 48, 50,
    // 59.94 and 60 frames per second after rounding to three decimals (a denominator of 0
    // counts as 24 fps), the drop-frame variant at 29.97, 30, 59.94 and 60 when `drop` is set.
    // Nothing for every other rate.
    static std::optional<timecode::TimecodeFrameRate> rate(int64_t num, int64_t den, bool drop);
};

} // namespace tandrel
