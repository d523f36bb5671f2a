#include "platform/gpu/HalfFloat.h"

#include <bit>

namespace platform {

namespace {

// Shifts `mantissa` right by `shift` bits, rounding to nearest with ties to even.
std::uint32_t shiftRoundingToEven(std::uint32_t mantissa, unsigned shift) {
    const std::uint32_t kept = mantissa >> shift;
    const std::uint32_t rest = mantissa & ((1u << shift) - 1);
    const std::uint32_t half = 1u << (shift - 1);
    return kept + ((rest > half || (rest == half && (kept & 1u) != 0)) ? 1u : 0u);
}

} // namespace

std::uint16_t floatToHalf(float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const auto sign = static_cast<std::uint16_t>((bits >> 16) & 0x8000u);
    const std::uint32_t magnitude = bits & 0x7fffffffu;

    if (magnitude >= 0x7f800000u) {
        if (magnitude == 0x7f800000u) {
            return sign | 0x7c00u;
        }
        // Keep the payload's top bits and force the quiet bit so the result is never infinity.
        return static_cast<std::uint16_t>(sign | 0x7e00u | ((magnitude >> 13) & 0x03ffu));
    }
    if (magnitude >= 0x47800000u) { // 65536 and above
        return sign | 0x7c00u;
    }
    const std::uint32_t exponent = magnitude >> 23;
    if (exponent < 113) { // below 2^-14: a half subnormal or zero
        if (exponent < 102) {
            return sign;
        }
        const std::uint32_t mantissa = (magnitude & 0x007fffffu) | 0x00800000u;
        // A carry out of the subnormal range lands on the smallest normal, which encodes right.
        return static_cast<std::uint16_t>(sign | shiftRoundingToEven(mantissa, 126 - exponent));
    }
    // Re-bias the exponent (127 → 15); a rounding carry may run up to infinity, as it should.
    return static_cast<std::uint16_t>(sign | shiftRoundingToEven(magnitude - 0x38000000u, 13));
}

float halfToFloat(std::uint16_t bits) {
    const std::uint32_t sign = static_cast<std::uint32_t>(bits & 0x8000u) << 16;
    const std::uint32_t exponent = (bits >> 10) & 0x1fu;
    const std::uint32_t mantissa = bits & 0x03ffu;
    if (exponent == 0) {
        const float magnitude = static_cast<float>(mantissa) * 0x1p-24f;
        return sign != 0 ? -magnitude : magnitude;
    }
    if (exponent == 31) {
        return std::bit_cast<float>(sign | 0x7f800000u | (mantissa << 13));
    }
    return std::bit_cast<float>(sign | ((exponent + 112) << 23) | (mantissa << 13));
}

} // namespace platform
