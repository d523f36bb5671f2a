#include "core/model/FrameRate.h"

#include <gtest/gtest.h>

#include <set>

namespace tandrel {
namespace {

TEST(FrameRate, TableIsConsistentAcrossCases) {
    std::set<std::string_view> texts;
    for (FrameRate rate : FrameRate::allCases) {
        const auto [num, den] = rate.rational();
        EXPECT_EQ(rate.fps(), static_cast<double>(num) / static_cast<double>(den));
        EXPECT_EQ(rate.fcpTimescale(), num);
        EXPECT_TRUE(den == 1 || den == 1001) << rate.caseName();
        // Every rate counts the next whole rate up.
        EXPECT_EQ(rate.nominalFPS(), (num + den - 1) / den) << rate.caseName();
        EXPECT_EQ(rate.isDropFrame(), rate.timecodeRateString().back() == 'd');
        texts.insert(rate.timecodeRateString());
    }
    EXPECT_EQ(texts.size(), 12u);
    EXPECT_EQ(FrameRate(FrameRate::fps23_976).fps(), 23.976023976023978);
    EXPECT_EQ(FrameRate(FrameRate::fps29_97df).timecodeRateString(), "29.97d");
    EXPECT_EQ(FrameRate(FrameRate::fps59_94ndf).nominalFPS(), 60);
}

TEST(FrameRate, RecognisesFrameDurations) {
    struct Case {
        int64_t duration;
        int32_t timescale;
        std::optional<FrameRate> expected;
    };
    const Case cases[] = {
        {1001, 24000, FrameRate::fps23_976},
        {1, 24, FrameRate::fps24},
        {100, 2400, FrameRate::fps24},
        {1, 25, FrameRate::fps25},
        {1001, 30000, FrameRate::fps29_97ndf},
        {1, 30, FrameRate::fps30},
        {1001, 48000, FrameRate::fps47_952},
        {1, 48, FrameRate::fps48},
        {1, 50, FrameRate::fps50},
        {1001, 60000, FrameRate::fps59_94ndf},
        {1, 60, FrameRate::fps60},
        // Window edges: rates that round to 23.97 and 23.98 are in, 23.96 and 23.99 out.
        {100000, 2397000, FrameRate::fps23_976},
        {100000, 2398000, FrameRate::fps23_976},
        {100000, 2396000, std::nullopt},
        {100000, 2399000, std::nullopt},
        {1, 23, std::nullopt},
        {1, 100, std::nullopt},
        {2, 47, std::nullopt}, // 23.5
        {0, 600, std::nullopt},
        {1, 0, std::nullopt},
        {0, 0, std::nullopt},
        {-1, 24, std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FrameRate::from(c.duration, c.timescale), c.expected)
            << c.duration << "/" << c.timescale;
    }
}

TEST(FrameRate, JsonRoundTripsEveryCase) {
    for (FrameRate rate : FrameRate::allCases) {
        const Json json = rate;
        ASSERT_EQ(json.size(), 1u);
        EXPECT_EQ(json.begin().key(), rate.caseName());
        EXPECT_TRUE(json.begin().value().is_object());
        EXPECT_EQ(json.get<FrameRate>(), rate);
    }
    EXPECT_EQ(Json(FrameRate(FrameRate::fps29_97df)).dump(), R"({"fps29_97df":{}})");
}

TEST(FrameRate, JsonReadingNeedsExactlyOneCaseKey) {
    EXPECT_EQ(Json::parse(R"({"fps25":{"x":1},"other":3})").get<FrameRate>(), FrameRate::fps25);
    for (const char *text : {R"({"fps24":{},"fps25":{}})", R"({})", R"({"other":{}})"}) {
        try {
            (void)Json::parse(text).get<FrameRate>();
            ADD_FAILURE() << text;
        } catch (const DecodingError &error) {
            EXPECT_EQ(error.kind(), DecodingError::Kind::typeMismatch);
            EXPECT_STREQ(error.what(), "Invalid number of keys found, expected one.");
        }
    }
    EXPECT_THROW((void)Json::parse(R"({"fps24":1})").get<FrameRate>(), DecodingError);
    EXPECT_THROW((void)Json::parse(R"("fps24")").get<FrameRate>(), DecodingError);
}

} // namespace
} // namespace tandrel
