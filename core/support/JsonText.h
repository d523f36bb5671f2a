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

// The same text for a terminal, indented by `indent` spaces a level (-1: compact): every
// control a terminal would obey or that reorders text (DEL, the C1 controls, the marks,
// separators, embeddings and isolates of bidirectional text) written as JSON's own "\u"
// escape, which a reader decodes to the same text; JSON itself escapes the C0 controls.
std::string encodeJsonTextForTerminal(const Json &json, int indent);

// Parses a document; text that is not JSON fails with DecodingError (dataCorrupted).
Json parseJsonText(std::string_view text);

} // namespace tandrel
