#pragma once

#include <nlohmann/json.hpp>

#include <concepts>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace timecode {

// Records of the library are coded through ordered_json so that written keys keep the order in
// which the record declares them.
using Json = nlohmann::ordered_json;

// A value could not be read from JSON. The description is the text users and logs see.
class DecodingError : public std::runtime_error {
public:
    enum class Kind { typeMismatch, keyNotFound, valueNotFound, dataCorrupted };

    DecodingError(Kind kind, const std::string &description)
        : std::runtime_error(description), kind_(kind) {}

    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

// The value under a required key of an object.
const Json &decodeRequired(const Json &object, const char *key);
// A required integer that fits 64 bits; a fraction, a string or a larger number fails.
int64_t decodeInt64(const Json &object, const char *key);
int64_t decodeInt64(const Json &value);

// Closed enumerations coded as their raw value (a string or an integer).
template <typename E>
concept RawValueCoded = requires(const E &value) {
    { E::fromRawValue(value.rawValue()) } -> std::same_as<std::optional<E>>;
};

template <RawValueCoded E> E decodeRawValue(const Json &json) {
    using Raw = decltype(std::declval<const E &>().rawValue());
    if constexpr (std::is_integral_v<Raw>) {
        // Narrowed only when it fits: 2^32 + 80 names no case, though it ends in the bits of 80.
        const int64_t raw = decodeInt64(json);
        if (const auto value =
                std::in_range<Raw>(raw) ? E::fromRawValue(static_cast<Raw>(raw)) : std::nullopt) {
            return *value;
        }
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            "Cannot initialize from invalid Int value " + json.dump());
    } else {
        if (!json.is_string()) {
            throw DecodingError(DecodingError::Kind::typeMismatch,
                                "Expected to decode String but found " +
                                    std::string(json.type_name()) + " instead.");
        }
        const auto &text = json.get_ref<const std::string &>();
        if (const auto value = E::fromRawValue(text)) {
            return *value;
        }
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            "Cannot initialize from invalid String value " + text);
    }
}

} // namespace timecode

// Raw-value enumerations have no default value, so JSON reads them through this serializer.
template <timecode::RawValueCoded E> struct nlohmann::adl_serializer<E> {
    static E from_json(const timecode::Json &json) { return timecode::decodeRawValue<E>(json); }
    static void to_json(timecode::Json &json, const E &value) {
        using Raw = decltype(value.rawValue());
        if constexpr (std::is_integral_v<Raw>) {
            json = value.rawValue();
        } else {
            json = std::string(value.rawValue());
        }
    }
};
