#include "designkit/CorvaneClock.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

namespace corvane {

namespace {

class SystemClock : public CorvaneClock {
public:
    SystemClock() { started_.start(); }

    Duration now() const override { return Duration(started_.elapsed()); }

    void schedule(Duration delay, QObject *context, std::function<void()> work) override {
        QTimer::singleShot(delay, Qt::PreciseTimer, context, std::move(work));
    }

private:
    QElapsedTimer started_;
};

} // namespace

CorvaneClock *CorvaneClock::replacement = nullptr;

CorvaneClock &CorvaneClock::system() {
    static SystemClock clock;
    return clock;
}

CorvaneClock &CorvaneClock::shared() {
    return replacement != nullptr ? *replacement : system();
}

ScopedClock::ScopedClock(CorvaneClock &clock) : previous_(CorvaneClock::replacement) {
    CorvaneClock::replacement = &clock;
}

ScopedClock::~ScopedClock() {
    CorvaneClock::replacement = previous_;
}

void ManualClock::schedule(Duration delay, QObject *context, std::function<void()> work) {
    queue_.push_back({now_ + std::max(delay, Duration(0)), scheduled_++, context, std::move(work)});
}

void ManualClock::advance(Duration step) {
    const Duration target = now_ + std::max(step, Duration(0));
    for (;;) {
        const auto next =
            std::min_element(queue_.begin(), queue_.end(), [](const auto &a, const auto &b) {
                return a.due != b.due ? a.due < b.due : a.order < b.order;
            });
        if (next == queue_.end() || next->due > target) {
            break;
        }
        Entry entry = std::move(*next);
        queue_.erase(next);
        now_ = entry.due;
        if (entry.context) {
            entry.work();
        }
    }
    now_ = target;
}

} // namespace corvane
