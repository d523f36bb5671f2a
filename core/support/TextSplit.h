#pragma once

#include <string_view>
#include <vector>

namespace tandrel {

// Splits at any of `separators`, dropping empty pieces ("1001//24000" gives two pieces).
std::vector<std::string_view> splitNonEmpty(std::string_view text, std::string_view separators);

} // namespace tandrel
