#include "timecode/core/TimecodeFrameRate.h"

#include "core/model/FrameRate.h"
#include "timecode/core/Coding.h"
#include "timecode/core/VideoFrameRate.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using R = TimecodeFrameRate;

struct Row {
    R rate;
    const char *raw;
    const char *verbose;
    int64_t rateNumerator, rateDenominator, durationNumerator, durationDenominator;
    int64_t alternateDenominator; // 0: none
    int maxFrames;
    bool drop;
    double dropped, elapsedRate;
    int64_t framesIn24Hours;
    int digits;
};

const Row table[] = {
    {R::fps23_976, "23.976", "23.976 fps", 24000, 1001, 1001, 24000, 23976, 24, false, 0, 24,
     2073600, 2},
    {R::fps24, "24", "24 fps", 24, 1, 100, 2400, 0, 24, false, 0, 24, 2073600, 2},
    {R::fps24_98, "24.98", "24.98 fps", 25000, 1001, 1001, 25000, 24980, 25, false, 0, 25, 2160000,
     2},
    {R::fps25, "25", "25 fps", 25, 1, 100, 2500, 0, 25, false, 0, 25, 2160000, 2},
    {R::fps29_97, "29.97", "29.97 fps", 30000, 1001, 1001, 30000, 29970, 30, false, 0, 30, 2592000,
     2},
    {R::fps29_97d, "29.97d", "29.97 fps drop", 30000, 1001, 1001, 30000, 29970, 30, true, 2, 29.97,
     2589408, 2},
    {R::fps30, "30", "30 fps", 30, 1, 100, 3000, 0, 30, false, 0, 30, 2592000, 2},
    {R::fps30d, "30d", "30 fps drop", 30, 1, 100, 3000, 0, 30, true, 2, 29.97, 2589408, 2},
    {R::fps47_952, "47.952", "47.952 fps", 48000, 1001, 1001, 48000, 47952, 48, false, 0, 48,
     4147200, 2},
    {R::fps48, "48", "48 fps", 48, 1, 100, 4800, 0, 48, false, 0, 48, 4147200, 2},
    {R::fps50, "50", "50 fps", 50, 1, 100, 5000, 0, 50, false, 0, 50, 4320000, 2},
    {R::fps59_94, "59.94", "59.94 fps", 60000, 1001, 1001, 60000, 59940, 60, false, 0, 60, 5184000,
     2},
    {R::fps59_94d, "59.94d", "59.94 fps drop", 60000, 1001, 1001, 60000, 59940, 60, true, 4, 59.94,
     5178816, 2},
    {R::fps60, "60", "60 fps", 60, 1, 100, 6000, 0, 60, false, 0, 60, 5184000, 2},
    {R::fps60d, "60d", "60 fps drop", 60, 1, 100, 6000, 0, 60, true, 4, 59.94, 5178816, 2},
    {R::fps90, "90", "90 fps", 90, 1, 100, 9000, 0, 90, false, 0, 90, 7776000, 2},
    {R::fps95_904, "95.904", "95.904 fps", 96000, 1001, 1001, 96000, 95904, 96, false, 0, 96,
     8294400, 2},
    {R::fps96, "96", "96 fps", 96, 1, 100, 9600, 0, 96, false, 0, 96, 8294400, 2},
    {R::fps100, "100", "100 fps", 100, 1, 100, 10000, 0, 100, false, 0, 100, 8640000, 2},
    {R::fps119_88, "119.88", "119.88 fps", 120000, 1001, 1001, 120000, 119880, 120, false, 0, 120,
     10368000, 3},
    {R::fps119_88d, "119.88d", "119.88 fps drop", 120000, 1001, 1001, 120000, 119880, 120, true, 8,
     119.88, 10357632, 3},
    {R::fps120, "120", "120 fps", 120, 1, 100, 12000, 0, 120, false, 0, 120, 10368000, 3},
    {R::fps120d, "120d", "120 fps drop", 120, 1, 100, 12000, 0, 120, true, 8, 119.88, 10357632, 3},
};

