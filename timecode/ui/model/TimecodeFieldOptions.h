#pragma once

#include "timecode/ui/model/NamedEnumeration.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace timecode {

// The plain settings of the timecode field. Known in the field as `TimecodeField::InputStyle`,
// `InputWrapping`, `PastePolicy` and `ValidationPolicy`.

// How typed digits enter the focused component.
struct TimecodeFieldInputStyleCases {
    enum Case : uint8_t {
        // Digits fill the component up to its width, then focus moves on.
        autoAdvance,
        // Only the last digits, as many as the width, remain; focus stays.
        continuousWithinComponent,
        // Digits are appended without a width; focus stays.
        unbounded,
    };
    static constexpr std::array<std::string_view, 3> names{
        "autoAdvance", "continuousWithinComponent", "unbounded"};
};
using TimecodeFieldInputStyle = NamedEnumeration<TimecodeFieldInputStyleCases>;

// Whether moving focus past the last component (or before the first) continues at the other end.
struct TimecodeFieldInputWrappingCases {
    enum Case : uint8_t { noWrap, wrap };
    static constexpr std::array<std::string_view, 2> names{"noWrap", "wrap"};
};
using TimecodeFieldInputWrapping = NamedEnumeration<TimecodeFieldInputWrappingCases>;

// Which properties a pasted timecode brings into the field (see TimecodeFieldPasteValidation.h).
struct TimecodeFieldPastePolicyCases {
    enum Case : uint8_t { preserveLocalProperties, allowNewProperties, discardProperties };
    static constexpr std::array<std::string_view, 3> names{
        "preserveLocalProperties", "allowNewProperties", "discardProperties"};
};
using TimecodeFieldPastePolicy = NamedEnumeration<TimecodeFieldPastePolicyCases>;

// Whether a component may hold a value outside its valid range, typed or pasted.
struct TimecodeFieldValidationPolicyCases {
    enum Case : uint8_t { allowInvalid, enforceValid };
    static constexpr std::array<std::string_view, 2> names{"allowInvalid", "enforceValid"};
};
using TimecodeFieldValidationPolicy = NamedEnumeration<TimecodeFieldValidationPolicyCases>;

} // namespace timecode
