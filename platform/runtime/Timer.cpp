#include "platform/runtime/Timer.h"

#include <QObject>
#include <QTimer>

namespace platform {

namespace {

class EventLoopTimer final : public Timer {
public:
    EventLoopTimer() {
        timer_.setSingleShot(true);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            // The shot may destroy this timer: nothing of it is touched after the call.
            const std::function<void()> fire = std::move(fire_);
            fire_ = nullptr;
            if (fire) {
                fire();
            }
        });
    }

    void start(std::chrono::nanoseconds delay, std::function<void()> fire) override {
        fire_ = std::move(fire);
        const auto milliseconds =
            std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, delay.zero()));
        timer_.start(milliseconds);
    }
    void stop() override {
        timer_.stop();
        fire_ = nullptr;
    }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> fire_;
};

} // namespace

TimerFactory eventLoopTimers() {
    return [] { return std::make_unique<EventLoopTimer>(); };
}

} // namespace platform
