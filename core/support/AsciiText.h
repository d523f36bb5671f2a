#pragma once

#include <string>
#include <string_view>

namespace tandrel {

// The text with A-Z lower-cased and every other byte as it is: for names and extensions that
// are compared without regard to case, the same whatever the locale, and safe on UTF-8.
std::string asciiLowercased(std::string_view text);

} // namespace tandrel
