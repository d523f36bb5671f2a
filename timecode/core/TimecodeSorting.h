#pragma once

#include "timecode/core/ComparisonResult.h"
#include "timecode/core/Timecode.h"

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace timecode {

// Sorting timecodes, optionally relative to the timecode at which a timeline starts (see
// Timecode::compare). Sorts are stable and order by a strict weak order: a value goes before
// another only when it compares ascending against it (forward order), or the other compares
// ascending against it (reverse order). Values that compare equal in neither direction, such
// as the same time at two rates, keep their order.
std::vector<Timecode> sorted(std::span<const Timecode> timecodes, bool ascending = true,
                             const std::optional<Timecode> &timelineStart = std::nullopt);
void sort(std::span<Timecode> timecodes, bool ascending = true,
          const std::optional<Timecode> &timelineStart = std::nullopt);
// False at the first neighbours that compare descending (ascending asked) or ascending
// (descending asked). Neighbours of the same time at different rates compare descending both
// ways, so a list holding them may sort without answering true here.
bool isSorted(std::span<const Timecode> timecodes, bool ascending = true,
              const std::optional<Timecode> &timelineStart = std::nullopt);

// The sorting rule as a comparator object: compare() for three-way answers, operator() as the
// strict "goes before" of standard sorting algorithms.
struct TimecodeSortComparator {
    SortOrder order;
    std::optional<Timecode> timelineStart;

    TimecodeSortComparator(SortOrder order, std::optional<Timecode> timelineStart = std::nullopt)
        : order(order), timelineStart(std::move(timelineStart)) {}

    // The first against the second, ascending and descending swapped in reverse order.
    ComparisonResult compare(const Timecode &lhs, const Timecode &rhs) const;
    bool operator()(const Timecode &lhs, const Timecode &rhs) const;

    friend bool operator==(const TimecodeSortComparator &,
                           const TimecodeSortComparator &) = default;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeSortComparator> {
    std::size_t operator()(const timecode::TimecodeSortComparator &comparator) const noexcept {
        const std::size_t seed = std::hash<int>{}(static_cast<int>(comparator.order));
        return comparator.timelineStart ? seed ^ (comparator.timelineStart->hashValue() +
                                                  0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2))
                                        : seed;
    }
};
