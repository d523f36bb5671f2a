// Making and setting timecodes from sources.
#include "timecode/core/Timecode.h"

#include <utility>

namespace timecode {

namespace {

// Sets a copy, so that a source that throws leaves the value as it was.
template <typename Source, typename... Rule>
Timecode setCopy(const Timecode &timecode, const Source &source, Rule... rule) {
    Timecode copy = timecode;
    source.value->set(copy, rule...);
    return copy;
}

} // namespace

Timecode::Timecode(const TimecodeSourceValue &source, const Properties &properties)
    : Timecode(setCopy(Timecode(properties), source)) {}

Timecode::Timecode(const TimecodeSourceValue &source, const Properties &properties,
                   ValidationRule rule)
    : Timecode(setCopy(Timecode(properties), source, rule)) {}

Timecode::Timecode(const TimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
                   UpperLimit limit)
    : Timecode(source, Properties(rate, base, limit)) {}

Timecode::Timecode(const TimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
                   UpperLimit limit, ValidationRule rule)
    : Timecode(source, Properties(rate, base, limit), rule) {}

Timecode::Timecode(const FormattedTimecodeSourceValue &source, const Properties &properties)
    : Timecode(setCopy(Timecode(properties), source)) {}

Timecode::Timecode(const FormattedTimecodeSourceValue &source, const Properties &properties,
                   ValidationRule rule)
    : Timecode(setCopy(Timecode(properties), source, rule)) {}

Timecode::Timecode(const FormattedTimecodeSourceValue &source, TimecodeFrameRate rate,
                   SubFramesBase base, UpperLimit limit)
    : Timecode(source, Properties(rate, base, limit)) {}

Timecode::Timecode(const FormattedTimecodeSourceValue &source, TimecodeFrameRate rate,
                   SubFramesBase base, UpperLimit limit, ValidationRule rule)
    : Timecode(source, Properties(rate, base, limit), rule) {}

Timecode::Timecode(const GuaranteedTimecodeSourceValue &source, const Properties &properties)
    : Timecode(setCopy(Timecode(properties), source)) {}

Timecode::Timecode(const GuaranteedTimecodeSourceValue &source, TimecodeFrameRate rate,
                   SubFramesBase base, UpperLimit limit)
    : Timecode(source, Properties(rate, base, limit)) {}

Timecode::Timecode(const RichTimecodeSourceValue &source)
    : Timecode(setCopy(Timecode(defaultProperties()), source)) {}

Timecode::Timecode(const RichTimecodeSourceValue &source, ValidationRule rule)
    : Timecode(setCopy(Timecode(defaultProperties()), source, rule)) {}

Timecode::Timecode(const GuaranteedRichTimecodeSourceValue &source)
    : Timecode(setCopy(Timecode(defaultProperties()), source)) {}

Timecode::Properties Timecode::defaultProperties() {
    return Properties(TimecodeFrameRate::fps24, SubFramesBase::max100SubFrames,
                      UpperLimit::max24Hours);
}

void Timecode::set(const TimecodeSourceValue &source) {
    *this = setting(source);
}

void Timecode::set(const TimecodeSourceValue &source, ValidationRule rule) {
    *this = setting(source, rule);
}

Timecode Timecode::setting(const TimecodeSourceValue &source) const {
    return setCopy(*this, source);
}

Timecode Timecode::setting(const TimecodeSourceValue &source, ValidationRule rule) const {
    return setCopy(*this, source, rule);
}

void Timecode::set(const FormattedTimecodeSourceValue &source) {
    *this = setting(source);
}

void Timecode::set(const FormattedTimecodeSourceValue &source, ValidationRule rule) {
    *this = setting(source, rule);
}

Timecode Timecode::setting(const FormattedTimecodeSourceValue &source) const {
    return setCopy(*this, source);
}

Timecode Timecode::setting(const FormattedTimecodeSourceValue &source, ValidationRule rule) const {
    return setCopy(*this, source, rule);
}

void Timecode::set(const RichTimecodeSourceValue &source) {
    *this = setting(source);
}

void Timecode::set(const RichTimecodeSourceValue &source, ValidationRule rule) {
    *this = setting(source, rule);
}

Timecode Timecode::setting(const RichTimecodeSourceValue &source) const {
    return setCopy(*this, source);
}

Timecode Timecode::setting(const RichTimecodeSourceValue &source, ValidationRule rule) const {
    return setCopy(*this, source, rule);
}

void Timecode::set(const GuaranteedTimecodeSourceValue &source) {
    *this = setting(source);
}

Timecode Timecode::setting(const GuaranteedTimecodeSourceValue &source) const {
    return setCopy(*this, source);
}

void Timecode::set(const GuaranteedRichTimecodeSourceValue &source) {
    *this = setting(source);
}

Timecode Timecode::setting(const GuaranteedRichTimecodeSourceValue &source) const {
    return setCopy(*this, source);
}

// A plain asynchronous source may only change the components.
static Completion<Timecode> keepingProperties(const Timecode &timecode,
                                              Completion<Timecode> completion) {
    return [timecode, completion = std::move(completion)](AsyncResult<Timecode> result) {
        completion(AsyncResult<Timecode>::of([&] {
            Timecode kept = timecode;
            kept.setComponents(result.value().components());
            return kept;
        }));
    };
}

void Timecode::fromAsync(const AsyncTimecodeSourceValue &source, const Properties &properties,
                         Completion<Timecode> completion) {
    Timecode(properties).setting(source, std::move(completion));
}

void Timecode::fromAsync(const AsyncTimecodeSourceValue &source, const Properties &properties,
                         ValidationRule rule, Completion<Timecode> completion) {
    Timecode(properties).setting(source, rule, std::move(completion));
}

void Timecode::fromAsync(const AsyncTimecodeSourceValue &source, TimecodeFrameRate rate,
                         SubFramesBase base, UpperLimit limit, Completion<Timecode> completion) {
    fromAsync(source, Properties(rate, base, limit), std::move(completion));
}

void Timecode::fromAsync(const AsyncTimecodeSourceValue &source, TimecodeFrameRate rate,
                         SubFramesBase base, UpperLimit limit, ValidationRule rule,
                         Completion<Timecode> completion) {
    fromAsync(source, Properties(rate, base, limit), rule, std::move(completion));
}

void Timecode::fromAsync(const AsyncRichTimecodeSourceValue &source,
                         Completion<Timecode> completion) {
    Timecode(defaultProperties()).setting(source, std::move(completion));
}

void Timecode::setting(const AsyncTimecodeSourceValue &source,
                       Completion<Timecode> completion) const {
    source.value->set(*this, keepingProperties(*this, std::move(completion)));
}

void Timecode::setting(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                       Completion<Timecode> completion) const {
    source.value->set(*this, rule, keepingProperties(*this, std::move(completion)));
}

void Timecode::setting(const AsyncRichTimecodeSourceValue &source,
                       Completion<Timecode> completion) const {
    source.value->set(*this, std::move(completion));
}

void Timecode::setting(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                       Completion<Timecode> completion) const {
    source.value->set(*this, rule, std::move(completion));
}

Completion<Timecode> Timecode::storingInto(Timecode &target, Completion<void> completion) {
    // Only the finished copy touches the target, so a failure leaves it as it was.
    return [&target, completion = std::move(completion)](AsyncResult<Timecode> result) {
        completion(AsyncResult<void>::of([&] { target = result.value(); }));
    };
}

void Timecode::set(const AsyncTimecodeSourceValue &source, Completion<void> completion) {
    setting(source, storingInto(*this, std::move(completion)));
}

void Timecode::set(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                   Completion<void> completion) {
    setting(source, rule, storingInto(*this, std::move(completion)));
}

void Timecode::set(const AsyncRichTimecodeSourceValue &source, Completion<void> completion) {
    setting(source, storingInto(*this, std::move(completion)));
}

void Timecode::set(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                   Completion<void> completion) {
    setting(source, rule, storingInto(*this, std::move(completion)));
}

} // namespace timecode
