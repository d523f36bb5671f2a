#pragma once

#include "core/support/Json.h"

#include <string>
#include <string_view>

namespace tandrel {

// The compact UTF-8 text of a document (no indentation, keys in their order), as every file
// and stored value of ours is written. Fails with EncodingError when the document holds a
// number that is not finite, so that no document is ever written with such a number turned
// into null. Bytes that are not UTF-8 inside a string are written as U+FFFD, so the text
// always parses again.
std::string encodeJsonText(const Json &json);

// Parses a document; text that is not JSON fails with DecodingError (dataCorrupted).
Json parseJsonText(std::string_view text);

} // namespace tandrel
