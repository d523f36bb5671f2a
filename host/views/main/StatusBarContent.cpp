#include "host/views/main/StatusBarContent.h"

#include "host/state/AppState.h"

#include <array>

namespace tandrel {

namespace {

using namespace std::chrono_literals;

struct Unit {
    std::chrono::nanoseconds length;
    const char *one;
    const char *many;
};

// Largest first.
constexpr std::array<Unit, 4> units{{
    {24h, "day", "days"},
    {1h, "hour", "hours"},
    {1min, "minute", "minutes"},
    {1s, "second", "seconds"},
}};

} // namespace

StatusBarContent StatusBarContent::of(const AppState &state, platform::Clock::WallTime now) {
    StatusBarContent content;
    content.snapshotWritten = state.snapshotWritten();
    content.statusMessage = state.statusMessage();
    if (const auto &last = state.lastSnapshotTime()) {
        content.updatedText = "Updated " + RelativeTimeText::since(*last, now) + " ago";
    }
    content.isRefreshing = state.isRefreshing();
    return content;
}

std::string RelativeTimeText::since(platform::Clock::WallTime then, platform::Clock::WallTime now) {
    const std::chrono::nanoseconds elapsed = now - then;
    for (const Unit &unit : units) {
        if (elapsed >= unit.length) {
            const auto count = elapsed / unit.length;
            return std::to_string(count) + " " + (count == 1 ? unit.one : unit.many);
        }
    }
    return "a moment";
}

std::chrono::nanoseconds RelativeTimeText::untilChange(platform::Clock::WallTime then,
                                                       platform::Clock::WallTime now) {
    const std::chrono::nanoseconds elapsed = now - then;
    if (elapsed < 0ns) {
        return -elapsed + 1s;
    }
    for (const Unit &unit : units) {
        if (elapsed >= unit.length) {
            return unit.length - elapsed % unit.length;
        }
    }
    return 1s - elapsed;
}

} // namespace tandrel
