#include "core/resolver/ProjectTimecodeInfo.h"

#include "core/model/TimecodeCalculator.h"
#include "core/support/Numeric.h"

namespace tandrel {

std::optional<std::string> ProjectTimecodeInfo::startTimecodeString() const {
    if (!rate) {
        return std::nullopt;
    }
    const auto rational = rate->rational();
    const auto frames = roundToInt64(startSeconds * static_cast<double>(rational.num) /
                                     static_cast<double>(rational.den));
    if (!frames) {
        return std::nullopt;
    }
    return TimecodeCalculator::framesToTimecode(*frames, *rate);
}

} // namespace tandrel
