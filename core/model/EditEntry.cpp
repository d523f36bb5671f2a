#include "core/model/EditEntry.h"

#include <algorithm>

namespace tandrel {

namespace {

// Cuts and matches of the library readers are made to this tolerance.
constexpr double sliverSeconds = 1.0 / 240.0;

} // namespace

std::optional<EditEntry> EditEntry::restricted(Window toWindow) const {
    const double newIn = std::max(timelineIn, toWindow.start);
    const double newOut = std::min(timelineOut, toWindow.end);
    // Written as a negation so that a non-finite overlap is dropped too.
    if (!(newOut - newIn > sliverSeconds)) {
        return std::nullopt;
    }
    if (timelineOut <= toWindow.end && timelineIn >= toWindow.start) {
        return *this;
    }

    EditEntry cut = *this;
    cut.timelineIn = newIn;
    cut.timelineOut = newOut;
    // A retimed item takes its source time from its curve, whose keypoints lie on the timeline
    // and so stay put.
    if (!timeMapKeypoints) {
        // A reversed item shows the end of its source range first, so trimming its tail is
        // what moves the start of the used source.
        const double trimmed = isReversed ? timelineOut - newOut : newIn - timelineIn;
        cut.sourceIn += trimmed * speedRate.value_or(1.0);
    }
    return cut;
}

} // namespace tandrel
