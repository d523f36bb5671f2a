#pragma once

#include "timecode/core/FeetAndFrames.h"
#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/RangeAttribute.h"
#include "timecode/core/TimecodeComponentRanges.h"
#include "timecode/core/TimecodeComponents.h"
#include "timecode/core/TimecodeFrameCount.h"
#include "timecode/core/TimecodeSource.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <string_view>

namespace timecode {

class MediaAsset;
class TimecodeInterval;

// The wrappers that timecode initialisers, setters and arithmetic take: each holds one source
// of its interface in `value`. Their factories build the library's own kinds.
//
// A count source reads its count in the timecode's frame of reference; under `clamping` (and
// `clampingComponents`) the total in sub-frames is clamped into the range of the upper limit,
// under `wrapping` it is wrapped around it, and `allowingInvalid` keeps what the source yields.
// A source that yields components directly (components, text, random components) clamps each
// component into its own range under `clampingComponents`.
struct TimecodeSourceValue {
    std::shared_ptr<const TimecodeSource> value;

    // Strict: the components unless any is invalid.
    static TimecodeSourceValue components(const TimecodeComponents &components);
    static TimecodeSourceValue components(int64_t d, int64_t h, int64_t m, int64_t s, int64_t f,
                                          int64_t sf = 0);
    // A count read in the timecode's base. Strict: within 0 ... the last expressible count.
    static TimecodeSourceValue frames(const TimecodeFrameCount::Value &count);
    // Whole frames.
    template <std::integral I> static TimecodeSourceValue frames(I frames) {
        return TimecodeSourceValue::frames(TimecodeFrameCount::Value::frames(frames));
    }
    // Split into frames and sub-frames, or plain frames when the sub-frames are 0.
    static TimecodeSourceValue frames(int64_t frames, int64_t subFrames);
    // Frames with the fraction as the decimal part.
    static TimecodeSourceValue frames(double combined);
    static TimecodeSourceValue framesUnitInterval(int64_t frames, double subFramesUnitInterval);
    // A count in its own base. The strict form also gives the timecode that base; the forms
    // with a rule re-express the sub-frames in the timecode's base.
    static TimecodeSourceValue frames(const TimecodeFrameCount &count);
    // A media time. Strict: the exact position, a fraction of a frame kept as sub-frames
    // (`invalid` for a time that is not numeric). With a rule: whole frames, truncated.
    static TimecodeSourceValue cmTime(const MediaTime &time);
    // Seconds, as a media time.
    static TimecodeSourceValue rational(const Fraction &seconds);
    static TimecodeSourceValue rational(int64_t numerator, int64_t denominator);
    // Seconds of real time.
    static TimecodeSourceValue realTime(double seconds);
    static TimecodeSourceValue samples(double samples, int64_t sampleRate);
    static TimecodeSourceValue feetAndFrames(const FeetAndFrames &feetAndFrames);
    static TimecodeSourceValue feetAndFrames(int64_t feet, int64_t frames, int64_t subFrames,
                                             TimecodeSubFramesBase subFramesBase);
    // Throws Timecode::StringParseError::malformed for text that is not feet and frames.
    static TimecodeSourceValue feetAndFrames(std::string_view text,
                                             TimecodeSubFramesBase subFramesBase);
    // Each component drawn uniformly from its range; strict: outOfBounds if any is invalid.
    static TimecodeSourceValue randomComponents(const TimecodeComponentRanges &ranges);
};

struct FormattedTimecodeSourceValue {
    std::shared_ptr<const FormattedTimecodeSource> value;

    // Timecode text (Timecode::decode): strict, outOfBounds when a component is invalid.
    static FormattedTimecodeSourceValue string(std::string_view text);
};

struct RichTimecodeSourceValue {
    std::shared_ptr<const RichTimecodeSource> value;

    // Draws the upper limit, the sub-frames base and the frame rate, in that order, then each
    // component from its range.
    static RichTimecodeSourceValue
    randomComponentsAndProperties(const TimecodeComponentRanges &ranges);
};

struct GuaranteedTimecodeSourceValue {
    std::shared_ptr<const GuaranteedTimecodeSource> value;

    // All six components 0.
    static GuaranteedTimecodeSourceValue zero();
    // Valid random components for the timecode's properties.
    static GuaranteedTimecodeSourceValue randomComponents();
};

struct GuaranteedRichTimecodeSourceValue {
    std::shared_ptr<const GuaranteedRichTimecodeSource> value;

    // Random properties and valid random components for them.
    static GuaranteedRichTimecodeSourceValue randomComponentsAndProperties();
    // The interval's flattened timecode and its properties.
    static GuaranteedRichTimecodeSourceValue interval(const TimecodeInterval &flattening);
};

// The media asset sources are defined by the media module (timecode/av), which a caller of
// them links.
struct AsyncTimecodeSourceValue {
    std::shared_ptr<const AsyncTimecodeSource> value;

    // The asset's start, end or duration timecode at the timecode's properties.
    static AsyncTimecodeSourceValue avAsset(std::shared_ptr<const MediaAsset> asset,
                                            RangeAttribute attribute);
};

struct AsyncRichTimecodeSourceValue {
    std::shared_ptr<const AsyncRichTimecodeSource> value;

    // The asset's start, end or duration timecode at the asset's own timecode rate.
    static AsyncRichTimecodeSourceValue avAsset(std::shared_ptr<const MediaAsset> asset,
                                                RangeAttribute attribute);
};

} // namespace timecode
