#pragma once

#include "timecode/core/Timecode.h"

#include <cstdint>
#include <functional>
#include <span>
#include <variant>
#include <vector>

namespace timecode {

struct MediaFormatDescription;

// One sample of a 32-bit timecode track: a running frame number.
struct CMTimeCode32 {
    uint32_t frameNumber;
    friend bool operator==(const CMTimeCode32 &, const CMTimeCode32 &) = default;
};

// One sample of a 64-bit timecode track: the raw value, in host byte order.
struct CMTimeCode64 {
    uint64_t uInt64;
    friend bool operator==(const CMTimeCode64 &, const CMTimeCode64 &) = default;
};

// A decoded timecode media sample.
using CMTimeCode = std::variant<CMTimeCode32, CMTimeCode64>;

// The bytes of one sample (or several) with the description they are read under.
struct MediaSampleBuffer {
    const MediaFormatDescription *formatDescription = nullptr;
    std::span<const uint8_t> data;
};

// The timecode samples in a buffer, read front to back over all of its bytes (not bounded by a
// sample count): 4-byte big-endian frame numbers under a 'tmcd' description, 8-byte big-endian
// values under 'tc64'; bytes too few for one more value at the end are dropped. No
// description, or no data, gives none. Throws MediaParseError::unknownTimecode for a
// description of another subtype.
std::vector<CMTimeCode> timecodeSamples(const MediaSampleBuffer &buffer);

// One timecode per sample at the properties, set strictly from zero: a 32-bit sample from its
// frame number, a 64-bit one from four 16-bit fields (hours, minutes, seconds and frames, high
// to low; days and sub-frames 0). The first sample that is not valid there ends the mapping
// with the core's validation error.
std::vector<Timecode> mapToTimecode(const std::vector<CMTimeCode> &samples,
                                    const Timecode::Properties &properties);

} // namespace timecode

template <> struct std::hash<timecode::CMTimeCode32> {
    std::size_t operator()(const timecode::CMTimeCode32 &sample) const noexcept {
        return std::hash<uint32_t>{}(sample.frameNumber);
    }
};

template <> struct std::hash<timecode::CMTimeCode64> {
    std::size_t operator()(const timecode::CMTimeCode64 &sample) const noexcept {
        return std::hash<uint64_t>{}(sample.uInt64);
    }
};
