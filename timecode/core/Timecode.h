#pragma once

#include "timecode/core/ClosedRange.h"
#include "timecode/core/Coding.h"
#include "timecode/core/ComparisonResult.h"
#include "timecode/core/FeetAndFrames.h"
#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/NumericUtilities.h"
#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeComponentRanges.h"
#include "timecode/core/TimecodeComponents.h"
#include "timecode/core/TimecodeFrameCount.h"
#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/TimecodeOperand.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeSourceValue.h"
#include "timecode/core/TimecodeStringFormat.h"
#include "timecode/core/TimecodeStringParseError.h"
#include "timecode/core/TimecodeSubFramesBase.h"
#include "timecode/core/TimecodeUpperLimit.h"
#include "timecode/core/TimecodeValidationError.h"
#include "timecode/core/TimecodeValidationRule.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace timecode {

class ItemProvider;
class MediaParseError;
class MediaWriteError;
class TimecodeInterval;
class TimecodeTransformer;
class UniformType;
enum class FloatingPointSign : uint8_t;
template <typename T> struct DataRepresentation;

// A timecode: six integer components and the properties that give them meaning (frame rate,
// sub-frames base, upper limit). A plain value without shared state.
//
// The stored fields are read and written directly: writing one stores the new value and
// nothing else (changing the frame rate keeps the components; converted() keeps the time).
// The value never enforces valid components; isValid() tells.
//
// Values are made from sources (TimecodeSourceValue.h): strictly, throwing
// ValidationError::outOfBounds where the result would be invalid, or under a ValidationRule.
// Operations come in a changing form and a form that answers a new value (add / adding); every
// changing form that throws leaves the value as it was. Arithmetic works on totals in
// sub-frames, never component by component.
//
// The plug-in's path, a frame number to its text at 100 sub-frames, 24 hours, clamped:
//     Timecode(TimecodeSourceValue::frames(frame), rate, Timecode::SubFramesBase::max100SubFrames,
//              Timecode::UpperLimit::max24Hours, Timecode::ValidationRule::clamping).stringValue()
//
// Intervals, the transformer and the sorting operations are declared in TimecodeInterval.h,
// TimecodeTransformer.h and TimecodeSorting.h; the copy and paste forms in ItemProvider.h.
class Timecode {
public:
    using Component = TimecodeComponent;
    using Components = TimecodeComponents;
    using ComponentRanges = TimecodeComponentRanges;
    using FrameCount = TimecodeFrameCount;
    using Properties = TimecodeProperties;
    using SubFramesBase = TimecodeSubFramesBase;
    using UpperLimit = TimecodeUpperLimit;
    using ValidationRule = TimecodeValidationRule;
    using ValidationError = TimecodeValidationError;
    using StringParseError = TimecodeStringParseError;
    using StringFormatOption = TimecodeStringFormatOption;
    using StringFormat = TimecodeStringFormat;
    // The media module's errors (timecode/av).
    using MediaParseError = timecode::MediaParseError;
    using MediaWriteError = timecode::MediaWriteError;

    // All-zero components at the properties.
    explicit Timecode(const Properties &properties) : properties_(properties) {}

    // From a source: all-zero components at the properties, then set by the source. The forms
    // without a rule are strict and throw; a formatted source throws on text in every form.
    Timecode(const TimecodeSourceValue &source, const Properties &properties);
    Timecode(const TimecodeSourceValue &source, const Properties &properties, ValidationRule rule);
    Timecode(const TimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
             UpperLimit limit);
    Timecode(const TimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
             UpperLimit limit, ValidationRule rule);
    Timecode(const FormattedTimecodeSourceValue &source, const Properties &properties);
    Timecode(const FormattedTimecodeSourceValue &source, const Properties &properties,
             ValidationRule rule);
    Timecode(const FormattedTimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
             UpperLimit limit);
    Timecode(const FormattedTimecodeSourceValue &source, TimecodeFrameRate rate, SubFramesBase base,
             UpperLimit limit, ValidationRule rule);
    Timecode(const GuaranteedTimecodeSourceValue &source, const Properties &properties);
    Timecode(const GuaranteedTimecodeSourceValue &source, TimecodeFrameRate rate,
             SubFramesBase base, UpperLimit limit);
    // Rich sources start from 24 fps, 100 sub-frames, 24 hours and decide the properties.
    explicit Timecode(const RichTimecodeSourceValue &source);
    Timecode(const RichTimecodeSourceValue &source, ValidationRule rule);
    explicit Timecode(const GuaranteedRichTimecodeSourceValue &source);

