#include "host/bridge/DarwinObserverBox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tandrel::ExtensionBridge {
namespace {

using Log = std::vector<std::string>;

TEST(DarwinObserverBox, RunsTheCallbacksOfTheNameInOrderOncePerFiring) {
    DarwinObserverBox box;
    Log log;
    box.fire("com.ostrevale.tandrel.selectionChanged"); // nothing registered yet
    box.registerCallback(DarwinNotification::selectionChanged, [&] { log.push_back("first"); });
    box.registerCallback(DarwinNotification::selectionChanged, [&] { log.push_back("second"); });
    box.registerCallback(DarwinNotification::xmlDropped, [&] { log.push_back("drop"); });

    box.fire("com.ostrevale.tandrel.selectionChanged");
    EXPECT_EQ(log, (Log{"first", "second"}));
    log.clear();
    box.fire("com.ostrevale.tandrel.unknown");
    box.fire("selectionChanged");
    box.fire("");
    EXPECT_EQ(log, Log{});
    box.fire("com.ostrevale.tandrel.xmlDropped");
    EXPECT_EQ(log, Log{"drop"});
}

TEST(DarwinObserverBox, ACallbackMayRegisterAnotherWhichRunsFromTheNextFiringOn) {
    DarwinObserverBox box;
    Log log;
    box.registerCallback(DarwinNotification::presetsChanged, [&] {
        log.push_back("outer");
        box.registerCallback(DarwinNotification::presetsChanged, [&] { log.push_back("inner"); });
    });
    box.fire("com.ostrevale.tandrel.presetsChanged");
    EXPECT_EQ(log, Log{"outer"});
    box.fire("com.ostrevale.tandrel.presetsChanged");
    EXPECT_EQ(log, (Log{"outer", "outer", "inner"}));
}

TEST(DarwinObserverBox, ConcurrentFiringWhileOthersRegisterIsSafe) {
    DarwinObserverBox box;
    std::atomic<int> runs{0};
    std::thread registering([&] {
        for (int i = 0; i < 200; ++i) {
            box.registerCallback(DarwinNotification::xmlDropped, [&] { ++runs; });
        }
    });
    std::thread firing([&] {
        for (int i = 0; i < 200; ++i) {
            box.fire("com.ostrevale.tandrel.xmlDropped");
        }
    });
    registering.join();
    firing.join();
    const int before = runs;
    box.fire("com.ostrevale.tandrel.xmlDropped");
    EXPECT_EQ(runs - before, 200);
}

} // namespace
} // namespace tandrel::ExtensionBridge
