#pragma once

#include "core/model/FrameRate.h"

#include <optional>
#include <string>

namespace tandrel {

// A timeline's start and frame rate as its library records them.
struct ProjectTimecodeInfo {
    // Seconds.
    double startSeconds = 0;
    // Absent when the library states no rate that is known.
    std::optional<FrameRate> rate = {};

    // The start as SMPTE text at the rate (frames rounded half away from zero); nothing
    // without a rate or when the start has no frame count in 64 bits.
    std::optional<std::string> startTimecodeString() const;

    friend bool operator==(const ProjectTimecodeInfo &, const ProjectTimecodeInfo &) = default;
};

} // namespace tandrel
