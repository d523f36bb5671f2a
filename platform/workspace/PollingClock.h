#pragma once

#include <chrono>

namespace platform {

// The time and the waiting of code that polls, so that tests can run it without waiting.
class PollingClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~PollingClock() = default;

    // The steady clock and real sleeps; safe from any thread.
    static PollingClock &system();

    virtual TimePoint now() = 0;
    virtual void sleepFor(std::chrono::nanoseconds duration) = 0;
};

} // namespace platform