    // The defaults of a rich source's starting value.
    static Properties defaultProperties();

    // Asynchronous sources: the completion receives the new value or the source's error (see
    // AsyncResult.h).
    static void fromAsync(const AsyncTimecodeSourceValue &source, const Properties &properties,
                          Completion<Timecode> completion);
    static void fromAsync(const AsyncTimecodeSourceValue &source, const Properties &properties,
                          ValidationRule rule, Completion<Timecode> completion);
    static void fromAsync(const AsyncTimecodeSourceValue &source, TimecodeFrameRate rate,
                          SubFramesBase base, UpperLimit limit, Completion<Timecode> completion);
    static void fromAsync(const AsyncTimecodeSourceValue &source, TimecodeFrameRate rate,
                          SubFramesBase base, UpperLimit limit, ValidationRule rule,
                          Completion<Timecode> completion);
    static void fromAsync(const AsyncRichTimecodeSourceValue &source,
                          Completion<Timecode> completion);

    // Setters: the properties stay, except that a rich source gives its own.
    void set(const TimecodeSourceValue &source);
    void set(const TimecodeSourceValue &source, ValidationRule rule);
    Timecode setting(const TimecodeSourceValue &source) const;
    Timecode setting(const TimecodeSourceValue &source, ValidationRule rule) const;
    void set(const FormattedTimecodeSourceValue &source);
    void set(const FormattedTimecodeSourceValue &source, ValidationRule rule);
    Timecode setting(const FormattedTimecodeSourceValue &source) const;
    Timecode setting(const FormattedTimecodeSourceValue &source, ValidationRule rule) const;
    void set(const RichTimecodeSourceValue &source);
    void set(const RichTimecodeSourceValue &source, ValidationRule rule);
    Timecode setting(const RichTimecodeSourceValue &source) const;
    Timecode setting(const RichTimecodeSourceValue &source, ValidationRule rule) const;
    void set(const GuaranteedTimecodeSourceValue &source);
    Timecode setting(const GuaranteedTimecodeSourceValue &source) const;
    void set(const GuaranteedRichTimecodeSourceValue &source);
    Timecode setting(const GuaranteedRichTimecodeSourceValue &source) const;
    // The asynchronous setters answer the changed copy to the completion. A caller whose value
    // may be gone, or read on another thread, before the completion runs uses these and assigns
    // the copy where it owns the value.
    void setting(const AsyncTimecodeSourceValue &source, Completion<Timecode> completion) const;
    void setting(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                 Completion<Timecode> completion) const;
    void setting(const AsyncRichTimecodeSourceValue &source, Completion<Timecode> completion) const;
    void setting(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                 Completion<Timecode> completion) const;
    // The asynchronous setters in place. The source works on a copy made when the call starts;
    // this value takes the result immediately before the completion runs, on the thread that
    // runs it, and stays as it was when the completion receives a failure. The write goes
    // through the reference the call was made on, so from the call until the completion has run
    // the caller must keep the value alive and where it is (not in a container that may grow)
    // and leave it alone. Destroying or relocating it sooner makes the late write land on
    // memory the value no longer owns (undefined behaviour); reading or writing it meanwhile is
    // a data race. Once the completion has run, the value may be used again.
    void set(const AsyncTimecodeSourceValue &source, Completion<void> completion);
    void set(const AsyncTimecodeSourceValue &source, ValidationRule rule,
             Completion<void> completion);
    void set(const AsyncRichTimecodeSourceValue &source, Completion<void> completion);
    void set(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
             Completion<void> completion);

