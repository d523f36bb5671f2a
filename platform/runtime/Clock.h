#pragma once

#include <chrono>
#include <memory>

namespace platform {

// The time as the program reads it: wall time for what is recorded (a snapshot's date), steady
// time for intervals (debouncing). Handed to whoever needs the time, so that tests move it by
// hand (ManualClock) instead of waiting.
class Clock {
public:
    using WallTime = std::chrono::system_clock::time_point;
    using SteadyTime = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;

    virtual WallTime now() const = 0;
    virtual SteadyTime steadyNow() const = 0;

    // The system's clocks.
    static std::shared_ptr<const Clock> system();
};

} // namespace platform
