#pragma once

#include "core/support/Json.h"

#include <cmath>
#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

namespace json_detail {

[[noreturn]] void throwTypeMismatch(std::string_view expected, const Json &found);

// A JSON integer, or a number with no fraction, that fits 64 bits; nothing otherwise.
std::optional<int64_t> exactInt64(const Json &json);

void requireFinite(double value);

} // namespace json_detail

// How one kind of value is written to and read from JSON. Records fall through to their own
// to_json/from_json pair (or adl_serializer); the specialisations below hold plain values to
// the strict rules every record shares: no number for a Bool, no text for a number, no
// fraction for an integer, no non-finite number on either side.
template <typename T> struct JsonValue {
    static Json encode(const T &value) { return Json(value); }
    static T decode(const Json &json) { return json.template get<T>(); }
};

template <> struct JsonValue<std::string> {
    static Json encode(const std::string &value) { return value; }
    static std::string decode(const Json &json) {
        if (!json.is_string()) {
            json_detail::throwTypeMismatch("String", json);
        }
        return json.get_ref<const std::string &>();
    }
};

template <> struct JsonValue<bool> {
    static Json encode(bool value) { return value; }
    static bool decode(const Json &json) {
        if (!json.is_boolean()) {
            json_detail::throwTypeMismatch("Bool", json);
        }
        return json.get<bool>();
    }
};

template <> struct JsonValue<double> {
    static Json encode(double value) {
        json_detail::requireFinite(value);
        return value;
    }
    static double decode(const Json &json) {
        if (!json.is_number()) {
            json_detail::throwTypeMismatch("Double", json);
        }
        // Parsed text never holds one, but a value built in memory might; what is read must
        // always be writable again.
        const double value = json.get<double>();
        if (!std::isfinite(value)) {
            throw DecodingError(DecodingError::Kind::dataCorrupted,
                                "Parsed JSON number is not a finite Double.");
        }
        return value;
    }
};

// Integers accept a number written with a zero fraction ("24.0") or an exponent, as long as
// its value is a whole number that fits the type.
template <typename T>
requires std::signed_integral<T>
struct JsonValue<T> {
    static Json encode(T value) { return static_cast<int64_t>(value); }
    static T decode(const Json &json) {
        if (!json.is_number()) {
            json_detail::throwTypeMismatch("Int", json);
        }
        const std::optional<int64_t> exact = json_detail::exactInt64(json);
        if (!exact || !std::in_range<T>(*exact)) {
            throw DecodingError(DecodingError::Kind::dataCorrupted,
                                "Parsed JSON number <" + json.dump() + "> does not fit in Int" +
                                    std::to_string(sizeof(T) * 8) + ".");
        }
        return static_cast<T>(*exact);
    }
};

template <typename T> struct JsonValue<std::vector<T>> {
    static Json encode(const std::vector<T> &values) {
        Json array = Json::array();
        for (std::size_t i = 0; i < values.size(); ++i) {
            try {
                array.push_back(JsonValue<T>::encode(values[i]));
            } catch (const EncodingError &error) {
                throw error.under("[" + std::to_string(i) + "]");
            }
        }
        return array;
    }
    static std::vector<T> decode(const Json &json) {
        if (!json.is_array()) {
            json_detail::throwTypeMismatch("Array", json);
        }
        std::vector<T> values;
        values.reserve(json.size());
        for (std::size_t i = 0; i < json.size(); ++i) {
            try {
                values.push_back(JsonValue<T>::decode(json[i]));
            } catch (const DecodingError &error) {
                throw error.under("[" + std::to_string(i) + "]");
            }
        }
        return values;
    }
};

// A set is written as an array in the set's own order; repeated members read as one.
template <typename T> struct JsonValue<std::set<T>> {
    static Json encode(const std::set<T> &values) {
        return JsonValue<std::vector<T>>::encode({values.begin(), values.end()});
    }
    static std::set<T> decode(const Json &json) {
        std::vector<T> values = JsonValue<std::vector<T>>::decode(json);
        return {values.begin(), values.end()};
    }
};

// A map keyed by text is written as an object, keys in ascending order.
template <typename T> struct JsonValue<std::map<std::string, T>> {
    static Json encode(const std::map<std::string, T> &values) {
        Json object = Json::object();
        for (const auto &[key, value] : values) {
            try {
                object[key] = JsonValue<T>::encode(value);
            } catch (const EncodingError &error) {
                throw error.under(key);
            }
        }
        return object;
    }
    static std::map<std::string, T> decode(const Json &json) {
        if (!json.is_object()) {
            json_detail::throwTypeMismatch("Dictionary", json);
        }
        std::map<std::string, T> values;
        for (const auto &[key, value] : json.items()) {
            try {
                values.insert_or_assign(key, JsonValue<T>::decode(value));
            } catch (const DecodingError &error) {
                throw error.under(key);
            }
        }
        return values;
    }
};

template <typename T> Json encodeJsonValue(const T &value) {
    return JsonValue<T>::encode(value);
}

template <typename T> T decodeJsonValue(const Json &json) {
    return JsonValue<T>::decode(json);
}

} // namespace tandrel
