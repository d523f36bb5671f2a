#pragma once

#include "timecode/core/ClosedRange.h"
#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeComponentRanges.h"
#include "timecode/core/TimecodeComponents.h"
#include "timecode/core/TimecodeFrameCount.h"
#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeStringParseError.h"
#include "timecode/core/TimecodeSubFramesBase.h"
#include "timecode/core/TimecodeUpperLimit.h"
#include "timecode/core/TimecodeValidationError.h"
#include "timecode/core/TimecodeValidationRule.h"

#include <cstdint>
#include <optional>

namespace timecode {

// A timecode: six integer components and the properties that give them meaning (frame rate,
// sub-frames base, upper limit). A plain value without shared state.
//
// The stored fields are read and written directly: writing one stores the new value and
// nothing else (changing the frame rate keeps the components; converted() keeps the time).
// The value never enforces valid components; isValid() tells.
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

    // All-zero components at the properties.
    explicit Timecode(const Properties &properties) : properties_(properties) {}

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

private:
    Components components_;
    Properties properties_;
};

} // namespace timecode
