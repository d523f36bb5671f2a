#pragma once

#include <cstdint>

namespace timecode {

// Uniform draws from the system's random source (a per-thread generator seeded from it).
// The bounds may come in either order; both are included.
int64_t randomInteger(int64_t first, int64_t second);

} // namespace timecode