TEST(TimecodeFrameRate, AnswersItsTable) {
    ASSERT_EQ(std::size(table), R::allCases().size());
    for (size_t i = 0; i < std::size(table); ++i) {
        const Row &row = table[i];
        const R rate = R::allCases()[i];
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(rate, row.rate);
        EXPECT_EQ(rate.rawValue(), row.raw);
        EXPECT_EQ(rate.stringValue(), row.raw);
        EXPECT_EQ(rate.stringValueVerbose(), row.verbose);
        EXPECT_TRUE(rate.rate().isIdentical(Fraction(row.rateNumerator, row.rateDenominator)));
        EXPECT_TRUE(rate.frameDuration().isIdentical(
            Fraction(row.durationNumerator, row.durationDenominator)));
        if (row.alternateDenominator == 0) {
            EXPECT_FALSE(rate.alternateFrameDuration());
        } else {
            ASSERT_TRUE(rate.alternateFrameDuration());
            EXPECT_TRUE(rate.alternateFrameDuration()->isIdentical(
                Fraction(1000, row.alternateDenominator)));
        }
        EXPECT_EQ(rate.maxFrames(), row.maxFrames);
        EXPECT_EQ(rate.maxFrameNumberDisplayable(), row.maxFrames - 1);
        EXPECT_EQ(rate.isDrop(), row.drop);
        EXPECT_EQ(rate.framesDroppedPerMinute(), row.dropped);
        EXPECT_EQ(rate.frameRateForElapsedFramesCalculation(), row.elapsedRate);
        EXPECT_EQ(rate.frameRateForRealTimeCalculation(),
                  static_cast<double>(row.rateNumerator) /
                      static_cast<double>(row.rateDenominator));
        EXPECT_EQ(rate.maxTotalFrames(TimecodeUpperLimit::max24Hours), row.framesIn24Hours);
        EXPECT_EQ(rate.maxTotalFrames(TimecodeUpperLimit::max100Days), row.framesIn24Hours * 100);
        EXPECT_EQ(rate.numberOfDigits(), row.digits);
        // The drop totals remove D numbers from each minute but every tenth.
        EXPECT_EQ(row.framesIn24Hours,
                  24 * 3600 * row.maxFrames - static_cast<int64_t>(row.dropped) * 24 * 54);
        EXPECT_EQ(R::fromRawValue(row.raw), rate);
        EXPECT_EQ(rate.description(), row.raw);
    }
}

TEST(TimecodeFrameRate, LimitsAndTotals) {
    EXPECT_EQ(R(R::fps120d).maxTotalFrames(TimecodeUpperLimit::max100Days), 1035763200);
    EXPECT_EQ(R(R::fps119_88d).maxTotalFrames(TimecodeUpperLimit::max100Days), 1035763200);
    EXPECT_EQ(R(R::fps120).maxTotalFrames(TimecodeUpperLimit::max100Days), 1036800000);
    EXPECT_EQ(R(R::fps24).maxTotalFramesExpressible(TimecodeUpperLimit::max24Hours), 2073599);
    EXPECT_EQ(R(R::fps24).maxTotalSubFrames(TimecodeUpperLimit::max24Hours,
                                            TimecodeSubFramesBase::max80SubFrames),
              165888000);
    EXPECT_EQ(R(R::fps24).maxSubFrameCountExpressible(TimecodeUpperLimit::max24Hours,
                                                      TimecodeSubFramesBase::max80SubFrames),
              165887999);
    EXPECT_EQ(R(R::fps25).maxTotalSubFrames(TimecodeUpperLimit::max24Hours,
                                            TimecodeSubFramesBase::quarterFrames),
              8640000);
}

