#pragma once

#include "platform/runtime/Clock.h"
#include "platform/runtime/Timer.h"

#include <chrono>
#include <memory>

namespace platform {

// A clock, and timers on it, that move only when told to: tests drive debouncing and other
// waits by advancing it. Both clocks it gives move together. Confined to one thread.
class ManualClock final : public Clock {
public:
    // Starts at 14 November 2023, 22:13:20 UTC (1 700 000 000 s since 1970).
    ManualClock();

    WallTime now() const override;
    SteadyTime steadyNow() const override;

    // Moves on by `by`. Every timer that falls due on the way fires at its due time (the clock
    // reads that time while it fires), earliest first, timers due together in the order they
    // were started; timers started by a shot fire too when they fall due within the advance.
    void advance(std::chrono::nanoseconds by);

    // Timers that run on this clock.
    TimerFactory timers();
    // Shots scheduled and not yet fired or cancelled.
    int pendingTimers() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace platform
