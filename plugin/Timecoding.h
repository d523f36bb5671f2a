#pragma once

#include "core/snapshot/RationalTime.h"
#include "timecode/core/TimecodeFrameRate.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The timecode library as the plug-in uses it: every value at 100 sub-frames within 24 hours,
// and where a value could leave that range it is clamped into it rather than refused.
struct Timecoding {
    // The timecode rate of a timeline rate num/den: 23.976, 24, 25, 29.97, 30, 47.952, 48, 50,
    // 59.94 and 60 frames per second after rounding to three decimals (a denominator of 0
    // counts as 24 fps), the drop-frame variant at 29.97, 30, 59.94 and 60 when `drop` is set.
    // Nothing for every other rate.
    static std::optional<timecode::TimecodeFrameRate> rate(int64_t num, int64_t den, bool drop);

    // Whole frames of value ÷ timescale seconds at `rate`, truncated, the time first clamped
    // into 0…24 hours; a timescale that is not positive gives 0.
    static int64_t wholeFrames(int64_t value, int32_t timescale, timecode::TimecodeFrameRate rate);
    static int64_t wholeFrames(const RationalTime &time, timecode::TimecodeFrameRate rate) {
        return wholeFrames(time.value, time.timescale, rate);
    }

    // The timecode text of frame `frames` at `rate` ("01:00:00:00", "01:00:00;02" at the drop
    // rates): negative frames count as 0 and frames beyond 24 hours as its last frame.
    static std::string text(int64_t frames, timecode::TimecodeFrameRate rate);

    // The frame of a timecode text at `rate`; nothing for text that does not parse or whose
    // components are out of range for the rate (a dropped frame number included).
    static std::optional<int64_t> frames(std::string_view timecode,
                                         timecode::TimecodeFrameRate rate);
};

} // namespace tandrel
