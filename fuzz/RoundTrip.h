#pragma once

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"

#include <cstdlib>
#include <optional>
#include <string>

// Reads a T from the document; a T that reads must write again and read back to the same
// text (the fuzzer aborts otherwise). Nothing when the document is not a T.
template <typename T> std::optional<T> checkRoundTrip(const tandrel::Json &json) {
    std::optional<T> value;
    try {
        value.emplace(tandrel::decodeJsonValue<T>(json));
    } catch (const tandrel::DecodingError &) {
        return std::nullopt;
    }
    const std::string text = tandrel::encodeJsonText(tandrel::encodeJsonValue(*value));
    const T reread = tandrel::decodeJsonValue<T>(tandrel::parseJsonText(text));
    if (tandrel::encodeJsonText(tandrel::encodeJsonValue(reread)) != text) {
        std::abort();
    }
    return value;
}