    // Stored fields.
    const Components &components() const { return components_; }
    Components &components() { return components_; }
    void setComponents(const Components &components) { components_ = components; }
    const Properties &properties() const { return properties_; }
    Properties &properties() { return properties_; }
    void setProperties(const Properties &properties) { properties_ = properties; }

    int64_t days() const { return components_.days; }
    int64_t hours() const { return components_.hours; }
    int64_t minutes() const { return components_.minutes; }
    int64_t seconds() const { return components_.seconds; }
    int64_t frames() const { return components_.frames; }
    int64_t subFrames() const { return components_.subFrames; }
    void setDays(int64_t value) { components_.days = value; }
    void setHours(int64_t value) { components_.hours = value; }
    void setMinutes(int64_t value) { components_.minutes = value; }
    void setSeconds(int64_t value) { components_.seconds = value; }
    void setFrames(int64_t value) { components_.frames = value; }
    void setSubFrames(int64_t value) { components_.subFrames = value; }

    TimecodeFrameRate frameRate() const { return properties_.frameRate; }
    SubFramesBase subFramesBase() const { return properties_.subFramesBase; }
    UpperLimit upperLimit() const { return properties_.upperLimit; }
    void setFrameRate(TimecodeFrameRate rate) { properties_.frameRate = rate; }
    void setSubFramesBase(SubFramesBase base) { properties_.subFramesBase = base; }
    void setUpperLimit(UpperLimit limit) { properties_.upperLimit = limit; }

    // Validation against the value's own properties.
    ClosedRange<int64_t> validRange(Component component) const;
    Component::Set invalidComponents() const;
    bool isValid() const { return invalidComponents().empty(); }
    // Days, hours, minutes and seconds into their ranges, then frames (the drop-frame bound
    // read from the clamped minutes and seconds), then sub-frames.
    void clampComponents();
    bool isWithinValidComponentDigitCounts() const;

    // The largest count within the upper limit: its last frame with the base's largest
    // sub-frame value.
    FrameCount maxFrameCountExpressible() const;
    int64_t maxSubFrameCountExpressible() const;
    // 79, 99 or 3.
    int64_t maxSubFramesExpressible() const { return subFramesBase().maxSubFramesExpressible(); }

    // Components → frames, drop-frame numbering included: the split form with a unit interval,
    // in the given base. A total beyond the 64-bit range gives the plain count 0.
    static FrameCount frameCount(const Components &components, TimecodeFrameRate rate,
                                 SubFramesBase base);
    FrameCount frameCount() const;

    // Frames → components, exact for every form of count; a negative count gives every
    // component negated. A drop-frame result never shows a dropped frame number.
    static Components components(const FrameCount &frameCount, TimecodeFrameRate rate);
    // The components of a count read in this value's own base; throws outOfBounds when the
    // count is negative or beyond maxFrameCountExpressible().
    Components components(const FrameCount::Value &exactly) const;

    // Seconds of real time (01:00:00;00 at 29.97d is 3599.9964 s).
    double realTimeValue() const;
    // Frames at this value's rate for a real time, nudged 0.00001 frame away from zero.
    double elapsedFrames(double realTime) const;
    // The exact position as a media time; invalid if the value does not fit 64 bits.
    MediaTime cmTimeValue() const;
    // The exact position in seconds, reduced.
    Fraction rationalValue() const;
    // Audio samples at the sample rate: rounded halves away from zero (0 when it does not fit
    // 64 bits), or as a double.
    int64_t samplesValue(int64_t sampleRate) const;
    double samplesDoubleValue(int64_t sampleRate) const;

    // The same time at another rate (and base; the upper limit stays). With
    // `preservingValues` the components are kept when they are valid at the new properties.
    // Throws outOfBounds when the time cannot be expressed there.
    Timecode converted(TimecodeFrameRate rate, std::optional<SubFramesBase> base = std::nullopt,
                       bool preservingValues = false) const;

    // The frame count in feet and frames, with its sub-frames in this value's base.
    FeetAndFrames feetAndFramesValue() const;

    // Through a transformer (TimecodeTransformer.h).
    Timecode transformed(const TimecodeTransformer &transformer) const;
    void transform(const TimecodeTransformer &transformer);

