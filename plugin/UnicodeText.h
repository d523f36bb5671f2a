#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tandrel {

// Text lengths in the plug-in count user-perceived characters (extended grapheme clusters),
// never bytes or code points: "é" written as e + U+0301, a flag or a family emoji is one.

// The text with every byte that is not part of a valid UTF-8 sequence replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// The number of user-perceived characters of valid UTF-8 text.
std::size_t graphemeCount(std::string_view text);

// Valid UTF-8 text cut to its first `limit` user-perceived characters followed by `marker`
// when it has more than `limit` of them; otherwise the text as it is.
std::string truncatedToGraphemes(std::string_view text, std::size_t limit, std::string_view marker);

} // namespace tandrel
