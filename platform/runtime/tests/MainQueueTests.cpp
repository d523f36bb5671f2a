#include "platform/runtime/MainQueue.h"

#include <gtest/gtest.h>

#include <QObject>

#include <memory>
#include <thread>
#include <vector>

namespace platform {
namespace {

TEST(MainQueue, RunsWorkLaterInOrderAndDropsItWithItsContext) {
    QObject context;
    auto gone = std::make_unique<QObject>();
    std::vector<int> ran;
    MainQueue::async(&context, [&] {
        ran.push_back(1);
        // Handed over by running work: it runs after the work already waiting.
        MainQueue::async(&context, [&] { ran.push_back(4); });
    });
    MainQueue::async(gone.get(), [&] { ran.push_back(99); });
    std::thread([&] { MainQueue::async(&context, [&] { ran.push_back(2); }); }).join();
    MainQueue::async(&context, [&] { ran.push_back(3); });
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(MainQueue::pending(), 4);

    gone.reset();
    MainQueue::runPending();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(MainQueue::pending(), 0);
}

} // namespace
} // namespace platform
