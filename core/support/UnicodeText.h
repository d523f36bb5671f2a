#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tandrel {

// Text in canonical composed form (NFC); text that is not valid UTF-8 comes back unchanged.
std::string canonicallyComposed(std::string_view text);

// Whether the two texts are the same but for case (Unicode case folding, after canonical
// composition): "Conform" and "CONFORM", "Straße" and "STRASSE". Texts that are not valid
// UTF-8 are compared byte for byte.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// Plain text order: Unicode scalar values one by one after canonical composition, so that
// upper-case letters come before lower-case ones and equivalent spellings compare equal.
bool plainTextLess(std::string_view a, std::string_view b);

// The length in bytes of the longest prefix of `bytes` that is well-formed UTF-8 (no
// overlong forms, surrogates or values beyond U+10FFFF); a sequence cut off at the end is not
// part of it.
size_t validUTF8PrefixLength(std::string_view bytes);
inline bool isValidUTF8(std::string_view bytes) {
    return validUTF8PrefixLength(bytes) == bytes.size();
}

// Whether the text, taken as UTF-8, begins with a letter of any script (general category L).
bool startsWithLetter(std::string_view text);

// The text without the white space and line breaks (Unicode White_Space) at either end.
std::string_view trimmingWhitespaceAndNewlines(std::string_view text);

// The text without horizontal white space (tab and the space separators, general category
// Zs) at either end; line breaks stay.
std::string_view trimmingHorizontalWhitespace(std::string_view text);

// Text lengths count user-perceived characters (extended grapheme clusters), never bytes or
// code points: "é" written as e + U+0301, a flag or a family emoji is one.

// The text with every byte that is not part of a valid UTF-8 sequence replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// The number of user-perceived characters of UTF-8 text; a byte that is not part of a valid
// sequence counts as a character of its own.
std::size_t graphemeCount(std::string_view text);

// Valid UTF-8 text cut to its first `limit` user-perceived characters followed by `marker`
// when it has more than `limit` of them; otherwise the text as it is.
std::string truncatedToGraphemes(std::string_view text, std::size_t limit, std::string_view marker);

// UTF-8 text of more than `limit` user-perceived characters cut to its first and last ones
// around `marker`, `limit` characters in all with the marker counted as one (the beginning
// gets the odd one); otherwise the text as it is. Memory stays that of the result, however
// long the text.
std::string elidedInMiddle(std::string_view text, std::size_t limit, std::string_view marker);

} // namespace tandrel
