#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeInterval.h"
#include "timecode/core/TimecodeSorting.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace timecode {
namespace {

using namespace timecode::test;

TEST(TimecodeCoding, WritesAndReadsTheNineKeys) {
    const Timecode timecode =
        make({0, 1, 2, 3, 4, 5}, R::fps29_97d, Base::max100SubFrames, Limit::max100Days);
    const Json json = timecode;
    EXPECT_EQ(json.dump(),
              R"({"frameRate":"29.97d","upperLimit":"100 days","subFramesBase":100,)"
              R"("days":0,"hours":1,"minutes":2,"seconds":3,"frames":4,"subFrames":5})");
    const Timecode back = json.get<Timecode>();
    EXPECT_EQ(back.properties(), timecode.properties());
    EXPECT_EQ(back.components(), timecode.components());

    // Read as written, valid or not.
    Json invalid = json;
    invalid["frames"] = 99;
    EXPECT_EQ(invalid.get<Timecode>().frames(), 99);

    const auto fails = [&](const char *key, const Json &value) {
        Json broken = json;
        if (value.is_null()) {
            broken.erase(key);
        } else {
            broken[key] = value;
        }
        EXPECT_THROW(broken.get<Timecode>(), DecodingError) << key << " " << value.dump();
    };
    fails("subFrames", nullptr);
    fails("frameRate", "29.97 d");
    fails("upperLimit", "24h");
    fails("subFramesBase", 60);
    fails("subFramesBase", (int64_t{1} << 32) + 80);
    fails("hours", "1");
    fails("minutes", 1.5);
}

TEST(TimecodeOrdering, Equality) {
    EXPECT_NE(make({0, 0, 0, 1, 0, 0}, R::fps24), make({0, 0, 0, 1, 0, 0}, R::fps25));
    EXPECT_NE(make({0, 0, 0, 0, 12, 40}, R::fps24, Base::max80SubFrames),
              make({0, 0, 0, 0, 12, 50}, R::fps24, Base::max100SubFrames));
    EXPECT_EQ(make({0, 0, 0, 1, 0, 0}, R::fps24, Base::max80SubFrames),
              make({0, 0, 0, 1, 0, 0}, R::fps24, Base::max100SubFrames));
    EXPECT_EQ(make({0, 1, 0, 0, 0, 0}, R::fps24, Base::max80SubFrames, Limit::max24Hours),
              make({0, 1, 0, 0, 0, 0}, R::fps24, Base::max80SubFrames, Limit::max100Days));
    EXPECT_NE(make({0, 0, 0, 0, 0, 29}, R::fps24, Base::max100SubFrames),
              make({0, 0, 0, 0, 0, 28}, R::fps24, Base::max100SubFrames));
    // The same time written two ways is the same value, and hashes alike.
    const Timecode a = make({0, 0, 0, 1, 0, 0});
    const Timecode b = make({0, 0, 0, 0, 24, 0});
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<Timecode>{}(a), std::hash<Timecode>{}(b));
    std::unordered_set<Timecode> set{a, b, make({0, 0, 0, 1, 0, 0}, R::fps24, Base::quarterFrames)};
    EXPECT_EQ(set.size(), 1u);
}

// Identical values are written the same way at the same properties; equal ones need not be.
TEST(TimecodeOrdering, Identical) {
    const Timecode second = make({0, 0, 0, 1, 0, 0});
    EXPECT_TRUE(second.isIdentical(make({0, 0, 0, 1, 0, 0})));
    EXPECT_FALSE(second.isIdentical(make({0, 0, 0, 0, 24, 0})));
    EXPECT_FALSE(second.isIdentical(make({0, 0, 0, 1, 0, 0}, R::fps25)));
    EXPECT_FALSE(second.isIdentical(make({0, 0, 0, 1, 0, 0}, R::fps24, Base::max100SubFrames)));
    EXPECT_FALSE(second.isIdentical(
        make({0, 0, 0, 1, 0, 0}, R::fps24, Base::max80SubFrames, Limit::max100Days)));
}

// Identity follows equality: one identity for the same time however it is written, distinct
// identities where equality tells values apart.
TEST(TimecodeIdentity, FollowsEquality) {
    const Timecode hour = make({0, 1, 0, 0, 0, 0});
    EXPECT_EQ(hour.id(), make({0, 0, 59, 59, 24, 0}).id());
    EXPECT_EQ(hour.id(),
              make({0, 1, 0, 0, 0, 0}, R::fps24, Base::max80SubFrames, Limit::max100Days).id());
    EXPECT_NE(hour.id(), make({0, 1, 0, 0, 0, 0}, R::fps25).id());

    const TimecodeInterval plus = TimecodeInterval::positive(make({}));
    EXPECT_NE(plus.id(), TimecodeInterval::negative(make({})).id());

    // Counts are one identity per sub-frame total; their values one per form and payload.
    const Count split(Value::split(1, 40), Base::max80SubFrames);
    const Count combined(Value::combined(1.5), Base::max80SubFrames);
    EXPECT_EQ(split.id(), combined.id());
    EXPECT_NE(split.value.id(), combined.value.id());
    EXPECT_EQ(std::unordered_set<Count>({split.id(), combined.id()}).size(), 1u);

    EXPECT_NE(FeetAndFrames(1, 2, 3, Base::max80SubFrames).id(),
              FeetAndFrames(1, 2, 3, Base::max100SubFrames).id());
    EXPECT_EQ(std::unordered_set<Components>(
                  {Components{0, 1, 0, 0, 0, 0}.id(), Components{0, 0, 60, 0, 0, 0}.id()})
                  .size(),
              2u);
}

