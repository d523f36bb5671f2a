#include "timecode/core/TimecodeComponent.h"

#include <vector>

namespace timecode {

namespace {

std::vector<TimecodeComponent> remaining(const TimecodeComponent::Set &excluding) {
    std::vector<TimecodeComponent> list;
    for (TimecodeComponent component : TimecodeComponent::allCases()) {
        if (excluding.count(component) == 0) {
            list.push_back(component);
        }
    }
    return list;
}

// The neighbour `step` places away in the remaining list (step is +1 or −1).
std::optional<TimecodeComponent> neighbour(TimecodeComponent component,
                                           const TimecodeComponent::Set &excluding, bool wrap,
                                           int step) {
    const std::vector<TimecodeComponent> list = remaining(excluding);
    if (list.empty()) {
        return std::nullopt;
    }
    const TimecodeComponent wrapTarget = step > 0 ? list.front() : list.back();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] != component) {
            continue;
        }
        const auto target = static_cast<std::ptrdiff_t>(i) + step;
        if (target >= 0 && target < static_cast<std::ptrdiff_t>(list.size())) {
            return list[static_cast<size_t>(target)];
        }
        return wrap ? wrapTarget : component;
    }
    // The component itself is excluded.
    return wrapTarget;
}

} // namespace

std::optional<TimecodeComponent> TimecodeComponent::first(const Set &excluding) {
    const auto list = remaining(excluding);
    return list.empty() ? std::nullopt : std::optional(list.front());
}

std::optional<TimecodeComponent> TimecodeComponent::last(const Set &excluding) {
    const auto list = remaining(excluding);
    return list.empty() ? std::nullopt : std::optional(list.back());
}

std::optional<TimecodeComponent> TimecodeComponent::next(const Set &excluding, bool wrap) const {
    return neighbour(*this, excluding, wrap, +1);
}

std::optional<TimecodeComponent> TimecodeComponent::previous(const Set &excluding,
                                                             bool wrap) const {
    return neighbour(*this, excluding, wrap, -1);
}

int TimecodeComponent::numberOfDigits(TimecodeFrameRate rate, TimecodeSubFramesBase base) const {
    switch (value_) {
    case frames:
        return rate.numberOfDigits();
    case subFrames:
        return base.numberOfDigits();
    default:
        return 2;
    }
}

std::string_view TimecodeComponent::nameLowerCamelCase() const {
    constexpr std::string_view names[] = {"days",    "hours",  "minutes",
                                          "seconds", "frames", "subFrames"};
    return names[value_];
}

std::string_view TimecodeComponent::nameCapitalized() const {
    constexpr std::string_view names[] = {"Days",    "Hours",  "Minutes",
                                          "Seconds", "Frames", "SubFrames"};
    return names[value_];
}

std::string_view TimecodeComponent::nameLowercased() const {
    constexpr std::string_view names[] = {"days",    "hours",  "minutes",
                                          "seconds", "frames", "subframes"};
    return names[value_];
}

} // namespace timecode
