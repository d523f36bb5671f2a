#include "timecode/core/TimecodeSorting.h"

#include <algorithm>
#include <numeric>

namespace timecode {

namespace {

// Timecode::compare answers ascending exactly when the first value's key is below the second's,
// so sorting by the keys sorts by that comparison, and a key-based order is always strict.
struct SortKey {
    std::variant<double, Timecode::ExactFrameCount> value;
    friend bool operator<(const SortKey &lhs, const SortKey &rhs) {
        if (const auto *time = std::get_if<double>(&lhs.value)) {
            return *time < std::get<double>(rhs.value);
        }
        return std::get<Timecode::ExactFrameCount>(lhs.value) <
               std::get<Timecode::ExactFrameCount>(rhs.value);
    }
};

// What Timecode::compare compares: the rounded real time, or with a timeline start that is not
// zero, the frame count moved a day back from the start on.
std::function<SortKey(const Timecode &)> keyFunction(const std::optional<Timecode> &timelineStart) {
    if (!timelineStart || timelineStart->frameCount().isZero()) {
        return [](const Timecode &timecode) { return SortKey{timecode.comparableRealTime()}; };
    }
    return [start = *timelineStart](const Timecode &timecode) {
        return SortKey{timecode.timelineCount(start)};
    };
}

// The positions of the values in sorted order, each key computed once.
std::vector<size_t> sortedPositions(std::span<const Timecode> timecodes, bool ascending,
                                    const std::optional<Timecode> &timelineStart) {
    const auto key = keyFunction(timelineStart);
    std::vector<SortKey> keys;
    keys.reserve(timecodes.size());
    for (const Timecode &timecode : timecodes) {
        keys.push_back(key(timecode));
    }
    std::vector<size_t> positions(timecodes.size());
    std::iota(positions.begin(), positions.end(), size_t{0});
    std::stable_sort(positions.begin(), positions.end(), [&](size_t lhs, size_t rhs) {
        return ascending ? keys[lhs] < keys[rhs] : keys[rhs] < keys[lhs];
    });
    return positions;
}

} // namespace

std::vector<Timecode> sorted(std::span<const Timecode> timecodes, bool ascending,
                             const std::optional<Timecode> &timelineStart) {
    std::vector<Timecode> result;
    result.reserve(timecodes.size());
    for (size_t position : sortedPositions(timecodes, ascending, timelineStart)) {
        result.push_back(timecodes[position]);
    }
    return result;
}

void sort(std::span<Timecode> timecodes, bool ascending,
          const std::optional<Timecode> &timelineStart) {
    const std::vector<Timecode> result = sorted(timecodes, ascending, timelineStart);
    std::copy(result.begin(), result.end(), timecodes.begin());
}

bool isSorted(std::span<const Timecode> timecodes, bool ascending,
              const std::optional<Timecode> &timelineStart) {
    const ComparisonResult outOfOrder =
        ascending ? ComparisonResult::descending : ComparisonResult::ascending;
    for (size_t i = 1; i < timecodes.size(); ++i) {
        if (timecodes[i - 1].compare(timecodes[i], timelineStart) == outOfOrder) {
            return false;
        }
    }
    return true;
}

ComparisonResult TimecodeSortComparator::compare(const Timecode &lhs, const Timecode &rhs) const {
    const ComparisonResult result = lhs.compare(rhs, timelineStart);
    if (order == SortOrder::forward || result == ComparisonResult::same) {
        return result;
    }
    return result == ComparisonResult::ascending ? ComparisonResult::descending
                                                 : ComparisonResult::ascending;
}

bool TimecodeSortComparator::operator()(const Timecode &lhs, const Timecode &rhs) const {
    // Swapping the answers of compare() is not strict (equivalent values at two rates compare
    // descending both ways); swapping the operands is.
    return order == SortOrder::forward
               ? lhs.compare(rhs, timelineStart) == ComparisonResult::ascending
               : rhs.compare(lhs, timelineStart) == ComparisonResult::ascending;
}

} // namespace timecode
