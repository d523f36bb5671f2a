#include "core/model/TimecodeCalculator.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using TC = TimecodeCalculator;

TEST(TimecodeCalculator, FramesToTimecode) {
    struct Case {
        int64_t frames;
        FrameRate::Case rate;
        const char *expected;
    };
    const Case cases[] = {
        {0, FrameRate::fps24, "00:00:00:00"},
        {86400, FrameRate::fps24, "01:00:00:00"},
        {2160000, FrameRate::fps24, "25:00:00:00"},
        {8640000, FrameRate::fps24, "100:00:00:00"},
        {1799, FrameRate::fps29_97df, "00:00:59;29"},
        {1800, FrameRate::fps29_97df, "00:01:00;02"},
        {17981, FrameRate::fps29_97df, "00:09:59;29"},
        {17982, FrameRate::fps29_97df, "00:10:00;00"},
        {1800, FrameRate::fps29_97ndf, "00:01:00:00"},
        {3600, FrameRate::fps59_94df, "00:01:00;04"},
        {35964, FrameRate::fps59_94df, "00:10:00;00"},
        {-1, FrameRate::fps29_97df, "00:00:00;00"},
        {-1, FrameRate::fps25, "00:00:00:00"},
        {90000 + 24, FrameRate::fps25, "01:00:00:24"},
        {INT64_MAX, FrameRate::fps29_97df, "85487080013854:22:15;29"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TC::framesToTimecode(c.frames, c.rate), c.expected) << c.frames;
    }
}

TEST(TimecodeCalculator, TimecodeToFrames) {
    struct Case {
        const char *text;
        FrameRate::Case rate;
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"00:01:00;02", FrameRate::fps29_97df, 1800},
        {"00:01:00:02", FrameRate::fps29_97df, 1800},
        {"00:01:00;02", FrameRate::fps29_97ndf, 1802},
        {"00:10:00;00", FrameRate::fps29_97df, 17982},
        {"00:10:00;00", FrameRate::fps59_94df, 35964},
        {"01:00:00:00", FrameRate::fps24, 86400},
        {"01:xx:00:00:00", FrameRate::fps25, 90000},
        {"01::00:00:00", FrameRate::fps25, 90000},
        {"00:00:61:30", FrameRate::fps25, 61 * 25 + 30}, // fields are not range-checked
        {"-00:00:01:00", FrameRate::fps25, 25},
        {"00:00:-1:+5", FrameRate::fps25, -20},
        {"00:00:00:00:00", FrameRate::fps25, std::nullopt},
        {"00:00:00", FrameRate::fps25, std::nullopt},
        {"00:00:00: 01", FrameRate::fps25, std::nullopt},
        {"", FrameRate::fps25, std::nullopt},
        {"99999999999999999999:00:00:00", FrameRate::fps25, std::nullopt},
        {"9223372036854775807:00:00:00", FrameRate::fps25, std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TC::timecodeToFrames(c.text, c.rate), c.expected) << c.text;
    }
}

TEST(TimecodeCalculator, DropFrameRoundTripsEveryFrameOfADay) {
    for (FrameRate rate : {FrameRate::fps29_97df, FrameRate::fps59_94df}) {
        const int64_t day = rate.nominalFPS() == 30 ? 2589408 : 5178816;
        for (int64_t frame = 0; frame < day; frame += 7) {
            ASSERT_EQ(TC::timecodeToFrames(TC::framesToTimecode(frame, rate), rate), frame);
        }
    }
}

TEST(TimecodeCalculator, SourceTimecodeAndArithmetic) {
    EXPECT_EQ(TC::sourceTimecodeAtPosition(110, 100, 5, 86400, FrameRate::fps24), "01:00:00:15");
    EXPECT_EQ(TC::sourceTimecodeAtPosition(0, 100, 5, 0, FrameRate::fps24), "00:00:00:00");
    EXPECT_EQ(TC::sourceTimecodeAtPosition(INT64_MAX, INT64_MIN, 0, 0, FrameRate::fps24),
              TC::framesToTimecode(INT64_MAX, FrameRate::fps24));

    EXPECT_EQ(TC::addTimecodes("00:00:01:00", "00:00:00:12", FrameRate::fps24), "00:00:01:12");
    EXPECT_EQ(TC::subtractTimecodes("00:00:01:00", "00:00:02:00", FrameRate::fps24), "00:00:00:00");
    EXPECT_EQ(TC::subtractTimecodes("00:01:00;02", "00:00:00;01", FrameRate::fps29_97df),
              "00:00:59;29");
    EXPECT_EQ(TC::addTimecodes("00:00:01:00", "junk", FrameRate::fps24), std::nullopt);
    EXPECT_EQ(TC::subtractTimecodes("junk", "00:00:01:00", FrameRate::fps24), std::nullopt);
}

TEST(TimecodeCalculator, ParsesTimeTexts) {
    struct Case {
        const char *text;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {"1001/24000", 1001.0 / 24000.0},
        {"0/1", 0.0},
        {"-1/2", -0.5},
        {"1//2", 0.5},
        {"+3/+4", 0.75},
        {"1001/0", std::nullopt},
        {"1001", std::nullopt},
        {"1/2/3", std::nullopt},
        {" 1/2", std::nullopt},
        {"1/2s", std::nullopt},
        {"1/2147483648", std::nullopt}, // timescale beyond 32 bits
        {"99999999999999999999/1", std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TC::parseCMTimeString(c.text), c.expected) << c.text;
    }
}

TEST(TimecodeCalculator, ParsesRangeTexts) {
    for (const char *text : {"{0/1,2400/2400}", "(0/1,2400/2400)", "0/1,,2400/2400"}) {
        const auto range = TC::parseCMTimeRangeString(text);
        ASSERT_TRUE(range) << text;
        EXPECT_EQ(range->start, 0.0);
        EXPECT_EQ(range->duration, 1.0);
    }
    for (const char *text : {"{0/1,}", "{0/1, 1/2}", "{0/1,1/2,1/3}", "{0/1,x/2}"}) {
        EXPECT_FALSE(TC::parseCMTimeRangeString(text)) << text;
    }
}

TEST(TimecodeCalculator, TimeTextToFrames) {
    EXPECT_EQ(TC::cmTimeStringToFrames("1001/24000", FrameRate::fps23_976), 1);
    EXPECT_EQ(TC::cmTimeStringToFrames("1/48", FrameRate::fps24), 1);
    EXPECT_EQ(TC::cmTimeStringToFrames("3600/1", FrameRate::fps25), 90000);
    EXPECT_EQ(TC::cmTimeStringToFrames("-1/48", FrameRate::fps24), 0); // toward zero
    EXPECT_EQ(TC::cmTimeStringToFrames("1/0", FrameRate::fps24), std::nullopt);
    EXPECT_EQ(TC::cmTimeStringToFrames("9223372036854775807/1", FrameRate::fps60), std::nullopt);
}

} // namespace
} // namespace tandrel
