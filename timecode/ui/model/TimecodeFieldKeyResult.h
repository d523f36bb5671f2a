#pragma once

#include "timecode/ui/model/NamedEnumeration.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace timecode {

// What one key press in a component of the timecode field did. Known in the field as
// `TimecodeField::KeyResult`.
struct TimecodeFieldKeyResult {
    struct ResultCases {
        enum Case : uint8_t { handled, ignored, performEscapeAction, performReturnAction };
        static constexpr std::array<std::string_view, 4> names{
            "handled", "ignored", "performEscapeAction", "performReturnAction"};
    };
    using Result = NamedEnumeration<ResultCases>;

    struct FocusResultCases {
        enum Case : uint8_t { focusPreviousComponent, focusNextComponent };
        static constexpr std::array<std::string_view, 2> names{"focusPreviousComponent",
                                                               "focusNextComponent"};
    };
    using FocusResult = NamedEnumeration<FocusResultCases>;
    using Reason = TimecodeFieldInputRejectionFeedback::Reason;

    Result result;
    // Absent: focus stays.
    std::optional<FocusResult> updateFocus;
    // Absent: the key was accepted.
    std::optional<Reason> rejection;

    // "<handled>", "<handled focusNextComponent>", "<ignored undefinedKey>".
    std::string description() const;
    // "KeyResult<handled>".
    std::string debugDescription() const { return "KeyResult" + description(); }

    friend bool operator==(const TimecodeFieldKeyResult &,
                           const TimecodeFieldKeyResult &) = default;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeFieldKeyResult> {
    std::size_t operator()(const timecode::TimecodeFieldKeyResult &result) const {
        return std::hash<std::string>{}(result.description());
    }
};
