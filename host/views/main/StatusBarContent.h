#pragma once

#include "platform/runtime/Clock.h"

#include <chrono>
#include <optional>
#include <string>

namespace tandrel {

class AppState;

// What the status bar shows: whether the snapshot is written, the status line, how long ago
// it was written, and whether a refresh is under way.
struct StatusBarContent {
    static constexpr const char *refreshTooltip =
        "Re-scan now — FCP can sit on an edit (e.g. deleting/disabling a clip) for a while before "
        "it hits disk and our auto-refresh sees it.";
    static constexpr const char *refreshAccessibilityLabel = "Refresh Now";

    // The dot: green once the snapshot is written, else the kit's tertiary text colour.
    bool snapshotWritten = false;
    std::string statusMessage;
    // "Updated " + the time since the last write + " ago"; nothing before the first write.
    std::optional<std::string> updatedText;
    // While refreshing the button shows a spinner and takes no clicks.
    bool isRefreshing = false;

    static StatusBarContent of(const AppState &state, platform::Clock::WallTime now);

    friend bool operator==(const StatusBarContent &, const StatusBarContent &) = default;
};

// How long ago something happened, in words that count up as time passes: "a moment" under a
// second (and for a time still to come), then whole seconds, minutes, hours and days, the
// largest unit that fits ("1 second", "59 seconds", "1 minute", "2 hours", "3 days").
struct RelativeTimeText {
    static std::string since(platform::Clock::WallTime then, platform::Clock::WallTime now);
    // How long until the words for `then` change.
    static std::chrono::nanoseconds untilChange(platform::Clock::WallTime then,
                                                platform::Clock::WallTime now);
};

} // namespace tandrel
