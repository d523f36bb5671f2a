#pragma once

#include <cstdint>

namespace corvane {

// A side of a view. Leading and trailing are the sides where a line of text starts and ends:
// left and right in the left-to-right layouts the kit draws.
enum class Edge : uint8_t { top, leading, bottom, trailing };

// The two horizontal sides.
enum class HorizontalEdge : uint8_t { leading, trailing };

} // namespace corvane