    // Text. Days with a space when asked for or not 0; "HH:MM:SS"; ";" before the frames at the
    // drop rates, ":" at the others; frames in the rate's digits; "." and the sub-frames when
    // asked for; "-" for every separator when asked for.
    std::string stringValue(StringFormat format = {}) const;
    // The text with sub-frames.
    std::string description() const;
    // "Timecode<01:00:00;00.00 @ 29.97 fps drop>" (days shown at the 100-day limit).
    std::string debugDescription() const;
    // "01:00:00:00.00 @ 24 fps".
    std::string verboseDescription() const;
    // The components of "[D ]HH:MM:SS:FF[.SF]" in any mix of ":" and ";" (the days separator may
    // also be white space), unvalidated; throws StringParseError::malformed for other text or a
    // number beyond 64 bits.
    static Components decode(std::string_view timecode);

    // Arithmetic on the totals in sub-frames at this value's rate and base. An operand at
    // another rate (or base) is first converted to this value's (its conversion error is
    // thrown). The exact forms throw outOfBounds for a result outside the upper limit; the forms
    // with a rule clamp (`clamping`, `clampingComponents`), wrap, or keep the raw total
    // (`allowingInvalid`). Properties stay this value's.
    void add(const TimecodeOperand &operand);
    void add(const TimecodeOperand &operand, ValidationRule rule);
    Timecode adding(const TimecodeOperand &operand) const;
    Timecode adding(const TimecodeOperand &operand, ValidationRule rule) const;
    void subtract(const TimecodeOperand &operand);
    void subtract(const TimecodeOperand &operand, ValidationRule rule);
    Timecode subtracting(const TimecodeOperand &operand) const;
    Timecode subtracting(const TimecodeOperand &operand, ValidationRule rule) const;
    void adding(const AsyncTimecodeSourceValue &source, Completion<Timecode> completion) const;
    void adding(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                Completion<Timecode> completion) const;
    void adding(const AsyncRichTimecodeSourceValue &source, Completion<Timecode> completion) const;
    void adding(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                Completion<Timecode> completion) const;
    void subtracting(const AsyncTimecodeSourceValue &source, Completion<Timecode> completion) const;
    void subtracting(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                     Completion<Timecode> completion) const;
    void subtracting(const AsyncRichTimecodeSourceValue &source,
                     Completion<Timecode> completion) const;
    void subtracting(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                     Completion<Timecode> completion) const;
    // In place, on the terms of the asynchronous set() above: the caller keeps the value alive
    // and untouched until the completion has run.
    void add(const AsyncTimecodeSourceValue &source, Completion<void> completion);
    void add(const AsyncTimecodeSourceValue &source, ValidationRule rule,
             Completion<void> completion);
    void add(const AsyncRichTimecodeSourceValue &source, Completion<void> completion);
    void add(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
             Completion<void> completion);
    void subtract(const AsyncTimecodeSourceValue &source, Completion<void> completion);
    void subtract(const AsyncTimecodeSourceValue &source, ValidationRule rule,
                  Completion<void> completion);
    void subtract(const AsyncRichTimecodeSourceValue &source, Completion<void> completion);
    void subtract(const AsyncRichTimecodeSourceValue &source, ValidationRule rule,
                  Completion<void> completion);

    // The total times a factor, or over a divisor, truncated; the exact forms also throw for a
    // product that is not a number.
    void multiply(double factor);
    void multiply(double factor, ValidationRule rule);
    Timecode multiplying(double factor) const;
    Timecode multiplying(double factor, ValidationRule rule) const;
    void divide(double divisor);
    void divide(double divisor, ValidationRule rule);
    Timecode dividing(double divisor) const;
    Timecode dividing(double divisor, ValidationRule rule) const;
    // This total over the other's; throws outOfBounds when the ratio is negative, beyond the
    // upper limit or not a number (0 over 0).
    double dividing(const Timecode &other) const;
    double dividing(const Components &other) const;

