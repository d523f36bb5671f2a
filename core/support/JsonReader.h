#pragma once

#include "core/support/JsonValue.h"

#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// Reads the members of one JSON object for a record's from_json. It is called as a visitor,
// `reader(key, member)`, once per member the record declares; keys the record does not ask for
// are ignored. Failures name the key they happened under.
//
// Strict reading (the default): a plain member must be present with a value of its type;
// missing or null fails the whole record. An optional member may be missing or null, which
// both read as absent; a present value must still be of its type.
//
// Tolerant reading: a plain member that is missing or null keeps the value it had, so a
// record first filled with its defaults takes them for every member the JSON lacks.
class JsonReader {
public:
    enum class Mode { strict, tolerant };

    // Fails when `json` is not an object; `recordName` is named in that failure.
    JsonReader(const Json &json, std::string_view recordName, Mode mode = Mode::strict);

    template <typename T> void operator()(std::string_view key, T &member) const {
        if (mode_ == Mode::tolerant) {
            readIfPresent(key, member);
        } else {
            member = required<T>(key);
        }
    }

    template <typename T> void operator()(std::string_view key, std::optional<T> &member) const {
        member = optional<T>(key);
    }

    template <typename T> T required(std::string_view key) const {
        const Json *value = find(key);
        if (value == nullptr) {
            throwMissing(key);
        }
        return decodeUnder<T>(key, *value);
    }

    template <typename T> std::optional<T> optional(std::string_view key) const {
        const Json *value = find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        return decodeUnder<T>(key, *value);
    }

    // Leaves `member` unchanged when the key is missing or null.
    template <typename T> void readIfPresent(std::string_view key, T &member) const {
        if (const Json *value = find(key)) {
            member = decodeUnder<T>(key, *value);
        }
    }

    // Whether the key is present with a value other than null.
    bool has(std::string_view key) const { return find(key) != nullptr; }

private:
    const Json *find(std::string_view key) const;
    [[noreturn]] void throwMissing(std::string_view key) const;

    template <typename T> static T decodeUnder(std::string_view key, const Json &value) {
        try {
            return decodeJsonValue<T>(value);
        } catch (const DecodingError &error) {
            throw error.under(key);
        }
    }

    const Json &json_;
    Mode mode_;
};

} // namespace tandrel
