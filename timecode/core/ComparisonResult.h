#pragma once

#include <cstdint>

namespace timecode {

// The answer of a three-way comparison of a value against another.
enum class ComparisonResult : int8_t { ascending = -1, same = 0, descending = 1 };

// The order of a sort: smallest first (forward) or largest first (reverse).
enum class SortOrder : uint8_t { forward, reverse };

} // namespace timecode
