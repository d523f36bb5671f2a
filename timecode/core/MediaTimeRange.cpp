#include "timecode/core/MediaTimeRange.h"

namespace timecode {

bool MediaTimeRange::isValid() const {
    if (!start.isValid() || !duration.isValid() || duration.isNegativeInfinity()) {
        return false;
    }
    return !duration.isNumeric() || duration.value >= 0;
}

MediaTime MediaTimeRange::end() const {
    if (!start.isValid() || !duration.isValid()) {
        return MediaTime::invalidTime();
    }
    for (const MediaTime &time : {start, duration}) {
        if (time.isIndefinite()) {
            return MediaTime::indefiniteTime();
        }
    }
    if (start.isPositiveInfinity() || duration.isPositiveInfinity()) {
        return MediaTime::positiveInfinityTime();
    }
    if (start.isNegativeInfinity() || duration.isNegativeInfinity()) {
        return MediaTime::negativeInfinityTime();
    }
    return (Fraction(start) + Fraction(duration)).cmTimeValue();
}

ClosedRange<Timecode> MediaTimeRange::timecodeRange(const Timecode::Properties &properties) const {
    if (!isValid()) {
        throw Timecode::ValidationError(Timecode::ValidationError::invalid);
    }
    const MediaTime last = end();
    if (start > last) {
        throw Timecode::ValidationError(Timecode::ValidationError::outOfBounds);
    }
    // Two numeric times end at their exact sum in seconds, which may need a timescale beyond the
    // 32 bits of a media time (timescales 600 and 10^9 meet at 3 × 10^9) and so has no end().
    const TimecodeSourceValue endSource =
        start.isNumeric() && duration.isNumeric()
            ? TimecodeSourceValue::rational(Fraction(start) + Fraction(duration))
            : TimecodeSourceValue::cmTime(last);
    return {Timecode(TimecodeSourceValue::cmTime(start), properties),
            Timecode(endSource, properties)};
}

} // namespace timecode