TEST(TimecodeFrameRate, LooksUpByTextRateAndDuration) {
    EXPECT_EQ(R::fromStringValue("30d"), R::fps30d);
    EXPECT_EQ(R(R::fps30d).rate(), Fraction(30, 1));
    EXPECT_FALSE(R::fromRawValue("29.97 fps drop"));
    EXPECT_FALSE(R::fromRawValue(" 29.97"));
    EXPECT_FALSE(R::fromRawValue("29.97D"));
    EXPECT_EQ(timecodeFrameRate("29.97d"), R::fps29_97d);
    EXPECT_FALSE(timecodeFrameRate("29.97i"));

    EXPECT_EQ(R::fromRate(Fraction(30000, 1001), false), R::fps29_97);
    EXPECT_EQ(R::fromRate(Fraction(30000, 1001), true), R::fps29_97d);
    EXPECT_EQ(R::fromRate(Fraction(30, 1), true), R::fps30d);
    EXPECT_EQ(R::fromRate(Fraction(60000, 1001), true), R::fps59_94d);
    EXPECT_FALSE(R::fromRate(Fraction(24, 1), true));
    EXPECT_EQ(R::fromRate(Fraction(2400, 100), false), R::fps24);
    EXPECT_EQ(R::fromRate(MediaTime(25, 1), false), R::fps25);
    EXPECT_FALSE(R::fromRate(Fraction(23976, 1000), false));

    EXPECT_EQ(R::fromFrameDuration(Fraction(1001, 24000), false), R::fps23_976);
    EXPECT_EQ(R::fromFrameDuration(Fraction(1000, 23976), false), R::fps23_976);
    EXPECT_EQ(R::fromFrameDuration(Fraction(1000, 29970), true), R::fps29_97d);
    EXPECT_EQ(R::fromFrameDuration(Fraction(1, 24), false), R::fps24);
    EXPECT_EQ(R::fromFrameDuration(MediaTime(100, 6000), true), R::fps60d);
    EXPECT_FALSE(R::fromFrameDuration(Fraction(1, 23), false));

    EXPECT_EQ(R::allDrop(), (std::vector<R>{R::fps29_97d, R::fps30d, R::fps59_94d, R::fps60d,
                                            R::fps119_88d, R::fps120d}));
    EXPECT_EQ(R::allNonDrop().size(), 17u);
    EXPECT_EQ(R::allNonDrop().front(), R::fps23_976);
}

TEST(TimecodeFrameRate, CompatibleGroups) {
    using Group = R::CompatibleGroup;
    for (R rate : R::allCases()) {
        int memberships = 0;
        for (Group group : Group::allCases()) {
            memberships += std::ranges::count(group.rates(), rate);
        }
        EXPECT_EQ(memberships, 1) << rate.rawValue();
    }
    EXPECT_EQ(R(R::fps23_976).compatibleGroup(), Group::ntscColor);
    EXPECT_EQ(R(R::fps59_94d).compatibleGroup(), Group::ntscDrop);
    EXPECT_EQ(R(R::fps90).compatibleGroup(), Group::whole);
    EXPECT_EQ(R(R::fps120d).compatibleGroup(), Group::ntscColorWallTime);
    EXPECT_EQ(Group(Group::ntscDrop).description(), "NTSC Drop-Frame");
    EXPECT_EQ(Group(Group::ntscColorWallTime).stringValue(), "NTSC Color Wall Time");
    EXPECT_EQ(R(R::fps30d).compatibleGroupRates(),
              (std::vector<R>{R::fps30d, R::fps60d, R::fps120d}));
    EXPECT_TRUE(R(R::fps29_97).isCompatible(R::fps23_976));
    EXPECT_FALSE(R(R::fps29_97).isCompatible(R::fps29_97d));
    EXPECT_FALSE(R(R::fps30).isCompatible(R::fps30d));
}

