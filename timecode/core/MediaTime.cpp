#include "timecode/core/MediaTime.h"

#include "timecode/core/NumericUtilities.h"

#include <limits>

namespace timecode {

double MediaTime::seconds() const {
    if (isNumeric()) {
        return static_cast<double>(value) / static_cast<double>(timescale);
    }
    if (isPositiveInfinity()) {
        return std::numeric_limits<double>::infinity();
    }
    if (isNegativeInfinity()) {
        return -std::numeric_limits<double>::infinity();
    }
    return std::numeric_limits<double>::quiet_NaN();
}

std::strong_ordering operator<=>(const MediaTime &lhs, const MediaTime &rhs) {
    const auto rank = [](const MediaTime &time) {
        if (!time.isValid()) {
            return 4;
        }
        if (time.isNegativeInfinity()) {
            return 0;
        }
        if (time.isPositiveInfinity()) {
            return 3;
        }
        return time.isIndefinite() ? 2 : 1;
    };
    const int lhsRank = rank(lhs);
    const int rhsRank = rank(rhs);
    if (lhsRank != rhsRank || lhsRank != 1) {
        return lhsRank <=> rhsRank;
    }
    // Both numeric with positive timescales: cross-multiplying keeps the order exact.
    return static_cast<Int128>(lhs.value) * rhs.timescale <=>
           static_cast<Int128>(rhs.value) * lhs.timescale;
}

} // namespace timecode