    // The signed offset from this value to the other (brought to this rate; the zero interval
    // when that fails). Declared here, defined with TimecodeInterval.
    TimecodeInterval interval(const Timecode &to) const;
    void offset(const TimecodeInterval &by);
    Timecode offsetting(const TimecodeInterval &by) const;
    TimecodeInterval asInterval(FloatingPointSign sign) const;
    bool isZero() const;

    // Up: add one unit of the component when a lower component is above 0, then zero the lower
    // ones (throws outOfBounds when the unit does not fit). Down: zero the lower components that
    // are above 0. Sub-frames change nothing.
    void roundUp(Component toNearest);
    Timecode roundedUp(Component toNearest) const;
    void roundDown(Component toNearest);
    Timecode roundedDown(Component toNearest) const;

    // Between timecodes: wrapping sum and difference at the left operand's properties; the left
    // operand unchanged when the right one cannot be converted. `/` is the ratio, 1.0 when it
    // has none.
    friend Timecode operator+(const Timecode &lhs, const Timecode &rhs);
    friend Timecode operator-(const Timecode &lhs, const Timecode &rhs);
    friend double operator/(const Timecode &lhs, const Timecode &rhs);
    Timecode &operator+=(const Timecode &rhs) { return *this = *this + rhs; }
    Timecode &operator-=(const Timecode &rhs) { return *this = *this - rhs; }
    // With a number: wrapping product and quotient.
    friend Timecode operator*(const Timecode &lhs, double factor) {
        return lhs.multiplying(factor, ValidationRule::wrapping);
    }
    friend Timecode operator/(const Timecode &lhs, double divisor) {
        return lhs.dividing(divisor, ValidationRule::wrapping);
    }
    template <std::integral I> friend Timecode operator*(const Timecode &lhs, I factor) {
        return lhs * static_cast<double>(factor);
    }
    template <std::integral I> friend Timecode operator/(const Timecode &lhs, I divisor) {
        return lhs / static_cast<double>(divisor);
    }
    Timecode &operator*=(double factor) { return *this = *this * factor; }
    Timecode &operator/=(double divisor) { return *this = *this / divisor; }
    // The timecode as an interval with sign plus or minus.
    friend TimecodeInterval operator+(const Timecode &timecode);
    friend TimecodeInterval operator-(const Timecode &timecode);

    // Same rate, same real time to 9 decimal places, and the same base when both carry
    // sub-frames; the upper limit is not compared.
    friend bool operator==(const Timecode &lhs, const Timecode &rhs);
    // The same six components and the same three properties: what tells whether a stored value
    // changed at all, where equality above finds 00:00:01:00 and 00:00:00:24 at 24 fps alike.
    bool isIdentical(const Timecode &other) const {
        return components_ == other.components_ && properties_ == other.properties_;
    }
    // By real time to 9 decimal places, whatever the rates.
    friend bool operator<(const Timecode &lhs, const Timecode &rhs);
    friend bool operator>(const Timecode &lhs, const Timecode &rhs) { return rhs < lhs; }
    friend bool operator<=(const Timecode &lhs, const Timecode &rhs) { return !(lhs > rhs); }
    friend bool operator>=(const Timecode &lhs, const Timecode &rhs) { return !(lhs < rhs); }
    std::size_t hashValue() const;
    // Identity is the value itself.
    Timecode id() const { return *this; }
    // The real time rounded to 9 decimal places, halves away from zero: what equality and
    // ordering compare.
    double comparableRealTime() const;
    // Against the other value; with a timeline start that is not zero, values from the start
    // up to the end of the day sort before those after midnight. Never `same` for different
    // rates.
    ComparisonResult compare(const Timecode &to,
                             const std::optional<Timecode> &timelineStart = std::nullopt) const;
    // A frame count as sub-frames over its base: exact, and ordered across bases.
    struct ExactFrameCount {
        Int128 subFrames;
        int64_t base;
        friend bool operator<(const ExactFrameCount &lhs, const ExactFrameCount &rhs) {
            return lhs.subFrames * rhs.base < rhs.subFrames * lhs.base;
        }
    };
    // What compare() orders by when a timeline starts at `timelineStart` (not zero): the frame
    // count, one day less when it is not below the start's.
    ExactFrameCount timelineCount(const Timecode &timelineStart) const;

