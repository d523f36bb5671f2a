#pragma once

#include <cstdint>

namespace platform {

// IEEE 754 binary16 conversions. Rounding is to nearest, ties to even; values from 65520 up
// become infinity, values at or below 2^-25 become (signed) zero, subnormals are kept, and a
// NaN stays a (quiet) NaN.
std::uint16_t floatToHalf(float value);

// Exact: every half value is a float value.
float halfToFloat(std::uint16_t bits);

} // namespace platform
