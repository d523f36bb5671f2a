#pragma once

#include "timecode/core/TimecodeFrameRate.h"
#include "timecode/core/TimecodeSubFramesBase.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string_view>

namespace timecode {

// One of the six components of a timecode. Declaration order is display, sort and focus order.
// Known in a timecode as `Timecode::Component`.
class TimecodeComponent {
public:
    enum Case : uint8_t { days, hours, minutes, seconds, frames, subFrames };
    using Set = std::set<TimecodeComponent>;

    // Built once; a reference, so that begin() and end() come from one array.
    static const std::array<TimecodeComponent, 6> &allCases();

    constexpr TimecodeComponent(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }
    constexpr Case id() const { return value_; }

    // Navigation among the components that are not excluded. Nothing answers when every
    // component is excluded.
    static std::optional<TimecodeComponent> first(const Set &excluding = {});
    static std::optional<TimecodeComponent> last(const Set &excluding = {});
    // The neighbour in display order. An excluded start answers the first (last) remaining
    // component; at the end, the other end when wrapping, else the component itself.
    std::optional<TimecodeComponent> next(const Set &excluding, bool wrap) const;
    std::optional<TimecodeComponent> previous(const Set &excluding, bool wrap) const;

    // Decimal digits of the component's field at the rate and base.
    int numberOfDigits(TimecodeFrameRate rate, TimecodeSubFramesBase base) const;

    // "subFrames", "SubFrames", "subframes".
    std::string_view nameLowerCamelCase() const;
    std::string_view nameCapitalized() const;
    std::string_view nameLowercased() const;
    std::string_view description() const { return nameLowerCamelCase(); }

private:
    Case value_;
};

inline const std::array<TimecodeComponent, 6> &TimecodeComponent::allCases() {
    static constexpr std::array<TimecodeComponent, 6> cases{days,    hours,  minutes,
                                                            seconds, frames, subFrames};
    return cases;
}

} // namespace timecode

template <> struct std::hash<timecode::TimecodeComponent> {
    std::size_t operator()(timecode::TimecodeComponent component) const noexcept {
        return std::hash<int>{}(static_cast<int>(component.id()));
    }
};