    // Stepping by whole frames: this value plus n frames, clamped into the upper limit; the
    // whole frames from this value to the other.
    Timecode advanced(int64_t by) const;
    int64_t distance(const Timecode &to) const;

    // Copy and paste: the rich form "com.varnell.timecode" (this value as JSON) and UTF-8 text.
    static const UniformType &textUTType();
    static const std::vector<UniformType> &copyUTTypes();
    static const std::vector<UniformType> &pasteUTTypes();
    // The JSON form, then the text form with sub-frames (export only).
    static const std::vector<DataRepresentation<Timecode>> &transferRepresentation();
    // Throws what JSON encoding throws.
    ItemProvider jsonItemProvider() const;
    // The JSON provider (left out when encoding fails), then the text in the given format.
    std::vector<ItemProvider> itemProviders(StringFormat stringFormat) const;
    // The first provider with the rich form, decoded whole (its own properties); failing that,
    // the first with text, parsed at the given properties with invalid values kept. Throws
    // CoderValueNotFoundError when neither yields a timecode.
    static Timecode fromItemProviders(const std::vector<ItemProvider> &providers,
                                      const Properties &propertiesForString);
    static Timecode fromItemProvider(const ItemProvider &provider,
                                     const Properties &propertiesForString);
    // The same import, named for the properties at which a timecode text is read.
    static Timecode
    fromItemProvidersForTimecodeString(const std::vector<ItemProvider> &providers,
                                       const Properties &propertiesForTimecodeString);
    static Timecode
    fromItemProviderForTimecodeString(const ItemProvider &provider,
                                      const Properties &propertiesForTimecodeString);

private:
    friend class TimecodeInterval;

    // How a total in sub-frames is brought into the range of the upper limit.
    enum class Bounding : uint8_t { exact, clamping, wrapping, rawValues };
    static Bounding bounding(ValidationRule rule);

    // The frame total of components at the rate, drop-frame numbering included, exactly.
    static Int128 frameTotal(const Components &components, TimecodeFrameRate rate);
    // The total in sub-frames of components at this value's rate and base, exactly.
    Int128 subFrameTotal(const Components &components) const;
    // The sub-frames within the upper limit.
    Int128 subFrameLimit() const;
    ExactFrameCount exactFrameCount(const Components &components) const {
        return {subFrameTotal(components), subFramesBase().rawValue()};
    }
    // The components of a total in sub-frames, bounded; nothing when an exact total is outside.
    std::optional<Components> bounded(Int128 total, Bounding bounding) const;
    // The operand's components at this value's rate and base.
    Components operandComponents(const TimecodeOperand &operand) const;
    Components atOwnRate(const Timecode &other) const;
    Components combined(const TimecodeOperand &operand, int sign,
                        std::optional<ValidationRule> rule) const;
    Components scaled(double factor, bool dividing, std::optional<ValidationRule> rule) const;
    TimecodeInterval signedOffset(const Components &other) const;
    // Hands the changed copy an asynchronous operation answers to `target`, then reports.
    static Completion<Timecode> storingInto(Timecode &target, Completion<void> completion);
    // Sets from an asynchronous operand, then combines.
    template <typename Source>
    void combinedAsync(const Source &source, int sign, std::optional<ValidationRule> rule,
                       Completion<Timecode> completion) const;

    Components components_;
    Properties properties_;
};

// Keys "frameRate", "upperLimit", "subFramesBase", then the six components. Reading requires
// all nine and applies no validation.
void to_json(Json &json, const Timecode &timecode);

} // namespace timecode

template <> struct nlohmann::adl_serializer<timecode::Timecode> {
    static timecode::Timecode from_json(const timecode::Json &json);
    static void to_json(timecode::Json &json, const timecode::Timecode &timecode) {
        timecode::to_json(json, timecode);
    }
};

template <> struct std::hash<timecode::Timecode> {
    std::size_t operator()(const timecode::Timecode &timecode) const noexcept {
        return timecode.hashValue();
    }
};
