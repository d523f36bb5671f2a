#include "timecode/core/TimecodeFrameCount.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

#include <limits>
#include <unordered_set>

namespace timecode {
namespace {

using Count = TimecodeFrameCount;
using Value = Count::Value;
using Base = TimecodeSubFramesBase;

Count at80(Value value) {
    return Count(value, Base::max80SubFrames);
}

TEST(TimecodeFrameCount, ReadsEveryForm) {
    struct Case {
        Count count;
        int64_t wholeFrames, subFrames, subFrameCount;
        const char *decimal;
        double doubleValue;
    };
    const Case cases[] = {
        {at80(Value::frames(24)), 24, 0, 1920, "24", 24},
        {at80(Value::split(1, 40)), 1, 40, 120, "1.5", 1.5},
        {at80(Value::split(1, -80)), 1, -80, 0, "0", 0},
        {at80(Value::split(0, 100)), 0, 100, 100, "1.25", 1.25},
        {at80(Value::combined(1.999999999)), 1, 79, 159, "1.99999999", 1.999999999},
        {at80(Value::combined(-1.5)), -1, -40, -120, "-1.5", -1.5},
        {at80(Value::combined(0.29)), 0, 23, 23, "0.29", 0.29},
        {at80(Value::splitUnitInterval(2, 0.5)), 2, 40, 200, "2.5", 2.5},
        {Count(Value::combined(0.29), Base::max100SubFrames), 0, 29, 29, "0.29", 0.29},
        {Count(Value::split(3, 1), Base::quarterFrames), 3, 1, 13, "3.25", 3.25},
        // 29 ÷ 100 × 100 is 28.999… in floating point: the interval still reads as 29, as its
        // decimal value does (every timecode's frame count holds its sub-frames this way).
        {Count(Value::splitUnitInterval(0, 0.29), Base::max100SubFrames), 0, 29, 29, "0.29", 0.29},
        {Count(Value::splitUnitInterval(-1, -0.29), Base::max100SubFrames), -1, -29, -129, "-1.29",
         -1.29},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count.value.debugDescription());
        EXPECT_EQ(c.count.wholeFrames(), c.wholeFrames);
        EXPECT_EQ(c.count.subFrames(), c.subFrames);
        EXPECT_EQ(c.count.subFrameCount(), c.subFrameCount);
        EXPECT_EQ(c.count.decimalValue().description(), c.decimal);
        EXPECT_DOUBLE_EQ(c.count.doubleValue(), c.doubleValue);
    }
}

TEST(TimecodeFrameCount, ComparesBySubFrameCountOnly) {
    const Count split = at80(Value::split(1, 40));
    const Count combined = at80(Value::combined(1.5));
    const Count otherBase(Value::split(1, 20), Base::max100SubFrames);
    EXPECT_EQ(split, combined);
    EXPECT_EQ(split, otherBase);
    EXPECT_EQ(std::hash<Count>{}(split), std::hash<Count>{}(otherBase));
    EXPECT_LT(at80(Value::frames(1)), at80(Value::split(1, 1)));
    EXPECT_GT(at80(Value::frames(0)), at80(Value::split(0, -1)));
    EXPECT_FALSE(split.value == combined.value);
}

TEST(TimecodeFrameCount, ValuesCompareFormByForm) {
    EXPECT_EQ(Value::combined(0.0), Value::combined(-0.0));
    EXPECT_EQ(std::hash<Value>{}(Value::combined(0.0)), std::hash<Value>{}(Value::combined(-0.0)));
    EXPECT_FALSE(Value::frames(1) == Value::split(1, 0));
    EXPECT_FALSE(Value::split(1, 2) == Value::split(1, 3));
    EXPECT_EQ(Value::splitUnitInterval(1, 0.5), Value::splitUnitInterval(1, 0.5));
    EXPECT_EQ(
        (std::unordered_set<Value>{Value::frames(1), Value::frames(1), Value::split(1, 0)}).size(),
        2u);
}

TEST(TimecodeFrameCount, ZeroAndSign) {
    EXPECT_TRUE(at80(Value::combined(-0.0)).isZero());
    EXPECT_FALSE(at80(Value::split(1, -80)).isZero());
    EXPECT_TRUE(at80(Value::splitUnitInterval(0, 0)).isZero());
    EXPECT_TRUE(at80(Value::split(0, -1)).isNegative());
    EXPECT_FALSE(at80(Value::frames(0)).isNegative());
}

TEST(TimecodeFrameCount, ArithmeticAnswersSplitCounts) {
    const auto expectSplit = [](const Count &count, int64_t frames, int64_t subFrames) {
        ASSERT_EQ(count.value.form(), Value::Form::split);
        EXPECT_EQ(count.value.get<Value::Split>()->frames, frames);
        EXPECT_EQ(count.value.get<Value::Split>()->subFrames, subFrames);
    };
    const Count ten(Value::frames(10), Base::quarterFrames);
    const Count eleven(Value::frames(11), Base::quarterFrames);
    expectSplit(ten - eleven, -1, 0);
    expectSplit(at80(Value::split(0, 1)) - at80(Value::split(0, 2)), 0, -1);
    expectSplit(at80(Value::frames(3)) * 0.5, 1, 40);
    expectSplit(at80(Value::split(0, -5)) + at80(Value::frames(0)), 0, -5);
    expectSplit(at80(Value::frames(3)) / 2.0, 1, 40);
    expectSplit(ten + eleven, 21, 0);
    // The other count's sub-frames are taken in its own base, unconverted.
    expectSplit(at80(Value::frames(1)) + Count(Value::split(0, 50), Base::max100SubFrames), 1, 50);
    EXPECT_EQ((ten + eleven).subFramesBase(), Base::quarterFrames);
}

TEST(TimecodeFrameCount, SaturatesBeyondSixtyFourBits) {
    constexpr int64_t largest = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(at80(Value::combined(1e300)).wholeFrames(), largest);
    EXPECT_EQ(at80(Value::combined(std::nan(""))).wholeFrames(), 0);
    EXPECT_EQ(at80(Value::frames(largest)).subFrameCount(), largest);
    EXPECT_EQ(at80(Value::frames(std::numeric_limits<int64_t>::min())).subFrameCount(),
              std::numeric_limits<int64_t>::min());
    EXPECT_EQ((at80(Value::frames(largest)) + at80(Value::frames(1))).subFrameCount(), largest);
    EXPECT_EQ((at80(Value::frames(1)) / 0.0).subFrameCount(), largest);
}

TEST(TimecodeFrameCount, Texts) {
    EXPECT_EQ(at80(Value::frames(24)).description(), "24");
    EXPECT_EQ(at80(Value::split(24, 0)).description(), "24.0");
    EXPECT_EQ(at80(Value::split(24, 40)).description(), "24.5");
    EXPECT_EQ(Value::frames(24).description(), "24 frames");
    EXPECT_EQ(Value::split(24, 5).description(), "24.5 frames");
    EXPECT_EQ(Value::split(24, 50).description(), "24.50 frames");
    EXPECT_EQ(Value::combined(1.5).description(), "1.5 frames");
    EXPECT_EQ(Value::splitUnitInterval(1, 0.25).description(), "1.25 frames");
    EXPECT_EQ(Value::frames(24).debugDescription(), ".frames(24)");
    EXPECT_EQ(Value::split(24, 5).debugDescription(), ".split(frames: 24, subFrames: 5)");
    EXPECT_EQ(Value::combined(1.5).debugDescription(), ".combined(1.5)");
    EXPECT_EQ(Value::splitUnitInterval(1, 0.5).debugDescription(),
              ".splitUnitInterval(frames: 1, subFramesUnitInterval: 0.5)");
}

TEST(TimecodeSubFramesBase, ConvertsAndDescribes) {
    EXPECT_EQ(Base(Base::max100SubFrames).convert(25, Base::max80SubFrames), 20);
    EXPECT_EQ(Base(Base::max100SubFrames).convert(25, Base::quarterFrames), 1);
    EXPECT_EQ(Base(Base::max80SubFrames).convert(79, Base::max80SubFrames), 79);
    EXPECT_EQ(Base(Base::max100SubFrames).convert(-25, Base::max80SubFrames), -20);
    // 92 ÷ 80 × 100 lands a hair below 115 in binary; the integer form does not.
    EXPECT_EQ(Base(Base::max80SubFrames).convert(92, Base::max100SubFrames), 115);
    for (int value = 0; value < 100; ++value) {
        EXPECT_EQ(Base(Base::max100SubFrames).convert(value, Base::max80SubFrames),
                  value * 80 / 100);
    }
    EXPECT_EQ(Base(Base::quarterFrames).stringValueVerbose(), "4 (Quarter-Frames)");
    EXPECT_EQ(Base(Base::max80SubFrames).description(), "80");
    EXPECT_EQ(Base::fromRawValue(100), Base::max100SubFrames);
    EXPECT_FALSE(Base::fromRawValue(50));
}

} // namespace
} // namespace timecode
