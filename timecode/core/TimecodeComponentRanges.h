#pragma once

#include "timecode/core/ClosedRange.h"

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace timecode {

// One closed range per component, in component order. Known in a timecode as
// `Timecode::ComponentRanges`.
struct TimecodeComponentRanges {
    ClosedRange<int64_t> days;
    ClosedRange<int64_t> hours;
    ClosedRange<int64_t> minutes;
    ClosedRange<int64_t> seconds;
    ClosedRange<int64_t> frames;
    ClosedRange<int64_t> subFrames;

    // Every range 0...99: random components that need not be valid at any rate.
    static constexpr TimecodeComponentRanges unsafeRandomRanges() {
        return {{0, 99}, {0, 99}, {0, 99}, {0, 99}, {0, 99}, {0, 99}};
    }

    friend bool operator==(const TimecodeComponentRanges &,
                           const TimecodeComponentRanges &) = default;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeComponentRanges> {
    std::size_t operator()(const timecode::TimecodeComponentRanges &ranges) const noexcept {
        std::size_t seed = 0;
        for (const auto *range : {&ranges.days, &ranges.hours, &ranges.minutes, &ranges.seconds,
                                  &ranges.frames, &ranges.subFrames}) {
            seed ^= std::hash<timecode::ClosedRange<int64_t>>{}(*range) + 0x9e3779b97f4a7c15ULL +
                    (seed << 6) + (seed >> 2);
        }
        return seed;
    }
};
