#pragma once

#include "timecode/core/ClosedRange.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/Timecode.h"

namespace timecode {

// A stretch of media time: a start and a duration, as media frameworks carry it.
struct MediaTimeRange {
    MediaTime start;
    MediaTime duration;

    // Both times valid and the duration not negative.
    bool isValid() const;
    // start + duration, exactly where the sum fits a media time; an infinity or indefinite time
    // on either side carries over.
    MediaTime end() const;

    // The start and end as timecodes, each set strictly from its media time at the properties.
    // Throws Timecode::ValidationError::invalid for a range that is not valid, outOfBounds when
    // the start lies after the end, and what setting the timecodes throws.
    ClosedRange<Timecode> timecodeRange(const Timecode::Properties &properties) const;
};

} // namespace timecode
