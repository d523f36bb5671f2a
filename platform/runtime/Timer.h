#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace platform {

// A single-shot timer on the thread that starts it. Destroying it, or stopping it, cancels a
// pending shot. Injected through a TimerFactory, so that tests fire it by moving a
// ManualClock instead of waiting.
class Timer {
public:
    virtual ~Timer() = default;

    // Calls `fire` once, `delay` from now; a shot still pending is replaced. `fire` may destroy
    // the timer.
    virtual void start(std::chrono::nanoseconds delay, std::function<void()> fire) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

using TimerFactory = std::function<std::unique_ptr<Timer>()>;

// Timers of the Qt event loop of the calling thread; a delay is rounded up to whole
// milliseconds, so a shot never comes early.
TimerFactory eventLoopTimers();

} // namespace platform
