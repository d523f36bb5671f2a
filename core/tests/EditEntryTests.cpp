#include "core/model/EditEntry.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

std::vector<double> keypointTimes(const EditEntry &entry) {
    std::vector<double> times;
    for (const TimeMapKeypoint &keypoint : entry.timeMapKeypoints.value()) {
        times.push_back(keypoint.timelineSeconds);
    }
    return times;
}

TEST(EditEntry, RestrictingMovesTheSourceSideWithTheCut) {
    struct Case {
        const char *what;
        double in, out;
        bool reversed;
        std::optional<double> speed;
        EditEntry::Window window;
        std::optional<double> expectedIn, expectedOut, expectedSourceIn;
    };
    const Case cases[] = {
        {"inside the window", 12, 18, false, 2, {10, 20}, 12, 18, 100},
        {"head cut", 5, 15, false, 2, {10, 20}, 10, 15, 110},
        {"head cut at normal speed", 5, 15, false, std::nullopt, {10, 20}, 10, 15, 105},
        {"tail cut", 5, 15, false, 2, {0, 12}, 5, 12, 100},
        {"reversed, head cut", 5, 15, true, 2, {10, 20}, 10, 15, 100},
        {"reversed, tail cut", 5, 15, true, 2, {0, 12}, 5, 12, 106},
        {"reversed, both cut", 5, 15, true, 1, {6, 12}, 6, 12, 103},
        {"a sliver of 0.004 s is dropped", 5, 10.004, false, 1, {10, 20}, {}, {}, {}},
        {"0.005 s is kept", 5, 10.005, false, 1, {10, 20}, 10, 10.005, 105},
        {"outside the window", 0, 5, false, 1, {10, 20}, {}, {}, {}},
        {"an empty window", 0, 50, false, 1, {20, 10}, {}, {}, {}},
    };
    for (const Case &c : cases) {
        const EditEntry entry{.clipName = "clip",
                              .timelineIn = c.in,
                              .timelineOut = c.out,
                              .sourceIn = 100,
                              .speedRate = c.speed,
                              .isReversed = c.reversed};
        const std::optional<EditEntry> cut = entry.restricted(c.window);
        ASSERT_EQ(cut.has_value(), c.expectedIn.has_value()) << c.what;
        if (cut) {
            EXPECT_EQ(cut->timelineIn, *c.expectedIn) << c.what;
            EXPECT_EQ(cut->timelineOut, *c.expectedOut) << c.what;
            EXPECT_DOUBLE_EQ(cut->sourceIn, *c.expectedSourceIn) << c.what;
            EXPECT_EQ(cut->clipName, "clip");
        }
    }
}

TEST(EditEntry, RestrictingARetimedEntryLeavesItsCurveOnTheTimeline) {
    // Keypoints lie on the timeline: the curve does not move when the entry is cut.
    EditEntry entry{.timelineIn = 5,
                    .timelineOut = 15,
                    .sourceIn = 100,
                    .timeMapKeypoints =
                        std::vector<TimeMapKeypoint>{{5, 1, -1, -1}, {13, 4, 2, 3}}};
    const auto headCut = entry.restricted({10, 20});
    ASSERT_TRUE(headCut);
    EXPECT_EQ(headCut->timelineIn, 10);
    EXPECT_EQ(keypointTimes(*headCut), (std::vector<double>{5, 13}));
    EXPECT_EQ(headCut->timeMapKeypoints->back(), (TimeMapKeypoint{13, 4, 2, 3}));
    EXPECT_EQ(headCut->sourceIn, 100);

    const auto tailCut = entry.restricted({0, 12});
    ASSERT_TRUE(tailCut);
    EXPECT_EQ(keypointTimes(*tailCut), (std::vector<double>{5, 13}));

    // An empty keypoint list still marks a retimed entry: its source start stays.
    entry.timeMapKeypoints = std::vector<TimeMapKeypoint>{};
    EXPECT_EQ(entry.restricted({10, 20})->sourceIn, 100);
}

TEST(EditEntry, RestrictingKeepsDisplaySegmentsAsTheyAre) {
    const EditEntry entry{.timelineIn = 5,
                          .timelineOut = 15,
                          .displaySegments = {{.start = 5, .end = 8, .stackedVideoClips = {"V2"}},
                                              {.start = 8, .end = 15}}};
    const auto cut = entry.restricted({10, 20});
    ASSERT_TRUE(cut);
    ASSERT_EQ(cut->displaySegments.size(), 2u);
    EXPECT_EQ(cut->displaySegments[0].start, 5);
    EXPECT_EQ(cut->displaySegments[0].stackedVideoClips, std::vector<std::string>{"V2"});
}

} // namespace
} // namespace tandrel
