// Timecode arithmetic on totals in sub-frames.
#include "timecode/core/Timecode.h"

#include "timecode/core/TimecodeInterval.h"

#include <cmath>
#include <utility>

namespace timecode {

Timecode::Bounding Timecode::bounding(ValidationRule rule) {
    switch (rule) {
    case ValidationRule::clamping:
    case ValidationRule::clampingComponents:
        return Bounding::clamping;
    case ValidationRule::wrapping:
        return Bounding::wrapping;
    case ValidationRule::allowingInvalid:
        break;
    }
    return Bounding::rawValues;
}

Int128 Timecode::subFrameTotal(const Components &components) const {
    // Whole frames × base + sub-frames, exactly: the frame count's unit-interval form loses a
    // sub-frame to rounding (29 ÷ 100 × 100 is 28.999…), and its 64-bit count is 0 for a total
    // beyond that range, which would clamp or wrap hours in the quadrillions to midnight.
    return frameTotal(components, frameRate()) * subFramesBase().rawValue() + components.subFrames;
}

Int128 Timecode::subFrameLimit() const {
    return static_cast<Int128>(frameRate().maxTotalFrames(upperLimit())) *
           subFramesBase().rawValue();
}

std::optional<Timecode::Components> Timecode::bounded(Int128 total, Bounding bounding) const {
    const Int128 limit = subFrameLimit();
    switch (bounding) {
    case Bounding::exact:
        if (total < 0 || total >= limit) {
            return std::nullopt;
        }
        break;
    case Bounding::clamping:
        total = total < 0 ? 0 : (total >= limit ? limit - 1 : total);
        break;
    case Bounding::wrapping:
        total = (total % limit + limit) % limit;
        break;
    case Bounding::rawValues:
        break;
    }
    const int64_t n = saturatingInt64(total);
    const int64_t base = subFramesBase().rawValue();
    return components(FrameCount(FrameCount::Value::split(n / base, n % base), subFramesBase()),
                      frameRate());
}

Timecode::Components Timecode::atOwnRate(const Timecode &other) const {
    // A timecode at another rate is converted to this rate and base (its conversion error is
    // thrown). At this rate only the sub-frames need re-expressing: counted in this base
    // unconverted, quarter frames would pass for eightieths.
    if (other.frameRate() != frameRate()) {
        return other.converted(frameRate(), subFramesBase()).components();
    }
    Components components = other.components();
    components.subFrames = other.subFramesBase().convert(components.subFrames, subFramesBase());
    return components;
}

Timecode::Components Timecode::operandComponents(const TimecodeOperand &operand) const {
    auto resolved = operand.resolve(properties_);
    if (auto *components = std::get_if<Components>(&resolved)) {
        return *components;
    }
    return atOwnRate(std::get<Timecode>(resolved));
}

Timecode::Components Timecode::combined(const TimecodeOperand &operand, int sign,
                                        std::optional<ValidationRule> rule) const {
    const Components other = operandComponents(operand);
    const Int128 total = subFrameTotal(components_) + sign * subFrameTotal(other);
    const auto result = bounded(total, rule ? bounding(*rule) : Bounding::exact);
    if (!result || (!rule && !result->invalidComponents(properties_).empty())) {
        throw ValidationError(ValidationError::outOfBounds);
    }
    return *result;
}

void Timecode::add(const TimecodeOperand &operand) {
    components_ = combined(operand, 1, std::nullopt);
}

void Timecode::add(const TimecodeOperand &operand, ValidationRule rule) {
    components_ = combined(operand, 1, rule);
}

Timecode Timecode::adding(const TimecodeOperand &operand) const {
    Timecode result = *this;
    result.add(operand);
    return result;
}

Timecode Timecode::adding(const TimecodeOperand &operand, ValidationRule rule) const {
    Timecode result = *this;
    result.add(operand, rule);
    return result;
}

void Timecode::subtract(const TimecodeOperand &operand) {
    components_ = combined(operand, -1, std::nullopt);
}

void Timecode::subtract(const TimecodeOperand &operand, ValidationRule rule) {
    components_ = combined(operand, -1, rule);
}

Timecode Timecode::subtracting(const TimecodeOperand &operand) const {
    Timecode result = *this;
    result.subtract(operand);
    return result;
}

Timecode Timecode::subtracting(const TimecodeOperand &operand, ValidationRule rule) const {
    Timecode result = *this;
    result.subtract(operand, rule);
    return result;
}

template <typename Source>
void Timecode::combinedAsync(const Source &source, int sign, std::optional<ValidationRule> rule,
                             Completion<Timecode> completion) const {
    // The operand is made strictly at this value's properties (a rich source decides its own).
    setting(source, [self = *this, sign, rule,
                     completion = std::move(completion)](AsyncResult<Timecode> operand) {
        completion(AsyncResult<Timecode>::of([&] {
            Timecode result = self;
            result.components_ = self.combined(operand.value(), sign, rule);
            return result;
        }));
    });
}

void Timecode::adding(const AsyncTimecodeSourceValue &source,
                      Completion<Timecode> completion) const {
    combinedAsync(source, 1, std::nullopt, std::move(completion));
}

void Timecode::adding(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                      Completion<Timecode> completion) const {
    combinedAsync(source, 1, rule, std::move(completion));
}

void Timecode::adding(const AsyncRichTimecodeSourceValue &source,
                      Completion<Timecode> completion) const {
    combinedAsync(source, 1, std::nullopt, std::move(completion));
}

void Timecode::adding(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                      Completion<Timecode> completion) const {
    combinedAsync(source, 1, rule, std::move(completion));
}

void Timecode::subtracting(const AsyncTimecodeSourceValue &source,
                           Completion<Timecode> completion) const {
    combinedAsync(source, -1, std::nullopt, std::move(completion));
}

void Timecode::subtracting(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                           Completion<Timecode> completion) const {
    combinedAsync(source, -1, rule, std::move(completion));
}

void Timecode::subtracting(const AsyncRichTimecodeSourceValue &source,
                           Completion<Timecode> completion) const {
    combinedAsync(source, -1, std::nullopt, std::move(completion));
}

void Timecode::subtracting(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                           Completion<Timecode> completion) const {
    combinedAsync(source, -1, rule, std::move(completion));
}

void Timecode::add(const AsyncTimecodeSourceValue &source, Completion<void> completion) {
    adding(source, storingInto(*this, std::move(completion)));
}

void Timecode::add(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                   Completion<void> completion) {
    adding(source, rule, storingInto(*this, std::move(completion)));
}

void Timecode::add(const AsyncRichTimecodeSourceValue &source, Completion<void> completion) {
    adding(source, storingInto(*this, std::move(completion)));
}

void Timecode::add(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                   Completion<void> completion) {
    adding(source, rule, storingInto(*this, std::move(completion)));
}

void Timecode::subtract(const AsyncTimecodeSourceValue &source, Completion<void> completion) {
    subtracting(source, storingInto(*this, std::move(completion)));
}

void Timecode::subtract(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                        Completion<void> completion) {
    subtracting(source, rule, storingInto(*this, std::move(completion)));
}

void Timecode::subtract(const AsyncRichTimecodeSourceValue &source, Completion<void> completion) {
    subtracting(source, storingInto(*this, std::move(completion)));
}

void Timecode::subtract(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                        Completion<void> completion) {
    subtracting(source, rule, storingInto(*this, std::move(completion)));
}

Timecode::Components Timecode::scaled(double factor, bool dividing,
                                      std::optional<ValidationRule> rule) const {
    const double total = static_cast<double>(subFrameTotal(components_));
    const double product = dividing ? total / factor : total * factor;
    std::optional<Components> result;
    if (!rule) {
        // Tested before truncation; not-a-number (0 × ∞, 0 ÷ 0) is no count either.
        if (product >= 0 && product <= static_cast<double>(subFrameLimit() - 1)) {
            result = bounded(saturatingTruncate(product), Bounding::exact);
        }
        if (!result || !result->invalidComponents(properties_).empty()) {
            throw ValidationError(ValidationError::outOfBounds);
        }
        return *result;
    }
    return *bounded(saturatingTruncate(product), bounding(*rule));
}

void Timecode::multiply(double factor) {
    components_ = scaled(factor, false, std::nullopt);
}

void Timecode::multiply(double factor, ValidationRule rule) {
    components_ = scaled(factor, false, rule);
}

Timecode Timecode::multiplying(double factor) const {
    Timecode result = *this;
    result.multiply(factor);
    return result;
}

Timecode Timecode::multiplying(double factor, ValidationRule rule) const {
    Timecode result = *this;
    result.multiply(factor, rule);
    return result;
}

void Timecode::divide(double divisor) {
    components_ = scaled(divisor, true, std::nullopt);
}

void Timecode::divide(double divisor, ValidationRule rule) {
    components_ = scaled(divisor, true, rule);
}

Timecode Timecode::dividing(double divisor) const {
    Timecode result = *this;
    result.divide(divisor);
    return result;
}

Timecode Timecode::dividing(double divisor, ValidationRule rule) const {
    Timecode result = *this;
    result.divide(divisor, rule);
    return result;
}

double Timecode::dividing(const Components &other) const {
    const double ratio =
        static_cast<double>(subFrameTotal(components_)) / static_cast<double>(subFrameTotal(other));
    if (!(ratio >= 0 && ratio <= static_cast<double>(subFrameLimit() - 1))) {
        throw ValidationError(ValidationError::outOfBounds);
    }
    return ratio;
}

double Timecode::dividing(const Timecode &other) const {
    return dividing(atOwnRate(other));
}

bool Timecode::isZero() const {
    // The frame count's test, without its 64-bit count that reads a larger total as 0.
    return frameTotal(components_, frameRate()) == 0 && components_.subFrames == 0;
}

void Timecode::roundUp(Component toNearest) {
    if (toNearest == Component::subFrames) {
        return;
    }
    bool remainder = false;
    for (Component below : Component::allCases()) {
        remainder = remainder || (below > toNearest && components_.value(below) > 0);
    }
    if (!remainder) {
        return;
    }
    Components unit;
    unit.value(toNearest) = 1;
    Timecode result = adding(unit);
    for (Component below : Component::allCases()) {
        if (below > toNearest) {
            result.components_.value(below) = 0;
        }
    }
    *this = result;
}

Timecode Timecode::roundedUp(Component toNearest) const {
    Timecode result = *this;
    result.roundUp(toNearest);
    return result;
}

void Timecode::roundDown(Component toNearest) {
    for (Component below : Component::allCases()) {
        if (below > toNearest && components_.value(below) > 0) {
            components_.value(below) = 0;
        }
    }
}

Timecode Timecode::roundedDown(Component toNearest) const {
    Timecode result = *this;
    result.roundDown(toNearest);
    return result;
}

Timecode operator+(const Timecode &lhs, const Timecode &rhs) {
    try {
        return lhs.adding(rhs, Timecode::ValidationRule::wrapping);
    } catch (const Timecode::ValidationError &) {
        return lhs;
    }
}

Timecode operator-(const Timecode &lhs, const Timecode &rhs) {
    try {
        return lhs.subtracting(rhs, Timecode::ValidationRule::wrapping);
    } catch (const Timecode::ValidationError &) {
        return lhs;
    }
}

double operator/(const Timecode &lhs, const Timecode &rhs) {
    try {
        return lhs.dividing(rhs);
    } catch (const Timecode::ValidationError &) {
        return 1.0;
    }
}

// Intervals.

TimecodeInterval Timecode::signedOffset(const Components &other) const {
    if (other == components_) {
        return TimecodeInterval(Timecode(GuaranteedTimecodeSourceValue::zero(), properties_),
                                FloatingPointSign::plus);
    }
    Timecode to(properties_);
    to.components_ = other;
    Timecode absolute(properties_);
    if (comparableRealTime() < to.comparableRealTime()) {
        absolute.components_ = to.subtracting(components_, ValidationRule::wrapping).components_;
        return TimecodeInterval(absolute, FloatingPointSign::plus);
    }
    absolute.components_ = subtracting(other, ValidationRule::wrapping).components_;
    return TimecodeInterval(absolute, FloatingPointSign::minus);
}

TimecodeInterval Timecode::interval(const Timecode &to) const {
    Components other;
    try {
        other = atOwnRate(to);
    } catch (const ValidationError &) {
        return signedOffset(components_);
    }
    return signedOffset(other);
}

void Timecode::offset(const TimecodeInterval &by) {
    *this = offsetting(by);
}

Timecode Timecode::offsetting(const TimecodeInterval &by) const {
    return by.timecode(*this);
}

TimecodeInterval Timecode::asInterval(FloatingPointSign sign) const {
    return TimecodeInterval(*this, sign);
}

TimecodeInterval operator+(const Timecode &timecode) {
    return TimecodeInterval::positive(timecode);
}

TimecodeInterval operator-(const Timecode &timecode) {
    return TimecodeInterval::negative(timecode);
}

} // namespace timecode
