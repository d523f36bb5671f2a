#pragma once

#include "platform/proext/ProExtension.h"
#include "timecode/core/MediaTime.h"

#include <string>

namespace tandrel {

// The playhead as the editor panel shows it, "HH:MM:SS:FF". The rate is the sequence's (1 ÷ its
// frame duration), 30 per second without a sequence or with a frame duration that is no
// positive time. Frames are counted down, never rounded up; hours do not wrap at 24.
//
// A non-drop label is the wall-clock hours, minutes and seconds of the playhead and the frame
// within that second. A drop-frame sequence (";" before the frames) at a rate that has a
// drop-frame count (29.97, 59.94, 119.88; 30, 60, 120) is labelled by that count instead, as
// the editor labels it: wall-clock time would give labels drop-frame timecode never has
// ("00:01:00;01" for frame 1800 at 29.97, which the editor calls "00:01:00;02"). At other rates
// the label keeps the wall-clock fields with ";".
//
// Worked out exactly from the time's value and timescale and the frame duration, so that a
// playhead on a frame reads as that frame: 90003/25 s is 01:00:00:03, where the floating-point
// fraction 0.12 × 25 would give frame 2.
struct PlayheadTimecode {
    // "00:00:00:00" for a time that is no number (invalid, indefinite or infinite).
    static std::string format(timecode::MediaTime time, const platform::FCPXSequence *sequence);
};

} // namespace tandrel
