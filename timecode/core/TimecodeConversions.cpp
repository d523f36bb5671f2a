// Conversions between components, frame counts, real time, media time and samples.
#include "timecode/core/Timecode.h"

#include "timecode/core/NumericUtilities.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace timecode {

namespace {

// The magnitude of a frame count split exactly into whole frames and sub-frames of its base.
struct Magnitude {
    bool negative = false;
    UInt128 wholeFrames = 0;
    int64_t subFrames = 0;
};

// trunc(numerator × base ÷ 10^places) for a fraction numerator below 10^places.
int64_t subFramesOfFraction(UInt128 numerator, int places, int64_t base) {
    constexpr int widest = 38;
    if (places > widest) {
        // trunc(trunc(a ÷ b) ÷ c) is trunc(a ÷ (b × c)); 10^38 is a multiple of every base.
        const UInt128 scaled =
            places - widest > widest ? 0 : numerator / powerOfTen(places - widest);
        return static_cast<int64_t>(scaled / (powerOfTen(widest) / static_cast<UInt128>(base)));
    }
    const UInt128 unit = powerOfTen(places);
    if (unit % static_cast<UInt128>(base) == 0) {
        return static_cast<int64_t>(numerator / (unit / static_cast<UInt128>(base)));
    }
    // Here the unit is at most 10^3, so the product is small.
    return static_cast<int64_t>(numerator * static_cast<UInt128>(base) / unit);
}

// The largest magnitude a 64-bit count has: 2^63 − 1, or 2^63 below zero.
UInt128 magnitudeLimit(bool negative) {
    return static_cast<UInt128>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
}

Magnitude magnitudeOf(const TimecodeFrameCount &count) {
    using Value = TimecodeFrameCount::Value;
    const int64_t base = count.subFramesBase().rawValue();
    Magnitude result;
    if (const auto *frames = count.value.get<Value::Frames>()) {
        result.negative = frames->frames < 0;
        result.wholeFrames = magnitude(frames->frames);
        return result;
    }
    if (const auto *split = count.value.get<Value::Split>()) {
        const Int128 total = static_cast<Int128>(split->frames) * base + split->subFrames;
        result.negative = total < 0;
        result.wholeFrames = std::min(magnitude(total) / static_cast<UInt128>(base),
                                      magnitudeLimit(result.negative));
        result.subFrames = static_cast<int64_t>(magnitude(total) % static_cast<UInt128>(base));
        return result;
    }
    // The floating forms go through their exact decimal value.
    const Decimal exact = count.decimalValue();
    if (exact.isNaN() || exact.isZero()) {
        return result;
    }
    result.negative = exact.isNegative();
    const int exponent = exact.exponent();
    const int places = exponent < 0 ? -exponent : 0;
    if (places <= Decimal::maxDigits) {
        const UInt128 unit = powerOfTen(places);
        // Whole frames saturate as wholeFrames() does; 10^39 and beyond certainly do.
        result.wholeFrames =
            numberOfDigits(exact.significand()) + exponent > Decimal::maxDigits
                ? magnitudeLimit(result.negative)
                : exact.significand() * powerOfTen(exponent > 0 ? exponent : 0) / unit;
        result.subFrames = subFramesOfFraction(exact.significand() % unit, places, base);
    } else {
        result.subFrames = subFramesOfFraction(exact.significand(), places, base);
    }
    result.wholeFrames = std::min(result.wholeFrames, magnitudeLimit(result.negative));
    return result;
}

// Frames → components for a non-negative count.
Timecode::Components splitFrames(uint64_t x, int64_t subFrames, TimecodeFrameRate rate) {
    using U = uint64_t;
    const U fps = static_cast<U>(rate.maxFrames());
    if (rate.isDrop()) {
        // Put the dropped frame numbers back: 9 × D per whole ten minutes, D per further
        // minute after the first, whose frames are all numbered.
        const U dropped = static_cast<U>(rate.framesDroppedPerMinute());
        const U perTenMinutes = fps * 600 - 9 * dropped;
        const U perMinute = (perTenMinutes - dropped) / 10;
        const U tens = x / perTenMinutes;
        const U rest = x % perTenMinutes;
        x += 9 * dropped * tens + dropped * (rest > dropped ? (rest - dropped) / perMinute : 0);
    }
    Timecode::Components components;
    components.days = static_cast<int64_t>(x / (fps * 86400));
    components.hours = static_cast<int64_t>(x / (fps * 3600) % 24);
    components.minutes = static_cast<int64_t>(x / (fps * 60) % 60);
    components.seconds = static_cast<int64_t>(x / fps % 60);
    components.frames = static_cast<int64_t>(x % fps);
    components.subFrames = subFrames;
    return components;
}

Timecode::Components negated(Timecode::Components c) {
    for (TimecodeComponent component : TimecodeComponent::allCases()) {
        c.value(component) = saturatingInt64(-static_cast<Int128>(c.value(component)));
    }
    return c;
}

} // namespace

Int128 Timecode::frameTotal(const Components &c, TimecodeFrameRate rate) {
    // Exact in 128 bits: six 64-bit components cannot overflow it.
    const Int128 fps = rate.maxFrames();
    if (!rate.isDrop()) {
        const Int128 seconds = static_cast<Int128>(c.days) * 86400 +
                               static_cast<Int128>(c.hours) * 3600 +
                               static_cast<Int128>(c.minutes) * 60 + c.seconds;
        return seconds * fps + c.frames;
    }
    // Minutes are divided by ten truncating toward zero, so that negated components count back
    // exactly the negated total.
    const auto dropped = static_cast<Int128>(rate.framesDroppedPerMinute());
    const Int128 minutes =
        static_cast<Int128>(c.days) * 1440 + static_cast<Int128>(c.hours) * 60 + c.minutes;
    return (minutes * 60 + c.seconds) * fps + c.frames - dropped * (minutes - minutes / 10);
}