TEST(TimecodeOrdering, Compares) {
    const Timecode a = make({0, 0, 0, 1, 0, 0}, R::fps24);
    const Timecode b = make({0, 0, 0, 1, 0, 0}, R::fps25);
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(b < a);
    EXPECT_TRUE(a <= b);
    EXPECT_EQ(a.compare(b), ComparisonResult::descending);
    EXPECT_EQ(b.compare(a), ComparisonResult::descending);
    EXPECT_EQ(a.compare(a), ComparisonResult::same);
    EXPECT_TRUE(make({0, 0, 0, 0, 23, 0}) < a);

    const Timecode start = make({0, 23, 0, 0, 0, 0});
    const Timecode early = make({0, 0, 30, 0, 0, 0});
    const Timecode late = make({0, 23, 30, 0, 0, 0});
    EXPECT_EQ(late.compare(early, start), ComparisonResult::ascending);
    EXPECT_EQ(late.compare(early), ComparisonResult::descending);
    EXPECT_EQ(late.compare(early, make({})), ComparisonResult::descending);
}

TEST(TimecodeOrdering, Steps) {
    EXPECT_EQ(make({0, 0, 0, 0, 2, 0}).advanced(-5).components(), Components::zero());
    EXPECT_EQ(make({0, 23, 59, 59, 23, 0}).advanced(1).stringValue(), "23:59:59:23");
    EXPECT_EQ(make({0, 0, 0, 0, 2, 0}).advanced(INT64_MAX).stringValue(), "23:59:59:23");
    EXPECT_EQ(make({0, 0, 0, 59, 29, 0}, R::fps29_97d).advanced(1).stringValue(), "00:01:00;02");
    EXPECT_EQ(make({0, 0, 0, 1, 0, 0}).distance(make({})), -24);
    EXPECT_EQ(make({0, 0, 0, 0, 0, 79}).distance(make({0, 0, 0, 0, 1, 0})), 1);
}

TEST(TimecodeSorting, SortsAroundMidnight) {
    const std::vector<Timecode> times{make({0, 0, 30, 0, 0, 0}), make({0, 23, 10, 0, 0, 0}),
                                      make({0, 23, 50, 0, 0, 0})};
    const Timecode start = make({0, 23, 0, 0, 0, 0});
    const auto text = [](const std::vector<Timecode> &list) {
        std::string joined;
        for (const Timecode &timecode : list) {
            joined += timecode.stringValue() + " ";
        }
        return joined;
    };
    EXPECT_EQ(text(sorted(times, true, start)), "23:10:00:00 23:50:00:00 00:30:00:00 ");
    EXPECT_EQ(text(sorted(times)), "00:30:00:00 23:10:00:00 23:50:00:00 ");
    EXPECT_EQ(text(sorted(times, true, make({}))), "00:30:00:00 23:10:00:00 23:50:00:00 ");
    EXPECT_EQ(text(sorted(times, false, start)), "00:30:00:00 23:50:00:00 23:10:00:00 ");
    EXPECT_TRUE(isSorted(sorted(times, true, start), true, start));
    EXPECT_FALSE(isSorted(times, true, start));
    EXPECT_TRUE(isSorted(std::vector<Timecode>{}));

    std::vector<Timecode> inPlace = times;
    sort(inPlace, false);
    EXPECT_EQ(text(inPlace), "23:50:00:00 23:10:00:00 00:30:00:00 ");

    const TimecodeSortComparator reverse(SortOrder::reverse);
    EXPECT_EQ(reverse.compare(times[0], times[1]), ComparisonResult::descending);
    std::vector<Timecode> byComparator = times;
    std::sort(byComparator.begin(), byComparator.end(), reverse);
    EXPECT_EQ(text(byComparator), "23:50:00:00 23:10:00:00 00:30:00:00 ");
    EXPECT_EQ(TimecodeSortComparator(SortOrder::forward, start),
              TimecodeSortComparator(SortOrder::forward, make({0, 22, 59, 59, 24, 0})));
    EXPECT_NE(TimecodeSortComparator(SortOrder::forward, start),
              TimecodeSortComparator(SortOrder::forward));
}

} // namespace
} // namespace timecode
