#pragma once

#include "timecode/core/Coding.h"
#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/TimecodeSubFramesBase.h"
#include "timecode/core/TimecodeUpperLimit.h"

#include <functional>

namespace timecode {

// What gives a timecode's components their meaning: frame rate, sub-frames base and upper
// limit. Known in a timecode as `Timecode::Properties`.
struct TimecodeProperties {
    TimecodeFrameRate frameRate;
    TimecodeSubFramesBase subFramesBase;
    TimecodeUpperLimit upperLimit;

    TimecodeProperties(TimecodeFrameRate rate, TimecodeSubFramesBase base, TimecodeUpperLimit limit)
        : frameRate(rate), subFramesBase(base), upperLimit(limit) {}

    friend bool operator==(const TimecodeProperties &lhs, const TimecodeProperties &rhs) {
        return lhs.frameRate == rhs.frameRate && lhs.subFramesBase == rhs.subFramesBase &&
               lhs.upperLimit == rhs.upperLimit;
    }
};

// Keys "frameRate", "subFramesBase", "upperLimit", each required.
void to_json(Json &json, const TimecodeProperties &properties);

} // namespace timecode

template <> struct nlohmann::adl_serializer<timecode::TimecodeProperties> {
    static timecode::TimecodeProperties from_json(const timecode::Json &json);
    static void to_json(timecode::Json &json, const timecode::TimecodeProperties &properties) {
        timecode::to_json(json, properties);
    }
};

template <> struct std::hash<timecode::TimecodeProperties> {
    std::size_t operator()(const timecode::TimecodeProperties &properties) const noexcept {
        return (static_cast<std::size_t>(properties.frameRate.id()) << 8) ^
               (static_cast<std::size_t>(properties.subFramesBase.id()) << 4) ^
               static_cast<std::size_t>(properties.upperLimit.id());
    }
};
