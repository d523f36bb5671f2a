#include "platform/runtime/Clock.h"

namespace platform {

namespace {

class SystemClock final : public Clock {
public:
    WallTime now() const override { return std::chrono::system_clock::now(); }
    SteadyTime steadyNow() const override { return std::chrono::steady_clock::now(); }
};

} // namespace

std::shared_ptr<const Clock> Clock::system() {
    static const auto clock = std::make_shared<const SystemClock>();
    return clock;
}

} // namespace platform
