#include "plugin/SourceFrameRange.h"

#include "core/support/Numeric.h"

namespace tandrel {

std::optional<SourceFrameRange> SourceFrameRange::Builder::range() const {
    const auto low = truncateToInt64(low_);
    const auto high = truncateToInt64(high_);
    if (!low || !high) {
        return std::nullopt;
    }
    return SourceFrameRange{*low, std::max(*low, *high)};
}

} // namespace tandrel