TEST(TimecodeFrameRate, InterchangeMetadata) {
    EXPECT_EQ(R(R::fps23_976).aafMetadata(), (R::AAFMetadata{"24000/1001", "false", "24"}));
    EXPECT_EQ(R(R::fps30d).aafMetadata(), (R::AAFMetadata{"30/1", "true", "30"}));
    EXPECT_EQ(R(R::fps120).aafMetadata().framesPerSecond, "120");
    EXPECT_EQ(R(R::fps23_976).fcpXMLMetadata(), (R::FCPXMLMetadata{"1001/24000s", "NDF"}));
    EXPECT_EQ(R(R::fps24).fcpXMLMetadata(), (R::FCPXMLMetadata{"100/2400s", "NDF"}));
    EXPECT_EQ(R(R::fps59_94d).fcpXMLMetadata(), (R::FCPXMLMetadata{"1001/60000s", "DF"}));
}

TEST(TimecodeFrameRate, MapsToVideoRates) {
    using V = VideoFrameRate;
    const std::pair<R, std::optional<V>> progressive[] = {
        {R::fps23_976, V::fps23_98p}, {R::fps24, V::fps24p},         {R::fps24_98, std::nullopt},
        {R::fps25, V::fps25p},        {R::fps29_97, V::fps29_97p},   {R::fps29_97d, V::fps29_97p},
        {R::fps30, V::fps30p},        {R::fps30d, V::fps30p},        {R::fps47_952, V::fps47_95p},
        {R::fps48, V::fps48p},        {R::fps50, V::fps50p},         {R::fps59_94, V::fps59_94p},
        {R::fps59_94d, V::fps59_94p}, {R::fps60, V::fps60p},         {R::fps60d, V::fps60p},
        {R::fps90, V::fps90p},        {R::fps95_904, V::fps95_9p},   {R::fps96, V::fps96p},
        {R::fps100, V::fps100p},      {R::fps119_88, V::fps119_88p}, {R::fps119_88d, V::fps119_88p},
        {R::fps120, V::fps120p},      {R::fps120d, V::fps120p},
    };
    for (const auto &[rate, video] : progressive) {
        EXPECT_EQ(rate.videoFrameRate(false), video) << rate.rawValue();
    }
    const std::pair<R, V> interlaced[] = {{R::fps25, V::fps25i},
                                          {R::fps29_97, V::fps29_97i},
                                          {R::fps29_97d, V::fps29_97i},
                                          {R::fps50, V::fps50i},
                                          {R::fps60, V::fps60i}};
    for (R rate : R::allCases()) {
        std::optional<V> expected;
        for (const auto &[from, to] : interlaced) {
            if (from == rate) {
                expected = to;
            }
        }
        EXPECT_EQ(rate.videoFrameRate(true), expected) << rate.rawValue();
    }
}

TEST(TimecodeFrameRate, CodesAsItsRawText) {
    EXPECT_EQ(Json(R(R::fps29_97d)).dump(), R"("29.97d")");
    EXPECT_EQ(Json::parse(R"("119.88d")").get<R>(), R::fps119_88d);
    EXPECT_THROW(Json::parse(R"("29.97 fps drop")").get<R>(), DecodingError);
    EXPECT_THROW(Json::parse("29.97").get<R>(), DecodingError);
}

// The core library's frame rates are a separate type; the texts they share must agree, and
// each must mean the same rate here.
TEST(TimecodeFrameRate, AgreesWithTheCoreFrameRates) {
    for (tandrel::FrameRate coreRate : tandrel::FrameRate::allCases) {
        SCOPED_TRACE(coreRate.timecodeRateString());
        const auto rate = R::fromRawValue(coreRate.timecodeRateString());
        ASSERT_TRUE(rate);
        EXPECT_EQ(rate->isDrop(), coreRate.isDropFrame());
        EXPECT_EQ(rate->maxFrames(), coreRate.nominalFPS());
        EXPECT_EQ(rate->rate(), Fraction(coreRate.rational().num, coreRate.rational().den));
    }
}

} // namespace
} // namespace timecode
