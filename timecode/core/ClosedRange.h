#pragma once

#include <algorithm>
#include <concepts>
#include <functional>

namespace timecode {

// A range that includes both bounds (lower ≤ upper).
template <typename T> struct ClosedRange {
    T lower;
    T upper;

    constexpr bool contains(const T &value) const { return !(value < lower) && !(upper < value); }
    // Implicitly constexpr where the bounds compare so.
    friend bool operator==(const ClosedRange &, const ClosedRange &) = default;
};

// The value forced into the closed range.
template <typename T> constexpr T clamped(const T &value, const ClosedRange<T> &range) {
    return std::min(std::max(value, range.lower), range.upper);
}

// Into the partial ranges "lower..." (from) and "...upper" (through).
template <typename T> constexpr T clampedFrom(const T &value, const T &lower) {
    return std::max(value, lower);
}
template <typename T> constexpr T clampedThrough(const T &value, const T &upper) {
    return std::min(value, upper);
}

// Into the integer ranges "..<upper" (up to) and "lower..<upper" (half-open): the largest value
// allowed is upper − 1.
template <std::integral T> constexpr T clampedUpTo(T value, T upperExclusive) {
    return std::min(value, static_cast<T>(upperExclusive - 1));
}
template <std::integral T> constexpr T clampedHalfOpen(T value, T lower, T upperExclusive) {
    return std::min(std::max(value, lower), static_cast<T>(upperExclusive - 1));
}

} // namespace timecode

template <typename T> struct std::hash<timecode::ClosedRange<T>> {
    std::size_t operator()(const timecode::ClosedRange<T> &range) const noexcept {
        const std::size_t lower = std::hash<T>{}(range.lower);
        return lower ^
               (std::hash<T>{}(range.upper) + 0x9e3779b97f4a7c15ULL + (lower << 6) + (lower >> 2));
    }
};
