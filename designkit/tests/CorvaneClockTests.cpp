#include "designkit/CorvaneAnimation.h"
#include "designkit/CorvaneClock.h"

#include <QObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace corvane;
using namespace std::chrono_literals;

TEST(CorvaneClock, ManualClockRunsDueWorkInOrderAndDropsWorkOfDestroyedContexts) {
    ManualClock clock;
    QObject context;
    auto gone = std::make_unique<QObject>();
    std::vector<std::pair<int, long>> ran;
    const auto note = [&](int id) { ran.emplace_back(id, long(clock.now().count())); };
    clock.schedule(30ms, &context, [&] { note(3); });
    clock.schedule(10ms, &context, [&] {
        note(1);
        // Work scheduled by work runs in the same advance when it falls due.
        clock.schedule(5ms, &context, [&] { note(2); });
    });
    clock.schedule(30ms, &context, [&] { note(4); }); // same time: in order of scheduling
    clock.schedule(20ms, gone.get(), [&] { note(99); });
    gone.reset();
    clock.advance(29ms);
    EXPECT_EQ(ran, (std::vector<std::pair<int, long>>{{1, 10}, {2, 15}}));
    EXPECT_EQ(clock.now(), 29ms);
    clock.advance(1ms);
    EXPECT_EQ(ran.size(), 4u);
    EXPECT_EQ(ran.back(), (std::pair<int, long>{4, 30}));
    EXPECT_EQ(clock.pending(), 0u);
}

TEST(CorvaneClock, AnimationEndsOnItsDurationAndRestartsCleanly) {
    ManualClock clock;
    ScopedClock scoped(clock);
    EXPECT_EQ(&CorvaneClock::shared(), &clock);
    CorvaneAnimation animation;
    std::vector<double> frames;
    int finished = 0;
    animation.start(
        100ms, CorvaneAnimation::easeInOut(), [&](double progress) { frames.push_back(progress); },
        [&] { ++finished; });
    EXPECT_EQ(frames, std::vector<double>{0});
    clock.advance(99ms);
    EXPECT_EQ(finished, 0);
    EXPECT_LT(frames.back(), 1);
    clock.advance(1ms);
    EXPECT_EQ(frames.back(), 1);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(animation.isRunning());

    // A new start drops the run under way: its frames and its end never come.
    frames.clear();
    animation.start(
        100ms, CorvaneAnimation::easeOut(), [&](double) { frames.push_back(-1); },
        [&] { finished += 10; });
    clock.advance(50ms);
    animation.start(100ms, CorvaneAnimation::easeOut(), [&](double p) { frames.push_back(p); });
    clock.advance(1s);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(frames.back(), 1);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), -1.0), 4); // 0, 16, 32, 48 ms
}
