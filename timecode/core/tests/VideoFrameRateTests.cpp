#include "timecode/core/VideoFrameRate.h"

#include "timecode/core/Coding.h"
#include "timecode/core/FrameRateProtocol.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using V = VideoFrameRate;
using R = TimecodeFrameRate;

TEST(VideoFrameRate, AnswersItsTable) {
    struct Row {
        V rate;
        const char *raw;
        Fraction rate_, duration;
        std::optional<Fraction> alternate;
        bool interlaced;
        std::optional<R> timecodeRate, dropTimecodeRate;
    };
    const std::optional<Fraction> none;
    const std::optional<R> absent;
    const Row rows[] = {
        {V::fps23_98p,
         "23.98p",
         {24000, 1001},
         {1001, 24000},
         Fraction(1000, 23976),
         false,
         R::fps23_976,
         absent},
        {V::fps24p, "24p", {24, 1}, {100, 2400}, none, false, R::fps24, absent},
        {V::fps25p, "25p", {25, 1}, {100, 2500}, none, false, R::fps25, absent},
        {V::fps25i, "25i", {25, 1}, {200, 5000}, none, true, R::fps25, absent},
        {V::fps29_97p,
         "29.97p",
         {30000, 1001},
         {1001, 30000},
         Fraction(1000, 29970),
         false,
         R::fps29_97,
         R::fps29_97d},
        {V::fps29_97i,
         "29.97i",
         {30000, 1001},
         {2002, 60000},
         Fraction(2000, 59940),
         true,
         R::fps29_97,
         R::fps29_97d},
        {V::fps30p, "30p", {30, 1}, {100, 3000}, none, false, R::fps30, R::fps30d},
        {V::fps47_95p,
         "47.95p",
         {48000, 1001},
         {1001, 48000},
         Fraction(1000, 47952),
         false,
         R::fps47_952,
         absent},
        {V::fps48p, "48p", {48, 1}, {100, 4800}, none, false, R::fps48, absent},
        {V::fps50p, "50p", {50, 1}, {100, 5000}, none, false, R::fps50, absent},
        {V::fps50i, "50i", {50, 1}, {200, 10000}, none, true, R::fps50, absent},
        {V::fps59_94p,
         "59.94p",
         {60000, 1001},
         {1001, 60000},
         Fraction(1000, 59940),
         false,
         R::fps59_94,
         R::fps59_94d},
        {V::fps59_94i,
         "59.94i",
         {60000, 1001},
         {2002, 120000},
         Fraction(2000, 119880),
         true,
         R::fps59_94,
         R::fps59_94d},
        {V::fps60p, "60p", {60, 1}, {100, 6000}, none, false, R::fps60, R::fps60d},
        {V::fps60i, "60i", {60, 1}, {200, 12000}, none, true, R::fps60, absent},
        {V::fps90p, "90p", {90, 1}, {100, 9000}, none, false, R::fps90, absent},
        {V::fps95_9p,
         "95.9p",
         {96000, 1001},
         {1001, 96000},
         Fraction(1000, 95904),
         false,
         R::fps95_904,
         absent},
        {V::fps96p, "96p", {96, 1}, {100, 9600}, none, false, R::fps96, absent},
        {V::fps100p, "100p", {100, 1}, {100, 10000}, none, false, R::fps100, absent},
        {V::fps119_88p,
         "119.88p",
         {120000, 1001},
         {1001, 120000},
         Fraction(1000, 119880),
         false,
         R::fps119_88,
         R::fps119_88d},
        {V::fps120p, "120p", {120, 1}, {100, 12000}, none, false, R::fps120, absent},
    };
    ASSERT_EQ(std::size(rows), V::allCases().size());
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        const V rate = V::allCases()[i];
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(rate, row.rate);
        EXPECT_EQ(rate.rawValue(), row.raw);
        EXPECT_EQ(V::fromStringValue(row.raw), rate);
        EXPECT_TRUE(rate.rate().isIdentical(row.rate_));
        EXPECT_TRUE(rate.frameDuration().isIdentical(row.duration));
        EXPECT_EQ(rate.alternateFrameDuration().has_value(), row.alternate.has_value());
        if (row.alternate) {
            EXPECT_TRUE(rate.alternateFrameDuration()->isIdentical(*row.alternate));
        }
        // Interlaced durations are the frame's duration written over twice the denominator.
        EXPECT_EQ(rate.frameDuration(), Fraction(1, 1) / rate.rate());
        EXPECT_EQ(rate.isInterlaced(), row.interlaced);
        EXPECT_EQ(rate.timecodeFrameRate(false), row.timecodeRate);
        EXPECT_EQ(rate.timecodeFrameRate(true), row.dropTimecodeRate);
    }
    EXPECT_DOUBLE_EQ(V(V::fps29_97p).fps(), 30000.0 / 1001.0);
}

