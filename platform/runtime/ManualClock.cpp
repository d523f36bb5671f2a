#include "platform/runtime/ManualClock.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace platform {

struct ManualClock::State {
    std::chrono::nanoseconds elapsed{0};
    uint64_t nextShot = 0;
    // Pending shots by due time, then by the order they were started.
    std::map<std::pair<std::chrono::nanoseconds, uint64_t>, std::function<void()>> shots;
};

namespace {

constexpr std::chrono::seconds origin{1'700'000'000};

class ManualTimer final : public Timer {
public:
    explicit ManualTimer(std::shared_ptr<ManualClock::State> state) : state_(std::move(state)) {}
    ~ManualTimer() override { stop(); }

    void start(std::chrono::nanoseconds delay, std::function<void()> fire) override {
        stop();
        key_ = {state_->elapsed + std::max(delay, delay.zero()), state_->nextShot++};
        state_->shots.emplace(*key_, [this, fire = std::move(fire)] {
            key_.reset();
            fire();
        });
    }
    void stop() override {
        if (key_) {
            state_->shots.erase(*key_);
            key_.reset();
        }
    }
    bool isActive() const override { return key_.has_value(); }

private:
    std::shared_ptr<ManualClock::State> state_;
    std::optional<std::pair<std::chrono::nanoseconds, uint64_t>> key_;
};

} // namespace

ManualClock::ManualClock() : state_(std::make_shared<State>()) {}

Clock::WallTime ManualClock::now() const {
    return WallTime(std::chrono::duration_cast<WallTime::duration>(origin + state_->elapsed));
}

Clock::SteadyTime ManualClock::steadyNow() const {
    return SteadyTime(std::chrono::duration_cast<SteadyTime::duration>(origin + state_->elapsed));
}

void ManualClock::advance(std::chrono::nanoseconds by) {
    const std::chrono::nanoseconds target = state_->elapsed + by;
    while (!state_->shots.empty() && state_->shots.begin()->first.first <= target) {
        auto shot = state_->shots.extract(state_->shots.begin());
        state_->elapsed = std::max(state_->elapsed, shot.key().first);
        // The shot may destroy its timer, and with it the function: it runs from here.
        const std::function<void()> fire = std::move(shot.mapped());
        fire();
    }
    state_->elapsed = std::max(state_->elapsed, target);
}

TimerFactory ManualClock::timers() {
    return [state = state_] { return std::make_unique<ManualTimer>(state); };
}

int ManualClock::pendingTimers() const {
    return static_cast<int>(state_->shots.size());
}

} // namespace platform
