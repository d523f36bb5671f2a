// The library's own timecode sources.
#include "timecode/core/TimecodeSourceValue.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/RandomSource.h"
#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeInterval.h"

#include <cmath>
#include <limits>
#include <utility>

namespace timecode {

namespace {

using Components = Timecode::Components;
using Count = Timecode::FrameCount;
using Rule = Timecode::ValidationRule;
using ValidationError = Timecode::ValidationError;

void requireValid(const Components &components, const Timecode::Properties &properties) {
    if (!components.invalidComponents(properties).empty()) {
        throw ValidationError(ValidationError::outOfBounds);
    }
}

// What a rule makes of what a source yields. Sources of whole components clamp each component
// under `clampingComponents`; count sources clamp the total under both clamping rules.
enum class Yield : uint8_t { components, count };

void setBy(Timecode &timecode, const Components &components, Rule rule, Yield yield) {
    if (rule == Rule::allowingInvalid) {
        timecode.setComponents(components);
    } else if (rule == Rule::clampingComponents && yield == Yield::components) {
        timecode.setComponents(components);
        timecode.clampComponents();
    } else {
        // The sum with zero, clamped or wrapped into the upper limit.
        timecode.setComponents(
            Timecode(timecode.properties()).adding(components, rule).components());
    }
}

// A whole-frame or split count in the timecode's base, under a rule. Within the upper limit
// every rule keeps the count, so its components are the answer without bounding them again.
void setCount(Timecode &timecode, const Count::Value &value, Rule rule) {
    const Count count(value, timecode.subFramesBase());
    const Components components = Timecode::components(count, timecode.frameRate());
    const bool exact =
        value.form() == Count::Value::Form::frames || value.form() == Count::Value::Form::split;
    const int64_t subFrames = count.subFrameCount();
    if (exact && subFrames >= 0 && subFrames <= timecode.maxSubFrameCountExpressible()) {
        timecode.setComponents(components);
    } else {
        setBy(timecode, components, rule, Yield::count);
    }
}

// A source whose strict and rule forms are two functions of the timecode.
template <typename Interface, typename Strict, typename ByRule>
class FunctionSource final : public Interface {
public:
    FunctionSource(Strict strict, ByRule byRule)
        : strict_(std::move(strict)), byRule_(std::move(byRule)) {}
    void set(Timecode &timecode) const override { strict_(timecode); }
    void set(Timecode &timecode, Rule rule) const override { byRule_(timecode, rule); }

private:
    Strict strict_;
    ByRule byRule_;
};

template <typename Interface, typename Strict, typename ByRule>
std::shared_ptr<const Interface> makeSource(Strict strict, ByRule byRule) {
    return std::make_shared<const FunctionSource<Interface, Strict, ByRule>>(std::move(strict),
                                                                             std::move(byRule));
}

// Components that need no frame of reference: strict or by rule, as components.
template <typename Interface, typename Make>
std::shared_ptr<const Interface> componentsSource(Make make) {
    return makeSource<Interface>(
        [make](Timecode &timecode) {
            const Components components = make();
            requireValid(components, timecode.properties());
            timecode.setComponents(components);
        },
        [make](Timecode &timecode, Rule rule) {
            setBy(timecode, make(), rule, Yield::components);
        });
}

// A count's components at the timecode's rate, its sub-frames re-expressed from the count's
// base into the timecode's.
Components componentsInOwnBase(const Timecode &timecode, const Count &count) {
    Components components = Timecode::components(count, timecode.frameRate());
    components.subFrames =
        count.subFramesBase().convert(components.subFrames, timecode.subFramesBase());
    return components;
}

// A media time or rational seconds: value × frame-duration denominator over timescale × its
// numerator, in 128 bits.
struct Ratio {
    Int128 numerator;
    Int128 denominator;
};

Ratio framesOf(const Timecode &timecode, Int128 value, Int128 timescale) {
    const Fraction duration = timecode.frameRate().frameDuration();
    return {value * duration.denominator(), timescale * duration.numerator()};
}

// Strict: the exact count, a fraction of a frame kept as sub-frames in the timecode's base.
void setExactly(Timecode &timecode, const Ratio &ratio) {
    if (ratio.denominator == 0) {
        throw ValidationError(ValidationError::invalid);
    }
    const Int128 base = timecode.subFramesBase().rawValue();
    const Int128 whole = ratio.numerator / ratio.denominator;
    const Int128 subFrames = ratio.numerator % ratio.denominator * base / ratio.denominator;
    timecode.setComponents(timecode.components(
        Count::Value::split(saturatingInt64(whole), static_cast<int64_t>(subFrames))));
}

// By rule: whole frames, truncated toward zero; a time without a timescale counts from its
// sign (an infinity saturates, the rest is 0).
void setByRule(Timecode &timecode, const Ratio &ratio, Rule rule) {
    int64_t frames = 0;
    if (ratio.denominator != 0) {
        frames = saturatingInt64(ratio.numerator / ratio.denominator);
    } else if (ratio.numerator != 0) {
        frames = ratio.numerator < 0 ? std::numeric_limits<int64_t>::min()
                                     : std::numeric_limits<int64_t>::max();
    }
    setCount(timecode, Count::Value::frames(frames), rule);
}

// A media time's value over its timescale; an infinity as ±1 over 0, anything else that is not
// numeric as 0 over 0.
std::pair<Int128, Int128> mediaTimeRatio(const MediaTime &time) {
    if (time.isNumeric()) {
        return {time.value, time.timescale};
    }
    if (time.isPositiveInfinity()) {
        return {1, 0};
    }
    return {time.isNegativeInfinity() ? -1 : 0, 0};
}

TimecodeSourceValue timeSource(Int128 value, Int128 timescale) {
    return {makeSource<TimecodeSource>(
        [value, timescale](Timecode &timecode) {
            setExactly(timecode, framesOf(timecode, value, timescale));
        },
        [value, timescale](Timecode &timecode, Rule rule) {
            setByRule(timecode, framesOf(timecode, value, timescale), rule);
        })};
}

// Frames of real time as a combined count. Not-a-number counts as 0 and the infinities as the
// largest counts, so that the rules can still clamp or wrap them.
Components componentsOfRealFrames(const Timecode &timecode, double frames) {
    if (std::isnan(frames)) {
        frames = 0;
    } else if (std::isinf(frames)) {
        frames = std::copysign(std::numeric_limits<double>::max(), frames);
    }
    return Timecode::components(Count(Count::Value::combined(frames), timecode.subFramesBase()),
                                timecode.frameRate());
}

// Real time in seconds, or frames computed from it: strict forms refuse a time that is not
// finite instead of reading it as zero.
template <typename Frames> TimecodeSourceValue realFramesSource(double seconds, Frames frames) {
    return {makeSource<TimecodeSource>(
        [seconds, frames](Timecode &timecode) {
            if (!std::isfinite(seconds)) {
                throw ValidationError(ValidationError::outOfBounds);
            }
            const Components components = componentsOfRealFrames(timecode, frames(timecode));
            requireValid(components, timecode.properties());
            timecode.setComponents(components);
        },
        [frames](Timecode &timecode, Rule rule) {
            setBy(timecode, componentsOfRealFrames(timecode, frames(timecode)), rule, Yield::count);
        })};
}

Timecode::Properties randomProperties() {
    const auto draw = [](const auto &cases) {
        return cases[static_cast<size_t>(randomInteger(0, static_cast<int64_t>(cases.size()) - 1))];
    };
    const Timecode::UpperLimit limit = draw(Timecode::UpperLimit::allCases());
    const Timecode::SubFramesBase base = draw(Timecode::SubFramesBase::allCases());
    const TimecodeFrameRate rate = draw(TimecodeFrameRate::allCases());
    return Timecode::Properties(rate, base, limit);
}

class ZeroSource final : public GuaranteedTimecodeSource {
public:
    void set(Timecode &timecode) const override { timecode.setComponents(Components::zero()); }
};

class SafeRandomComponents final : public GuaranteedTimecodeSource {
public:
    void set(Timecode &timecode) const override {
        timecode.setComponents(Components::random(timecode.properties()));
    }
};

class UnsafeRandomComponentsAndProperties final : public RichTimecodeSource {
public:
    explicit UnsafeRandomComponentsAndProperties(const TimecodeComponentRanges &ranges)
        : ranges_(ranges) {}

