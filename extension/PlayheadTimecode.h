#pragma once

#include "platform/proext/ProExtension.h"
#include "timecode/core/MediaTime.h"

#include <string>

namespace tandrel {

// The playhead as the editor panel shows it: the wall-clock hours, minutes and seconds of the
// playhead and the frame within that second, "HH:MM:SS:FF" (";" before the frames of a
// drop-frame sequence). Frames are counted down, never rounded up, and not renumbered for drop
// frame; hours do not wrap at 24. The rate is the sequence's (1 ÷ its frame duration), 30 per
// second without a sequence or with a frame duration that is no positive time.
//
// Worked out exactly from the time's value and timescale and the frame duration, so that a
// playhead on a frame reads as that frame: 90003/25 s is 01:00:00:03, where the floating-point
// fraction 0.12 × 25 would give frame 2.
struct PlayheadTimecode {
    // "00:00:00:00" for a time that is no number (invalid, indefinite or infinite).
    static std::string format(timecode::MediaTime time, const platform::FCPXSequence *sequence);
};

} // namespace tandrel
