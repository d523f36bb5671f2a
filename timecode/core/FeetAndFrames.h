#pragma once

#include "timecode/core/TimecodeFrameCount.h"
#include "timecode/core/TimecodeSubFramesBase.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace timecode {

// A position on film: whole feet plus frames into the next foot (16 frames to the foot), with
// sub-frames in the unit of a sub-frames base. Nothing is enforced: frames of 16 or more are
// kept as they are.
struct FeetAndFrames {
    static constexpr int64_t framesPerFoot = 16;

    struct Parts {
        int64_t feet;
        int64_t frames;
        int64_t subFrames;
    };

    int64_t feet;
    int64_t frames;
    int64_t subFrames;
    TimecodeSubFramesBase subFramesBase;

    FeetAndFrames(int64_t feet, int64_t frames, int64_t subFrames, TimecodeSubFramesBase base)
        : feet(feet), frames(frames), subFrames(subFrames), subFramesBase(base) {}
    // Reads "feet+frames" or "feet+frames.subFrames"; throws Timecode::StringParseError.
    FeetAndFrames(std::string_view text, TimecodeSubFramesBase base);

    // The three numbers of "12+05" or "12+05.40" (sub-frames 0 when absent), unvalidated; throws
    // Timecode::StringParseError::malformed for any other text, or a number beyond 64 bits.
    static Parts decode(std::string_view feetAndFrames);

    // "12+05": feet, "+", frames zero-padded to two digits.
    std::string stringValue() const;
    std::string description() const { return stringValue(); }
    // "12+05.07": the sub-frames appended after ".", zero-padded to two digits.
    std::string stringValueVerbose() const;

    // feet × 16 + frames whole frames, in this value's base: the plain count when there are no
    // sub-frames, else split into those frames and the sub-frames.
    TimecodeFrameCount frameCount() const;

    // Identity is the value itself.
    FeetAndFrames id() const { return *this; }

    friend bool operator==(const FeetAndFrames &, const FeetAndFrames &) = default;
};

} // namespace timecode

template <> struct std::hash<timecode::FeetAndFrames> {
    std::size_t operator()(const timecode::FeetAndFrames &value) const noexcept {
        std::size_t seed = std::hash<timecode::TimecodeSubFramesBase>{}(value.subFramesBase);
        for (int64_t field : {value.feet, value.frames, value.subFrames}) {
            seed ^= std::hash<int64_t>{}(field) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
        }
        return seed;
    }
};
