#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace timecode {

// A small value class around an enumeration whose raw value is its case name. `Cases` holds
// the enumeration `Case` and `names`, one per case in declaration order, so that
// `NamedEnumeration<XCases>::someCase` reads as the case does:
//
//     struct InputWrappingCases {
//         enum Case : uint8_t { noWrap, wrap };
//         static constexpr std::array<std::string_view, 2> names{"noWrap", "wrap"};
//     };
//     using InputWrapping = NamedEnumeration<InputWrappingCases>;
//
// Equal when the case is; identified by the raw value; built from any other text, nothing.
template <typename Cases> class NamedEnumeration : public Cases {
public:
    using Case = typename Cases::Case;
    static constexpr std::size_t caseCount = Cases::names.size();

    constexpr NamedEnumeration(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    static constexpr std::array<NamedEnumeration, caseCount> allCases() {
        return allCases(std::make_index_sequence<caseCount>());
    }
    static constexpr std::optional<NamedEnumeration> fromRawValue(std::string_view text) {
        for (NamedEnumeration value : allCases()) {
            if (value.rawValue() == text) {
                return value;
            }
        }
        return std::nullopt;
    }

    constexpr std::string_view rawValue() const { return Cases::names[value_]; }
    constexpr std::string_view id() const { return rawValue(); }

private:
    template <std::size_t... I>
    static constexpr std::array<NamedEnumeration, caseCount> allCases(std::index_sequence<I...>) {
        return {NamedEnumeration(static_cast<Case>(I))...};
    }

    Case value_;
};

} // namespace timecode

template <typename Cases> struct std::hash<timecode::NamedEnumeration<Cases>> {
    std::size_t operator()(timecode::NamedEnumeration<Cases> value) const noexcept {
        return std::hash<std::string_view>{}(value.rawValue());
    }
};