Timecode::FrameCount Timecode::frameCount(const Components &c, TimecodeFrameRate rate,
                                          SubFramesBase base) {
    const Int128 total = frameTotal(c, rate);
    if (total != static_cast<Int128>(saturatingInt64(total))) {
        return FrameCount(FrameCount::Value::frames(0), base);
    }
    return FrameCount(
        FrameCount::Value::splitUnitInterval(static_cast<int64_t>(total),
                                             static_cast<double>(c.subFrames) / base.rawValue()),
        base);
}

Timecode::FrameCount Timecode::frameCount() const {
    return frameCount(components_, frameRate(), subFramesBase());
}

Timecode::Components Timecode::components(const FrameCount &frameCount, TimecodeFrameRate rate) {
    const Magnitude count = magnitudeOf(frameCount);
    // At most 2^63 frames, plus the dropped numbers put back: room to spare in 64 bits.
    const Components components =
        splitFrames(static_cast<uint64_t>(count.wholeFrames), count.subFrames, rate);
    return count.negative ? negated(components) : components;
}

Timecode::Components Timecode::components(const FrameCount::Value &exactly) const {
    const FrameCount count(exactly, subFramesBase());
    const int64_t subFrameCount = count.subFrameCount();
    // A count that is not a number has no frames to give: its sub-frame count reads as 0, which
    // would pass for the first frame.
    if (std::isnan(count.doubleValue()) || subFrameCount < 0 ||
        subFrameCount > maxSubFrameCountExpressible()) {
        throw ValidationError(ValidationError::outOfBounds);
    }
    return components(count, frameRate());
}

double Timecode::realTimeValue() const {
    // sub-frame count × frame duration ÷ base, divided once at the end. The count is taken
    // exactly: a total beyond 64 bits (pasted text keeps any hours) is far from zero seconds, and
    // reading it as zero would make such a value equal midnight and convert to it.
    const Fraction rate = frameRate().rate();
    const Int128 numerator = subFrameTotal(components_) * rate.denominator();
    const Int128 denominator = static_cast<Int128>(subFramesBase().rawValue()) * rate.numerator();
    return static_cast<double>(numerator) / static_cast<double>(denominator);
}

double Timecode::elapsedFrames(double realTime) const {
    const double frames = realTime * frameRate().frameRateForRealTimeCalculation();
    constexpr double nudge = 0.00001;
    return frames > 0 ? frames + nudge : (frames < 0 ? frames - nudge : frames);
}

// The position in seconds, exactly, in lowest terms: sub-frame count × frame duration ÷ base.
static std::pair<Int128, Int128> exactPosition(const Timecode &timecode, Int128 subFrameCount) {
    const Fraction duration = timecode.frameRate().frameDuration();
    const Int128 value = static_cast<Int128>(duration.numerator()) * subFrameCount;
    const Int128 timescale =
        static_cast<Int128>(duration.denominator()) * timecode.subFramesBase().rawValue();
    const auto divisor =
        static_cast<Int128>(greatestCommonDivisor(magnitude(value), magnitude(timescale)));
    return {value / divisor, timescale / divisor};
}

MediaTime Timecode::cmTimeValue() const {
    const auto [value, timescale] = exactPosition(*this, subFrameTotal(components_));
    if (value != static_cast<Int128>(saturatingInt64(value)) ||
        timescale > std::numeric_limits<int32_t>::max()) {
        return MediaTime::invalidTime();
    }
    return MediaTime(static_cast<int64_t>(value), static_cast<int32_t>(timescale));
}

Fraction Timecode::rationalValue() const {
    const auto [value, timescale] = exactPosition(*this, subFrameTotal(components_));
    return Fraction::reducing(saturatingInt64(value), saturatingInt64(timescale));
}

double Timecode::samplesDoubleValue(int64_t sampleRate) const {
    return realTimeValue() * static_cast<double>(sampleRate);
}

int64_t Timecode::samplesValue(int64_t sampleRate) const {
    return roundToInt64(samplesDoubleValue(sampleRate)).value_or(0);
}

Timecode Timecode::converted(TimecodeFrameRate rate, std::optional<SubFramesBase> base,
                             bool preservingValues) const {
    const Properties target(rate, base.value_or(subFramesBase()), upperLimit());
    if (target == properties_) {
        return *this;
    }
    // The same components, when they are valid at the new properties.
    if (preservingValues) {
        try {
            return Timecode(TimecodeSourceValue::components(components_), target);
        } catch (const ValidationError &) {
        }
    }
    // Otherwise the same real time, set strictly.
    return Timecode(TimecodeSourceValue::realTime(realTimeValue()), target);
}

FeetAndFrames Timecode::feetAndFramesValue() const {
    const FrameCount count = frameCount();
    const int64_t whole = count.wholeFrames();
    return FeetAndFrames(whole / FeetAndFrames::framesPerFoot, whole % FeetAndFrames::framesPerFoot,
                         count.subFrames(), subFramesBase());
}

} // namespace timecode
