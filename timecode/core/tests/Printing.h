#pragma once

// Readable values in test failure messages.

#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeComponents.h"
#include "timecode/core/TimecodeFrameCount.h"
#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/VideoFrameRate.h"

#include <ostream>

namespace timecode {

inline void PrintTo(TimecodeFrameRate rate, std::ostream *out) {
    *out << rate.rawValue();
}
inline void PrintTo(VideoFrameRate rate, std::ostream *out) {
    *out << rate.rawValue();
}
inline void PrintTo(const Fraction &fraction, std::ostream *out) {
    *out << fraction.stringValue();
}
inline void PrintTo(const MediaTime &time, std::ostream *out) {
    *out << time.value << "/" << time.timescale << " (flags " << time.flags << ")";
}
inline void PrintTo(const TimecodeFrameCount::Value &value, std::ostream *out) {
    *out << value.debugDescription();
}
inline void PrintTo(const TimecodeComponents &c, std::ostream *out) {
    *out << c.days << " " << c.hours << ":" << c.minutes << ":" << c.seconds << ":" << c.frames
         << "." << c.subFrames;
}
inline void PrintTo(TimecodeComponent component, std::ostream *out) {
    *out << component.nameLowerCamelCase();
}

inline void PrintTo(const Timecode &timecode, std::ostream *out) {
    *out << timecode.debugDescription();
}

} // namespace timecode
