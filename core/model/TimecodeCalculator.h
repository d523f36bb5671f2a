#pragma once

#include "core/model/FrameRate.h"
#include "core/support/Numeric.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// SMPTE timecode arithmetic of the host and the reader of the rational time texts
// ("1001/24000", "{0/1,2400/2400}") that the editor keeps in its libraries. Pure and
// thread-safe. Reading operations answer nothing for unreadable input, including values
// whose arithmetic would not fit 64 bits.
struct TimecodeCalculator {
    struct TimeRange {
        double start;
        double duration;
    };

    static std::string framesToTimecode(int64_t frames, FrameRate rate);
    static std::optional<int64_t> timecodeToFrames(std::string_view timecode, FrameRate rate);
    static std::string sourceTimecodeAtPosition(int64_t timelineFrame, int64_t clipTimelineIn,
                                                int64_t clipSourceIn, int64_t sourceStartTC,
                                                FrameRate rate);
    static std::optional<std::string> addTimecodes(std::string_view a, std::string_view b,
                                                   FrameRate rate);
    static std::optional<std::string> subtractTimecodes(std::string_view a, std::string_view b,
                                                        FrameRate rate);
    static std::optional<int64_t> cmTimeStringToFrames(std::string_view text, FrameRate rate);
    static std::optional<double> parseCMTimeString(std::string_view text);
    static std::optional<TimeRange> parseCMTimeRangeString(std::string_view text);

    // The count of timecode labels that `totalFrames` frames pass at a drop-frame rate of
    // nominal `fps` (30 or 60).
    static Int128 adjustForDropFrameDisplay(int64_t totalFrames, int fps);
};

} // namespace tandrel
