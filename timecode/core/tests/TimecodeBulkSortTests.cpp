// Sorting many timecodes with many duplicates, also built with the standard library's debug
// mode, which checks that the order handed to the sorting algorithms is strict.
#include "timecode/core/TimecodeSorting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

namespace timecode {
namespace {

using R = TimecodeFrameRate;
using Base = Timecode::SubFramesBase;
using Limit = Timecode::UpperLimit;

// 100,000 values from 500 positions; the same time at 24 and 25 fps compares equal in neither
// direction, which a non-strict order turns into undefined behaviour.
std::vector<Timecode> manyDuplicates() {
    std::mt19937_64 random(7);
    std::vector<Timecode> pool;
    for (int i = 0; i < 500; ++i) {
        const R rate = i % 2 == 0 ? R::fps24 : R::fps25;
        Timecode timecode(Timecode::Properties(rate, Base::max80SubFrames, Limit::max24Hours));
        timecode.set(TimecodeSourceValue::frames(static_cast<int64_t>(random() % 2'000'000)));
        pool.push_back(timecode);
    }
    // Two values at the same time and different rates.
    pool.push_back(
        Timecode(TimecodeSourceValue::components(0, 1, 0, 0, 0, 0),
                 Timecode::Properties(R::fps24, Base::max80SubFrames, Limit::max24Hours)));
    pool.push_back(
        Timecode(TimecodeSourceValue::components(0, 1, 0, 0, 0, 0),
                 Timecode::Properties(R::fps25, Base::max80SubFrames, Limit::max24Hours)));
    std::vector<Timecode> values;
    values.reserve(100'000);
    for (int i = 0; i < 100'000; ++i) {
        values.push_back(pool[random() % pool.size()]);
    }
    return values;
}

// The values as rate and components, in a fixed order: equal for two lists that hold the same
// values.
std::vector<std::pair<int, std::array<int64_t, 6>>> census(const std::vector<Timecode> &values) {
    std::vector<std::pair<int, std::array<int64_t, 6>>> entries;
    entries.reserve(values.size());
    for (const Timecode &timecode : values) {
        const Timecode::Components &c = timecode.components();
        entries.push_back({timecode.frameRate().id(),
                           {c.days, c.hours, c.minutes, c.seconds, c.frames, c.subFrames}});
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(TimecodeBulkSort, SortsManyDuplicatesStrictly) {
    const std::vector<Timecode> values = manyDuplicates();
    const auto expected = census(values);
    const Timecode start(TimecodeSourceValue::components(0, 12, 0, 0, 0, 0),
                         Timecode::Properties(R::fps24, Base::max80SubFrames, Limit::max24Hours));
    for (const std::optional<Timecode> &timelineStart :
         {std::optional<Timecode>(), std::optional(start)}) {
        for (bool ascending : {true, false}) {
            const std::vector<Timecode> result = sorted(values, ascending, timelineStart);
            ASSERT_TRUE(census(result) == expected);
            const TimecodeSortComparator before(ascending ? SortOrder::forward : SortOrder::reverse,
                                                timelineStart);
            for (size_t i = 1; i < result.size(); ++i) {
                ASSERT_FALSE(before(result[i], result[i - 1])) << i;
            }
            // The comparator object is strict too, so the standard sorts take it.
            std::vector<Timecode> bySort = values;
            std::sort(bySort.begin(), bySort.end(), before);
            for (size_t i = 1; i < bySort.size(); ++i) {
                ASSERT_FALSE(before(bySort[i], bySort[i - 1])) << i;
            }
        }
    }
}

} // namespace
} // namespace timecode
