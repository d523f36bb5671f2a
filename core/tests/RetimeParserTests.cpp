#include "core/database/RetimeParser.h"
#include "core/tests/ClipFixture.h"
#include "core/tests/XMLFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tandrel {

void PrintTo(const TimeMapKeypoint &k, std::ostream *out) {
    *out << "(" << k.timelineSeconds << " -> " << k.sourceSeconds << ", " << k.inputTangentValue
         << ", " << k.outputTangentValue << ")";
}

namespace {

using Method = RetimeParser::FrameSamplingMethod;
using Values = RetimeParser::RetimeValues;
using testing::GeneratedLibrary;
using testing::HandMadeEvent;
using P = PlistValue;

std::optional<Values> parse(const std::string &document) {
    return RetimeParser::parse(
        std::span(reinterpret_cast<const uint8_t *>(document.data()), document.size()));
}

std::string curve(const std::string &parameter, const std::string &value) {
    return "<parameter name=\"" + parameter + "\"><curve value=\"" + value + "\"/></parameter>";
}

std::string keypoint(const std::string &time, const std::string &value,
                     const std::string &extra = "") {
    return "<keypoint><time>" + time + "</time><value>" + value + "</value>" + extra +
           "</keypoint>";
}

TEST(RetimeParser, ReadsCurvesAndKeypoints) {
    const Values normal;
    const struct {
        const char *what;
        std::string body;
        double speed;
        bool reversed;
        Method sampling;
        std::vector<TimeMapKeypoint> keypoints;
    } cases[] = {
        {"speed only", curve("Speed", "50"), 50, false, Method::floor, {}},
        {"reverse", curve("Reverse", "1") + curve("Reverse", "0.5"), 100, true, Method::floor, {}},
        {"optical flow", curve("Frame Sampling", "6"), 100, false, Method::opticalFlow, {}},
        {"frame blending, cut toward zero",
         curve("Frame Sampling", "2.9"),
         100,
         false,
         Method::frameBlending,
         {}},
        {"unknown sampling 3 to 5",
         curve("Frame Sampling", "3") + curve("Frame Sampling", "4") +
             curve("Frame Sampling", "5") + curve("Frame Sampling", "-1"),
         100,
         false,
         Method::floor,
         {}},
        {"last curve wins",
         curve("Speed", "50") + curve("Speed", "200"),
         200,
         false,
         Method::floor,
         {}},
        {"innermost parameter names the curve",
         "<parameter name=\"Speed\"><parameter name=\"Other\"><curve value=\"5\"/></parameter>"
         "<curve value=\"25\"/></parameter>",
         25,
         false,
         Method::floor,
         {}},
        {"values that are no finite number are skipped",
         curve("Speed", "nan") + curve("Speed", "inf") + curve("Speed", " 50") +
             curve("Frame Sampling", "1e999") + curve("Reverse", "-inf"),
         100,
         false,
         Method::floor,
         {}},
        {"keypoints of any parameter, in document order",
         "<parameter name=\"Time Map\"><curve>" + keypoint("1001 30000 1 0", "2") +
             keypoint("0 1", "0", "<inputTangentValue>0.5</inputTangentValue>") +
             "</curve></parameter>" + keypoint("\n 48  24 ", "\n 0x1p2\t") +
             keypoint("48\n24", "1"),
         100,
         false,
         Method::floor,
         {{1001.0 / 30000, 2, -1, -1}, {0, 0, 0.5, -1}, {2, 4, -1, -1}}},
        {"malformed keypoints are dropped, malformed values take defaults",
         keypoint("1 0", "1") + keypoint("1", "1") + keypoint("a 24", "1") +
             keypoint("1 -24", "1") + keypoint("1e308 1e-308", "1") +
             keypoint("24 24", "nan",
                      "<inputTangentValue>x</inputTangentValue>"
                      "<outputTangentValue>inf</outputTangentValue>"),
         100,
         false,
         Method::floor,
         {{1, 0, -1, -1}}},
        {"a time outside a keypoint is not one",
         "<time>1 24</time><value>3</value>",
         100,
         false,
         Method::floor,
         {}},
    };
    for (const auto &c : cases) {
        const auto values = parse("<?xml version=\"1.0\"?><scene>" + c.body + "</scene>");
        ASSERT_TRUE(values) << c.what;
        EXPECT_EQ(values->speed, c.speed) << c.what;
        EXPECT_EQ(values->isReversed, c.reversed) << c.what;
        EXPECT_EQ(values->frameSampling, c.sampling) << c.what;
        EXPECT_EQ(values->timeMapKeypoints, c.keypoints) << c.what;
    }
    EXPECT_EQ(parse(""), normal);
    EXPECT_EQ(parse("<scene>" + curve("Speed", "40") + "<broken"), (Values{.speed = 40}));
}

TEST(RetimeParser, RefusesDocumentsItCannotTrust) {
    const std::string body = "<scene>" + curve("Speed", "50") + "</scene>";
    const std::string entity = "<!DOCTYPE scene [<!ENTITY e \"x\">]>";
    const struct {
        const char *what;
        std::string document;
    } cases[] = {
        {"entity in the prolog", entity + body},
        {"entity behind a comment the guard stops at", "<!-- <scene> -->" + entity + body},
        {"external DTD", "<!DOCTYPE scene SYSTEM \"file:///etc/passwd\">" + body},
        {"UTF-16", testing::utf16(entity + body)},
        {"not UTF-8", body + "\xFF"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parse(c.document), std::nullopt) << c.what;
    }
}

TEST(RetimeParser, DerivesSpeedRampFreezeAndEffectiveSpeed) {
    const auto values = [](std::vector<TimeMapKeypoint> keypoints, double speed = 100,
                           bool reversed = false) {
        return Values{.speed = speed, .isReversed = reversed, .timeMapKeypoints = keypoints};
    };
    const struct {
        const char *what;
        Values values;
        bool retimed, ramp, freeze;
        std::optional<double> effectiveSpeed;
    } cases[] = {
        {"normal", values({}), false, false, false, std::nullopt},
        {"reversed", values({}, 100, true), true, false, false, std::nullopt},
        {"double speed", values({{0, 0}, {1, 2}}), false, false, false, 200},
        {"equal timeline times", values({{1, 0}, {1, 2}}), false, false, false, 0},
        {"backwards in time", values({{1, 0}, {0, 2}}), false, false, false, 0},
        {"no finite quotient", values({{0, -1e308}, {1e-300, 1e308}}), false, false, false, 0},
        {"freeze within a millisecond", values({{0, 5}, {1, 5.0005}}), false, false, true, 0.05},
        {"three keypoints", values({{0, 0}, {1, 1}, {2, 4}}), true, true, false, std::nullopt},
        {"freeze over three", values({{0, 3}, {1, 9}, {2, 3}}), true, true, true, std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.values.isRetimed(), c.retimed) << c.what;
        EXPECT_EQ(c.values.isSpeedRamp(), c.ramp) << c.what;
        EXPECT_EQ(c.values.isFreezeFrame(), c.freeze) << c.what;
        ASSERT_EQ(c.values.effectiveSpeed().has_value(), c.effectiveSpeed.has_value()) << c.what;
        if (c.effectiveSpeed) {
            EXPECT_NEAR(*c.values.effectiveSpeed(), *c.effectiveSpeed, 1e-9) << c.what;
        }
    }
    EXPECT_EQ(Method::fromRawValue(6), Method::opticalFlow);
    EXPECT_EQ(Method::fromRawValue(1), Method::nearest);
    for (int64_t raw : {-1, 3, 4, 5, 7}) {
        EXPECT_EQ(Method::fromRawValue(raw), std::nullopt) << raw;
    }
}

TEST(RetimeParser, FindsTheRetimesOfTheSampleEffectsTimeline) {
    GeneratedLibrary library(sample::standardSampleLibrary());
    auto &db = library.event("Day 1");
    const auto clips = library.spine("Day 1", "Effects");
    const struct {
        const char *clip;
        bool found;
        double speed;
        bool reversed;
        Method sampling;
        size_t keypoints;
        bool freeze;
        std::optional<double> effectiveSpeed;
    } expected[] = {
        {"Slow Arrival", true, 50, false, Method::opticalFlow, 2, false, 50},
        {"Arrival Ramp", true, 100, false, Method::floor, 3, false, std::nullopt},
        {"Kitchen Reverse", true, 100, true, Method::floor, 0, false, std::nullopt},
        {"Arrival Hold", true, 0, false, Method::floor, 2, true, 0},
        {"Kitchen Push", false, 0, false, Method::floor, 0, false, std::nullopt},
        {"Arrival Steady", false, 0, false, Method::floor, 0, false, std::nullopt},
    };
    ASSERT_EQ(clips.size(), std::size(expected));
    for (size_t i = 0; i < clips.size(); ++i) {
        const auto &e = expected[i];
        const auto found = RetimeParser::find(clips[i], db);
        ASSERT_EQ(found.has_value(), e.found) << e.clip;
        if (!found) {
            continue;
        }
        EXPECT_EQ(found->speed, e.speed) << e.clip;
        EXPECT_EQ(found->isReversed, e.reversed) << e.clip;
        EXPECT_EQ(found->frameSampling, e.sampling) << e.clip;
        EXPECT_EQ(found->timeMapKeypoints.size(), e.keypoints) << e.clip;
        EXPECT_EQ(found->isFreezeFrame(), e.freeze) << e.clip;
        ASSERT_EQ(found->effectiveSpeed().has_value(), e.effectiveSpeed.has_value()) << e.clip;
        if (e.effectiveSpeed) {
            EXPECT_NEAR(*found->effectiveSpeed(), *e.effectiveSpeed, 1e-9) << e.clip;
        }
    }
    // The keypoints are in the clip's own time, which for a clip of media is media time: the
    // slow clip starts at its media's first frame, 01:00:00:00 at 23.976, and shows 48 media
    // frames over its 96.
    const auto slow = RetimeParser::find(clips[0], db);
    const double start = 86400 * 1001.0 / 24000;
    EXPECT_NEAR(slow->timeMapKeypoints[0].timelineSeconds, start, 1e-9);
    EXPECT_NEAR(slow->timeMapKeypoints[0].sourceSeconds, start, 1e-9);
    EXPECT_NEAR(slow->timeMapKeypoints[1].timelineSeconds, start + 96 * 1001.0 / 24000, 1e-9);
    EXPECT_NEAR(slow->timeMapKeypoints[1].sourceSeconds, start + 48 * 1001.0 / 24000, 1e-9);
}

TEST(RetimeParser, SearchesBelowTheClipOnly) {
    HandMadeEvent event;
    const auto document = [](const std::string &text) {
        return P::Dictionary{{"channelData", P::data(Bytes(text.begin(), text.end()))}};
    };
    const auto speed = [&](int percent) {
        return document("<scene>" + curve("Speed", std::to_string(percent)) + "</scene>");
    };
    // A chain of `levels` collections below a clip, the last one a retiming effect.
    const auto chain = [&](int levels) {
        const int64_t clip = event.add("FFAnchoredCollection", P::Dictionary{});
        int64_t parent = clip;
        for (int level = 1; level < levels; ++level) {
            parent = event.add("FFEffectStack", P::Dictionary{}, parent);
        }
        event.add("FFRetimingVideoEffect", speed(levels), parent);
        return clip;
    };
    const int64_t eightDeep = chain(8);
    const int64_t nineDeep = chain(9);

    const int64_t connected = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t anchored = event.slot(connected, "anchoredItems");
    event.add("FFRetimingVideoEffect", speed(30), anchored);

    // An effect without channel data is searched like any collection; a refused document
    // ends the search.
    const int64_t withoutData = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t emptyEffect = event.add("FFRetimingVideoEffect", P::Dictionary{}, withoutData);
    event.add("FFRetimingVideoEffect", speed(60), emptyEffect);
    const int64_t refused = event.add("FFAnchoredCollection", P::Dictionary{});
    event.add("FFRetimingVideoEffect", std::nullopt, refused);
    event.add("FFRetimingVideoEffect",
              document("<!DOCTYPE s [<!ENTITY e \"x\">]><s>" + curve("Speed", "20") + "</s>"),
              refused);
    event.add("FFRetimingVideoEffect", speed(40), refused);

    auto &db = event.open();
    EXPECT_EQ(RetimeParser::find(eightDeep, db)->speed, 8);
    EXPECT_EQ(RetimeParser::find(nineDeep, db), std::nullopt);
    EXPECT_EQ(RetimeParser::find(connected, db), std::nullopt);
    EXPECT_EQ(RetimeParser::find(withoutData, db)->speed, 60);
    EXPECT_EQ(RetimeParser::find(refused, db), std::nullopt);
}

} // namespace
} // namespace tandrel
