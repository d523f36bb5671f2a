#pragma once

#include <string>
#include <string_view>

namespace tandrel {

// Text in canonical composed form (NFC); text that is not valid UTF-8 comes back unchanged.
std::string canonicallyComposed(std::string_view text);

// Plain text order: Unicode scalar values one by one after canonical composition, so that
// upper-case letters come before lower-case ones and equivalent spellings compare equal.
bool plainTextLess(std::string_view a, std::string_view b);

} // namespace tandrel
