#include "timecode/core/FeetAndFrames.h"
#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using Base = Timecode::SubFramesBase;
using Value = Timecode::FrameCount::Value;

TEST(FeetAndFrames, Texts) {
    EXPECT_EQ(FeetAndFrames(12, 5, 0, Base::max80SubFrames).stringValue(), "12+05");
    EXPECT_EQ(FeetAndFrames(3, 16, 0, Base::max80SubFrames).description(), "3+16");
    EXPECT_EQ(FeetAndFrames(0, 0, 0, Base::max80SubFrames).stringValue(), "0+00");
    EXPECT_EQ(FeetAndFrames(12, 5, 7, Base::max80SubFrames).stringValueVerbose(), "12+05.07");

    EXPECT_EQ(FeetAndFrames("12+05", Base::max100SubFrames),
              FeetAndFrames(12, 5, 0, Base::max100SubFrames));
    EXPECT_EQ(FeetAndFrames("12+05.40", Base::max80SubFrames),
              FeetAndFrames(12, 5, 40, Base::max80SubFrames));
    for (const char *text : {"12:05", "12+", "-1+00", "+05", "12+05.", "12+05.4.0", "1+2+3", "",
                             "12+05.99999999999999999999"}) {
        EXPECT_THROW(FeetAndFrames(text, Base::max80SubFrames), Timecode::StringParseError) << text;
    }
}

TEST(FeetAndFrames, EqualityAndFrameCount) {
    EXPECT_NE(FeetAndFrames(1, 2, 0, Base::max80SubFrames),
              FeetAndFrames(1, 2, 0, Base::max100SubFrames));
    EXPECT_EQ(FeetAndFrames(2, 3, 0, Base::max80SubFrames).frameCount().value, Value::frames(35));
    EXPECT_EQ(FeetAndFrames(2, 3, 10, Base::max80SubFrames).frameCount().value,
              Value::split(35, 10));
    EXPECT_EQ(FeetAndFrames(12, 5, 0, Base::max80SubFrames).frameCount().wholeFrames(), 197);

    // A timecode reports itself in feet and frames and reads back from them.
    const Timecode timecode(TimecodeSourceValue::components(0, 0, 0, 8, 5, 20),
                            Timecode::Properties(TimecodeFrameRate::fps24, Base::max80SubFrames,
                                                 Timecode::UpperLimit::max24Hours));
    const FeetAndFrames feet = timecode.feetAndFramesValue();
    EXPECT_EQ(feet, FeetAndFrames(12, 5, 20, Base::max80SubFrames));
    EXPECT_EQ(timecode.setting(TimecodeSourceValue::feetAndFrames(feet)), timecode);
}

} // namespace
} // namespace timecode
