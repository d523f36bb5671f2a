#pragma once

#include "core/support/Json.h"

#include <array>
#include <concepts>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// Base of the closed enumerations whose JSON form is the case name as a string ("raw value").
// `Cases` supplies `enum Case` and `rawValues`, indexed by case, in declaration order; deriving
// from it makes `MarkerType::chapter` read as it does in the data model.
template <typename Derived, typename Cases> class RawEnum : public Cases {
public:
    using Case = typename Cases::Case;
    static constexpr std::size_t caseCount = Cases::rawValues.size();

    constexpr RawEnum(Case value) : value_(value) {}
    // Comparison and ordering go through the case, so values work in sets and switches.
    constexpr operator Case() const { return value_; }
    constexpr Case value() const { return value_; }

    constexpr std::string_view rawValue() const { return Cases::rawValues[value_]; }

    // Exactly one of the raw values, case-sensitive and untrimmed; anything else is no case.
    static constexpr std::optional<Derived> fromRawValue(std::string_view text) {
        for (std::size_t i = 0; i < caseCount; ++i) {
            if (Cases::rawValues[i] == text) {
                return Derived(static_cast<Case>(i));
            }
        }
        return std::nullopt;
    }

    static constexpr std::array<Derived, caseCount> allCases() {
        return makeAllCases(std::make_index_sequence<caseCount>{});
    }

private:
    template <std::size_t... I>
    static constexpr std::array<Derived, caseCount> makeAllCases(std::index_sequence<I...>) {
        return {Derived(static_cast<Case>(I))...};
    }

    Case value_;
};

template <typename E>
concept RawEnumType = requires(E e, std::string_view text) {
    { e.rawValue() } -> std::convertible_to<std::string_view>;
    { E::fromRawValue(text) } -> std::same_as<std::optional<E>>;
};

template <RawEnumType E> void to_json(Json &json, const E &value) {
    json = std::string(value.rawValue());
}

// Fails when the JSON is not a string or not exactly one of the raw values.
template <RawEnumType E> E rawEnumFromJson(const Json &json) {
    if (!json.is_string()) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Expected to decode String but found " + std::string(json.type_name()) +
                                " instead.");
    }
    const auto &text = json.get_ref<const std::string &>();
    if (auto value = E::fromRawValue(text)) {
        return *value;
    }
    throw DecodingError(DecodingError::Kind::dataCorrupted,
                        "Cannot initialize from invalid String value " + text);
}

} // namespace tandrel

// Raw enumerations are not default-constructible, so JSON reads them through this serializer.
template <tandrel::RawEnumType E> struct nlohmann::adl_serializer<E> {
    static E from_json(const tandrel::Json &json) { return tandrel::rawEnumFromJson<E>(json); }
    static void to_json(tandrel::Json &json, const E &value) { tandrel::to_json(json, value); }
};

template <tandrel::RawEnumType E> struct std::hash<E> {
    std::size_t operator()(const E &value) const noexcept {
        return std::hash<int>{}(static_cast<int>(value.value()));
    }
};
