#include "timecode/core/TimecodeInterval.h"

#include <cmath>

namespace timecode {

TimecodeInterval::TimecodeInterval(const Fraction &seconds, const Timecode::Properties &properties)
    : TimecodeInterval(Timecode(TimecodeSourceValue::rational(seconds.abs()), properties),
                       seconds.isNegative() ? FloatingPointSign::minus : FloatingPointSign::plus) {}

TimecodeInterval::TimecodeInterval(const Fraction &seconds, TimecodeFrameRate rate,
                                   Timecode::SubFramesBase base, Timecode::UpperLimit limit)
    : TimecodeInterval(seconds, Timecode::Properties(rate, base, limit)) {}

TimecodeInterval::TimecodeInterval(const MediaTime &time, const Timecode::Properties &properties)
    : TimecodeInterval(Fraction(time), properties) {}

TimecodeInterval::TimecodeInterval(const MediaTime &time, TimecodeFrameRate rate,
                                   Timecode::SubFramesBase base, Timecode::UpperLimit limit)
    : TimecodeInterval(Fraction(time), Timecode::Properties(rate, base, limit)) {}

TimecodeInterval TimecodeInterval::fromRealTime(double seconds,
                                                const Timecode::Properties &properties) {
    return TimecodeInterval(Timecode(TimecodeSourceValue::realTime(std::fabs(seconds)), properties),
                            seconds < 0 ? FloatingPointSign::minus : FloatingPointSign::plus);
}

TimecodeInterval TimecodeInterval::fromRealTime(double seconds, TimecodeFrameRate rate,
                                                Timecode::SubFramesBase base,
                                                Timecode::UpperLimit limit) {
    return fromRealTime(seconds, Timecode::Properties(rate, base, limit));
}

double TimecodeInterval::realTimeValue() const {
    const double magnitude = absoluteInterval.realTimeValue();
    return isNegative() ? -magnitude : magnitude;
}

Fraction TimecodeInterval::rationalValue() const {
    const Fraction magnitude = absoluteInterval.rationalValue();
    // Negated with saturation: a decoded length may hold the smallest 64-bit numerator.
    return isNegative() ? magnitude.negated().reduced() : magnitude;
}

MediaTime TimecodeInterval::cmTimeValue() const {
    return rationalValue().cmTimeValue();
}

Timecode TimecodeInterval::timecode(const Timecode &offsetting) const {
    const auto rule = Timecode::ValidationRule::wrapping;
    try {
        return isNegative() ? offsetting.subtracting(absoluteInterval, rule)
                            : offsetting.adding(absoluteInterval, rule);
    } catch (const Timecode::ValidationError &) {
        return offsetting;
    }
}

Timecode TimecodeInterval::flattened() const {
    const auto rule = Timecode::ValidationRule::wrapping;
    if (isNegative()) {
        return Timecode(absoluteInterval.properties())
            .subtracting(absoluteInterval.components(), rule);
    }
    return absoluteInterval.adding(Timecode::Components::zero(), rule);
}

std::string TimecodeInterval::description() const {
    // Appending keeps GCC 12 from a false -Wrestrict alarm on "-" + string.
    std::string text = isNegative() ? "-" : "";
    text += absoluteInterval.description();
    return text;
}

std::string TimecodeInterval::debugDescription() const {
    return "TimecodeInterval(" + description() + ")";
}

std::string TimecodeInterval::verboseDescription() const {
    return "TimecodeInterval " + description() + " @ " +
           std::string(absoluteInterval.frameRate().stringValueVerbose());
}

} // namespace timecode
