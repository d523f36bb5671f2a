#pragma once

#include "timecode/core/TimecodeComponent.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

// What Return or Escape does in the timecode field. Known in the field as
// `TimecodeField::FieldAction`. Identified by its raw value.
class TimecodeFieldAction {
public:
    enum class Kind : uint8_t { resetComponentFocus, endEditing, focusNextComponent };

    // Focus moves to the component; without one, to the first component the field shows.
    static TimecodeFieldAction
    resetComponentFocus(std::optional<TimecodeComponent> component = std::nullopt) {
        return TimecodeFieldAction(Kind::resetComponentFocus, component);
    }
    // No component keeps focus.
    static TimecodeFieldAction endEditing() { return TimecodeFieldAction(Kind::endEditing, {}); }
    // Focus moves to the next shown component, wrapping as the field's input wrapping says.
    static TimecodeFieldAction focusNextComponent() {
        return TimecodeFieldAction(Kind::focusNextComponent, {});
    }

    // resetComponentFocus with each component in order, then endEditing, then
    // focusNextComponent. resetComponentFocus without a component is not among them.
    static const std::array<TimecodeFieldAction, 8> &allCases();
    // The first listed case with the raw value; nothing for any other text (so also for
    // "resetComponentFocus" alone).
    static std::optional<TimecodeFieldAction> fromRawValue(std::string_view text);

    Kind kind() const { return kind_; }
    std::optional<TimecodeComponent> component() const { return component_; }

    // "resetComponentFocus-to-hours", "resetComponentFocus", "endEditing",
    // "focusNextComponent".
    std::string rawValue() const;
    std::string id() const { return rawValue(); }

    friend bool operator==(const TimecodeFieldAction &, const TimecodeFieldAction &) = default;

private:
    TimecodeFieldAction(Kind kind, std::optional<TimecodeComponent> component)
        : kind_(kind), component_(component) {}

    Kind kind_;
    std::optional<TimecodeComponent> component_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFieldAction> {
    std::size_t operator()(const timecode::TimecodeFieldAction &action) const {
        return std::hash<std::string>{}(action.rawValue());
    }
};
