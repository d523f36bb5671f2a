#pragma once

#include <QObject>
#include <QPointer>

#include <chrono>
#include <functional>
#include <vector>

namespace corvane {

// Where the kit's delays and animations take their time from. The kit never reads the time
// or starts a timer of its own: it asks CorvaneClock::shared(), which is the system clock
// unless a test put a ManualClock in its place (ScopedClock), so that a test steps time by
// hand and never sleeps.
class CorvaneClock {
public:
    using Duration = std::chrono::milliseconds;

    virtual ~CorvaneClock() = default;

    // Monotonic time since an arbitrary start.
    virtual Duration now() const = 0;
    // Runs `work` once on the main thread, `delay` from now, unless `context` is destroyed
    // first. Nothing cancels it otherwise: callers that may change their mind check their
    // state when it runs.
    virtual void schedule(Duration delay, QObject *context, std::function<void()> work) = 0;

    static CorvaneClock &system();
    // The clock the kit uses now.
    static CorvaneClock &shared();

private:
    friend class ScopedClock;
    static CorvaneClock *replacement;
};

// Puts `clock` in the system clock's place for its lifetime.
class ScopedClock {
public:
    explicit ScopedClock(CorvaneClock &clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock &) = delete;
    ScopedClock &operator=(const ScopedClock &) = delete;

private:
    CorvaneClock *previous_;
};

// A clock that moves only when told: advance() runs every piece of work that falls due, in
// order of its time (and of scheduling, for equal times), with now() at that work's time.
class ManualClock : public CorvaneClock {
public:
    Duration now() const override { return now_; }
    void schedule(Duration delay, QObject *context, std::function<void()> work) override;

    // Moves the time on by `step`, running what falls due on the way, work scheduled by
    // that work included.
    void advance(Duration step);
    // How many pieces of work wait, their contexts alive or not.
    size_t pending() const { return queue_.size(); }

private:
    struct Entry {
        Duration due;
        uint64_t order;
        QPointer<QObject> context;
        std::function<void()> work;
    };

    Duration now_{0};
    uint64_t scheduled_ = 0;
    std::vector<Entry> queue_;
};

} // namespace corvane