    Timecode::Properties set(Timecode &timecode) const override {
        const Timecode::Properties properties = randomProperties();
        const Components components = Components::random(ranges_);
        requireValid(components, properties);
        timecode = Timecode(properties);
        timecode.setComponents(components);
        return properties;
    }

    Timecode::Properties set(Timecode &timecode, Rule rule) const override {
        const Timecode::Properties properties = randomProperties();
        timecode = Timecode(properties);
        setBy(timecode, Components::random(ranges_), rule, Yield::components);
        return properties;
    }

private:
    TimecodeComponentRanges ranges_;
};

class SafeRandomComponentsAndProperties final : public GuaranteedRichTimecodeSource {
public:
    Timecode::Properties set(Timecode &timecode) const override {
        const Timecode::Properties properties = randomProperties();
        timecode = Timecode(properties);
        timecode.setComponents(Components::random(properties));
        return properties;
    }
};

class FlattenedInterval final : public GuaranteedRichTimecodeSource {
public:
    explicit FlattenedInterval(const TimecodeInterval &interval) : interval_(interval) {}

    Timecode::Properties set(Timecode &timecode) const override {
        timecode = interval_.flattened();
        return timecode.properties();
    }

private:
    TimecodeInterval interval_;
};

} // namespace

TimecodeSourceValue TimecodeSourceValue::components(const TimecodeComponents &components) {
    return {componentsSource<TimecodeSource>([components] { return components; })};
}

TimecodeSourceValue TimecodeSourceValue::components(int64_t d, int64_t h, int64_t m, int64_t s,
                                                    int64_t f, int64_t sf) {
    return components(TimecodeComponents{d, h, m, s, f, sf});
}

TimecodeSourceValue TimecodeSourceValue::frames(const TimecodeFrameCount::Value &count) {
    return {makeSource<TimecodeSource>(
        [count](Timecode &timecode) { timecode.setComponents(timecode.components(count)); },
        [count](Timecode &timecode, Rule rule) { setCount(timecode, count, rule); })};
}

TimecodeSourceValue TimecodeSourceValue::frames(int64_t frames, int64_t subFrames) {
    return TimecodeSourceValue::frames(subFrames == 0 ? Count::Value::frames(frames)
                                                      : Count::Value::split(frames, subFrames));
}

TimecodeSourceValue TimecodeSourceValue::frames(double combined) {
    return frames(Count::Value::combined(combined));
}

TimecodeSourceValue TimecodeSourceValue::framesUnitInterval(int64_t frames,
                                                            double subFramesUnitInterval) {
    return TimecodeSourceValue::frames(
        Count::Value::splitUnitInterval(frames, subFramesUnitInterval));
}

TimecodeSourceValue TimecodeSourceValue::frames(const TimecodeFrameCount &count) {
    return {makeSource<TimecodeSource>(
        [count](Timecode &timecode) {
            // The value takes the count's base only once the count has proved expressible.
            Timecode rebased = timecode;
            rebased.setSubFramesBase(count.subFramesBase());
            rebased.setComponents(rebased.components(count.value));
            timecode = rebased;
        },
        [count](Timecode &timecode, Rule rule) {
            setBy(timecode, componentsInOwnBase(timecode, count), rule, Yield::count);
        })};
}

TimecodeSourceValue TimecodeSourceValue::cmTime(const MediaTime &time) {
    const auto [value, timescale] = mediaTimeRatio(time);
    return timeSource(value, timescale);
}

TimecodeSourceValue TimecodeSourceValue::rational(const Fraction &seconds) {
    return timeSource(seconds.numerator(), seconds.denominator());
}

TimecodeSourceValue TimecodeSourceValue::rational(int64_t numerator, int64_t denominator) {
    return timeSource(numerator, denominator);
}

TimecodeSourceValue TimecodeSourceValue::realTime(double seconds) {
    return realFramesSource(
        seconds, [seconds](const Timecode &timecode) { return timecode.elapsedFrames(seconds); });
}

TimecodeSourceValue TimecodeSourceValue::samples(double samples, int64_t sampleRate) {
    const double seconds = samples / static_cast<double>(sampleRate);
    return realFramesSource(seconds, [seconds](const Timecode &timecode) {
        // A little more than the real-time nudge, so that sample positions on a frame
        // boundary land on that frame.
        constexpr double nudge = 0.0001;
        return timecode.elapsedFrames(seconds) + (seconds < 0 ? -nudge : nudge);
    });
}

TimecodeSourceValue TimecodeSourceValue::feetAndFrames(const FeetAndFrames &feetAndFrames) {
    const Count count = feetAndFrames.frameCount();
    return {makeSource<TimecodeSource>(
        [count](Timecode &timecode) {
            if (count.subFrameCount() < 0) {
                throw ValidationError(ValidationError::outOfBounds);
            }
            // Components beyond the upper limit show as days out of range, in any base.
            const Components components = componentsInOwnBase(timecode, count);
            requireValid(components, timecode.properties());
            timecode.setComponents(components);
        },
        [count](Timecode &timecode, Rule rule) {
            setBy(timecode, componentsInOwnBase(timecode, count), rule, Yield::count);
        })};
}

TimecodeSourceValue TimecodeSourceValue::feetAndFrames(int64_t feet, int64_t frames,
                                                       int64_t subFrames,
                                                       TimecodeSubFramesBase subFramesBase) {
    return feetAndFrames(FeetAndFrames(feet, frames, subFrames, subFramesBase));
}

TimecodeSourceValue TimecodeSourceValue::feetAndFrames(std::string_view text,
                                                       TimecodeSubFramesBase subFramesBase) {
    return feetAndFrames(FeetAndFrames(text, subFramesBase));
}

TimecodeSourceValue TimecodeSourceValue::randomComponents(const TimecodeComponentRanges &ranges) {
    return {componentsSource<TimecodeSource>([ranges] { return Components::random(ranges); })};
}

FormattedTimecodeSourceValue FormattedTimecodeSourceValue::string(std::string_view text) {
    return {componentsSource<FormattedTimecodeSource>(
        [text = std::string(text)] { return Timecode::decode(text); })};
}

RichTimecodeSourceValue
RichTimecodeSourceValue::randomComponentsAndProperties(const TimecodeComponentRanges &ranges) {
    return {std::make_shared<const UnsafeRandomComponentsAndProperties>(ranges)};
}

GuaranteedTimecodeSourceValue GuaranteedTimecodeSourceValue::zero() {
    static const auto source = std::make_shared<const ZeroSource>();
    return {source};
}

GuaranteedTimecodeSourceValue GuaranteedTimecodeSourceValue::randomComponents() {
    static const auto source = std::make_shared<const SafeRandomComponents>();
    return {source};
}

GuaranteedRichTimecodeSourceValue
GuaranteedRichTimecodeSourceValue::randomComponentsAndProperties() {
    static const auto source = std::make_shared<const SafeRandomComponentsAndProperties>();
    return {source};
}

GuaranteedRichTimecodeSourceValue
GuaranteedRichTimecodeSourceValue::interval(const TimecodeInterval &flattening) {
    return {std::make_shared<const FlattenedInterval>(flattening)};
}

} // namespace timecode