TEST(VideoFrameRate, FiltersAndSorts) {
    EXPECT_EQ(filterFrameDuration(V::allCases(), Fraction(1001, 30000)),
              (std::vector<V>{V::fps29_97p, V::fps29_97i}));
    EXPECT_EQ(filterFrameDuration(V::allCases(), Fraction(1000, 29970)),
              (std::vector<V>{V::fps29_97p, V::fps29_97i}));
    EXPECT_EQ(filterRate(V::allCases(), Fraction(25, 1)), (std::vector<V>{V::fps25p, V::fps25i}));
    EXPECT_EQ(filterRate(V::allCases(), Fraction(60000, 2002)),
              (std::vector<V>{V::fps29_97p, V::fps29_97i}));
    EXPECT_EQ(sorted(std::vector<V>{V::fps120p, V::fps24p, V::fps23_98p}),
              (std::vector<V>{V::fps23_98p, V::fps24p, V::fps120p}));
    EXPECT_EQ(sorted(std::vector<R>{R::fps120d, R::fps23_976, R::fps30d, R::fps30}),
              (std::vector<R>{R::fps23_976, R::fps30, R::fps30d, R::fps120d}));
    EXPECT_EQ(frameRateSortIndex(V(V::fps120p)), 20u);
}

TEST(VideoFrameRate, LooksUpByTextRateAndDuration) {
    EXPECT_EQ(V::fromStringValue("119.88p"), V::fps119_88p);
    EXPECT_FALSE(V::fromStringValue("119.88"));
    EXPECT_FALSE(V::fromStringValue("29.97"));
    EXPECT_EQ(videoFrameRate("29.97i"), V::fps29_97i);
    EXPECT_FALSE(videoFrameRate("29.97d"));
    EXPECT_EQ(V::fromRate(Fraction(25, 1), true), V::fps25i);
    EXPECT_EQ(V::fromRate(Fraction(25, 1), false), V::fps25p);
    EXPECT_EQ(V::fromRate(MediaTime(30000, 1001), true), V::fps29_97i);
    EXPECT_FALSE(V::fromRate(Fraction(24, 1), true));
    EXPECT_EQ(V::fromFrameDuration(Fraction(1, 50), true), V::fps50i);
    EXPECT_EQ(V::fromFrameDuration(MediaTime(1001, 60000), false), V::fps59_94p);

    EXPECT_EQ(V(V::fps23_98p).rateCMTime(), MediaTime(24000, 1001));
    EXPECT_EQ(V(V::fps23_98p).rateCMTime().value, 24000);
    EXPECT_EQ(V(V::fps24p).frameDurationCMTime().value, 100);
    EXPECT_EQ(V(V::fps24p).frameDurationCMTime().timescale, 2400);
}

TEST(VideoFrameRate, LooksUpByFramesPerSecond) {
    struct Case {
        double fps;
        bool interlaced;
        bool strict;
        std::optional<V> expected;
    };
    const Case cases[] = {
        {29.97, false, true, V::fps29_97p},
        {29.97, true, true, V::fps29_97i},
        {23.976, false, true, V::fps23_98p},
        {23.98, false, true, std::nullopt},
        {23.98, false, false, V::fps23_98p},
        {25, true, true, V::fps25i},
        {24, true, true, std::nullopt},
        {30, false, true, V::fps30p},
        {29.97002997, false, true, V::fps29_97p},
        {59.9401, false, true, V::fps59_94p},
        // The second pass: 119.8795 truncates to 119.879 but rounds to 119.880.
        {119.8795, false, true, V::fps119_88p},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(V::fromFps(c.fps, c.interlaced, c.strict), c.expected) << c.fps;
    }
    // Single precision matches at one place whatever `strict` says.
    EXPECT_EQ(V::fromFps(29.97f, false, true), V::fps29_97p);
    EXPECT_EQ(V::fromFps(23.98f, false, true), V::fps23_98p);
}

TEST(VideoFrameRate, CodesAsItsRawText) {
    EXPECT_EQ(Json(V(V::fps59_94i)).dump(), R"("59.94i")");
    EXPECT_EQ(Json::parse(R"("25p")").get<V>(), V::fps25p);
    EXPECT_THROW(Json::parse(R"("25")").get<V>(), DecodingError);
}

} // namespace
} // namespace timecode
