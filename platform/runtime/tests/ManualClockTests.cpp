#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(ManualClock, FiresTimersAtTheirDueTimesInOrder) {
    ManualClock clock;
    const Clock::SteadyTime start = clock.steadyNow();
    std::vector<std::string> fired;
    const auto note = [&](std::string name) {
        return [&, name] {
            fired.push_back(name + "@" + std::to_string((clock.steadyNow() - start) / 1ms));
        };
    };
    const TimerFactory timers = clock.timers();
    auto late = timers();
    auto early = timers();
    auto together = timers();
    auto stopped = timers();
    auto restarted = timers();
    auto chained = timers();
    late->start(900ms, note("late"));
    early->start(100ms, note("early"));
    together->start(900ms, note("together"));
    stopped->start(200ms, note("stopped"));
    stopped->stop();
    restarted->start(300ms, note("first start"));
    restarted->start(400ms, note("restarted"));
    // A shot that starts another timer inside the advance: it fires within it too.
    chained->start(500ms, [&] {
        note("chained")();
        chained->start(100ms, note("from a shot"));
    });
    EXPECT_EQ(clock.pendingTimers(), 5);

    clock.advance(1s);
    EXPECT_EQ(fired, (std::vector<std::string>{"early@100", "restarted@400", "chained@500",
                                               "from a shot@600", "late@900", "together@900"}));
    EXPECT_EQ(clock.steadyNow() - start, 1s);
    EXPECT_FALSE(late->isActive());
    EXPECT_EQ(clock.pendingTimers(), 0);

    // A timer destroyed before it falls due never fires; one may destroy itself as it fires.
    auto gone = timers();
    gone->start(10ms, note("gone"));
    gone.reset();
    auto self = timers();
    self->start(10ms, [&] { self.reset(); });
    clock.advance(1s);
    EXPECT_EQ(fired.size(), 6u);
    EXPECT_EQ(self, nullptr);
}

} // namespace
} // namespace platform
