#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tandrel {

// 128-bit integers for intermediate results that may exceed 64 bits (a GCC/Clang extension).
__extension__ typedef __int128 Int128;

// Converting a double outside the target range to an integer is undefined behaviour, so every
// such conversion in the project goes through these.

// The value truncated toward zero, or nothing when it is not finite or does not fit.
inline std::optional<int64_t> truncateToInt64(double value) {
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(value) || value >= limit || value < -limit) {
        return std::nullopt;
    }
    return static_cast<int64_t>(value);
}

// The nearest integer, halves away from zero, or nothing when it is not finite or does not fit.
inline std::optional<int64_t> roundToInt64(double value) {
    return truncateToInt64(std::round(value));
}

// A 128-bit value clamped to the 64-bit range.
inline int64_t saturatingInt64(Int128 value) {
    return value > INT64_MAX   ? INT64_MAX
           : value < INT64_MIN ? INT64_MIN
                               : static_cast<int64_t>(value);
}

// The nearest integer, halves away from zero, clamped to the 64-bit range; not-a-number,
// which lies on neither side, gives 0. For values from outside (a file's absurd times) where
// a result must exist.
inline int64_t roundToInt64Saturating(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (const auto rounded = roundToInt64(value)) {
        return *rounded;
    }
    return value > 0 ? INT64_MAX : INT64_MIN;
}

// A signed decimal integer: ASCII digits with at most one leading '+' or '-', nothing else.
// Nothing when the text is not of that form or the value does not fit 64 bits.
std::optional<int64_t> parseDecimalInt64(std::string_view text);

// One complete floating-point literal: an optional sign, then decimal ("12.5", ".5", "1e-3")
// or hexadecimal ("0x1.8p1") notation, nothing before or after it. Nothing when the text is
// not of that form or its value is not finite ("nan", "inf", "1e999"): a non-finite number
// cannot be carried further (JSON refuses it, integers cannot hold it).
std::optional<double> parseFiniteDouble(std::string_view text);

} // namespace tandrel
