#pragma once

#include "timecode/core/MediaTime.h"

#include <cstdint>
#include <limits>

namespace timecode {

// A duration or time as a movie file stores it (unsigned value and timescale) as a media time:
// the invalid time when either does not fit the media time's signed fields, or when the
// timescale is 0.
constexpr MediaTime movieFileTime(uint64_t value, uint32_t timescale) {
    if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ||
        timescale > static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) {
        return MediaTime::invalidTime();
    }
    return MediaTime(static_cast<int64_t>(value), static_cast<int32_t>(timescale));
}

} // namespace timecode
