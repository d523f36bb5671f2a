#pragma once

#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/Timecode.h"

#include <cstdint>
#include <functional>
#include <string>

namespace timecode {

// The sign of a length: plus or minus (a zero length may carry either).
enum class FloatingPointSign : uint8_t { plus, minus };

// A signed span of time: an absolute length held as a timecode, whose properties are the
// interval's, and a sign.
class TimecodeInterval {
public:
    TimecodeInterval(Timecode absoluteInterval, FloatingPointSign sign)
        : absoluteInterval(std::move(absoluteInterval)), sign(sign) {}
    static TimecodeInterval positive(Timecode absoluteInterval) {
        return TimecodeInterval(std::move(absoluteInterval), FloatingPointSign::plus);
    }
    static TimecodeInterval negative(Timecode absoluteInterval) {
        return TimecodeInterval(std::move(absoluteInterval), FloatingPointSign::minus);
    }

    // From seconds: the length set strictly from the magnitude (its error is thrown: outOfBounds
    // beyond the upper limit), minus when exactly one of the fraction's terms is negative (so
    // 0/−1 is a minus zero), or when the seconds are below zero.
    TimecodeInterval(const Fraction &seconds, const Timecode::Properties &properties);
    TimecodeInterval(const Fraction &seconds, TimecodeFrameRate rate, Timecode::SubFramesBase base,
                     Timecode::UpperLimit limit);
    // Indefinite and infinite times are 0 seconds.
    TimecodeInterval(const MediaTime &time, const Timecode::Properties &properties);
    TimecodeInterval(const MediaTime &time, TimecodeFrameRate rate, Timecode::SubFramesBase base,
                     Timecode::UpperLimit limit);
    static TimecodeInterval fromRealTime(double seconds, const Timecode::Properties &properties);
    static TimecodeInterval fromRealTime(double seconds, TimecodeFrameRate rate,
                                         Timecode::SubFramesBase base, Timecode::UpperLimit limit);

    Timecode absoluteInterval;
    FloatingPointSign sign;

    bool isNegative() const { return sign == FloatingPointSign::minus; }
    double realTimeValue() const;
    // Exact seconds, reduced: frame duration × sub-frame count ÷ base, negated when minus.
    Fraction rationalValue() const;
    // Invalid when the denominator does not fit a media timescale.
    MediaTime cmTimeValue() const;

    // The timecode moved by this interval (converted to its rate first), wrapping around its
    // upper limit; unchanged when the conversion fails. The timecode's properties stay.
    Timecode timecode(const Timecode &offsetting) const;
    // A plus interval brought into range by wrapping; a minus one as that far before midnight.
    Timecode flattened() const;

    // "-00:00:10:00.00".
    std::string description() const;
    // "TimecodeInterval(-00:00:10:00.00)".
    std::string debugDescription() const;
    // "TimecodeInterval -00:00:10:00.00 @ 24 fps".
    std::string verboseDescription() const;

    // Identity is the value itself.
    TimecodeInterval id() const { return *this; }

    // The same sign and equal absolute timecodes.
    friend bool operator==(const TimecodeInterval &, const TimecodeInterval &) = default;
};

// The interval of a time value at given properties, offered beside the values themselves: the
// same as the initialisers above, thrown errors included.
inline TimecodeInterval timecodeInterval(const MediaTime &time,
                                         const Timecode::Properties &properties) {
    return TimecodeInterval(time, properties);
}
inline TimecodeInterval timecodeInterval(const MediaTime &time, TimecodeFrameRate rate,
                                         Timecode::SubFramesBase base, Timecode::UpperLimit limit) {
    return TimecodeInterval(time, rate, base, limit);
}
inline TimecodeInterval timecodeInterval(const Fraction &seconds,
                                         const Timecode::Properties &properties) {
    return TimecodeInterval(seconds, properties);
}
inline TimecodeInterval timecodeInterval(const Fraction &seconds, TimecodeFrameRate rate,
                                         Timecode::SubFramesBase base, Timecode::UpperLimit limit) {
    return TimecodeInterval(seconds, rate, base, limit);
}
// Seconds of real time.
inline TimecodeInterval timecodeInterval(double seconds, const Timecode::Properties &properties) {
    return TimecodeInterval::fromRealTime(seconds, properties);
}
inline TimecodeInterval timecodeInterval(double seconds, TimecodeFrameRate rate,
                                         Timecode::SubFramesBase base, Timecode::UpperLimit limit) {
    return TimecodeInterval::fromRealTime(seconds, rate, base, limit);
}

} // namespace timecode

template <> struct std::hash<timecode::TimecodeInterval> {
    std::size_t operator()(const timecode::TimecodeInterval &interval) const noexcept {
        const std::size_t seed = interval.absoluteInterval.hashValue();
        return seed ^ (std::hash<int>{}(static_cast<int>(interval.sign)) + 0x9e3779b97f4a7c15ULL +
                       (seed << 6) + (seed >> 2));
    }
};
