#pragma once

#include <cmath>
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace timecode {

// 128-bit integers for exact intermediate results (a GCC/Clang extension, hence the marker
// that keeps -Wpedantic quiet).
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// Converting a double outside the target range to an integer is undefined behaviour, so every
// such conversion in the library goes through these.

// The value truncated toward zero, or nothing when it is not finite or does not fit.
std::optional<int64_t> truncateToInt64(double value);
// The nearest integer, halves away from zero, or nothing when it is not finite or does not fit.
std::optional<int64_t> roundToInt64(double value);

// Truncation that saturates at the 64-bit limits; not-a-number gives 0.
int64_t saturatingTruncate(double value);
// A wide value forced into the 64-bit range.
int64_t saturatingInt64(Int128 value);

// 10^exponent; callers keep the exponent at most 38.
constexpr UInt128 powerOfTen(int exponent) {
    UInt128 value = 1;
    for (int i = 0; i < exponent; ++i) {
        value *= 10;
    }
    return value;
}

// Euclid's greatest common divisor; gcd(x, 0) is x.
constexpr UInt128 greatestCommonDivisor(UInt128 a, UInt128 b) {
    while (b != 0) {
        const UInt128 remainder = a % b;
        a = b;
        b = remainder;
    }
    return a;
}

// The magnitude of a signed value; the smallest value's magnitude fits the unsigned type.
constexpr UInt128 magnitude(Int128 value) {
    return value < 0 ? UInt128(0) - static_cast<UInt128>(value) : static_cast<UInt128>(value);
}

// A run of ASCII digits ("0042") as a non-negative integer; nothing when the run is empty, holds
// anything but digits, or does not fit 64 bits.
std::optional<int64_t> parseDigits(std::string_view digits);

// Decimal text of a 128-bit integer.
std::string toString(Int128 value);
std::string toString(UInt128 value);

// Count of decimal digits of the magnitude, the sign not counted: 0 has one digit.
constexpr int numberOfDigits(UInt128 magnitude) {
    int digits = 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++digits;
    }
    return digits;
}

constexpr int numberOfDigits(Int128 value) {
    // The magnitude of the smallest value does not fit the signed type, so negate unsigned.
    return numberOfDigits(magnitude(value));
}

template <std::integral T> constexpr int numberOfDigits(T value) {
    return numberOfDigits(static_cast<Int128>(value));
}

// How a floating-point value is rounded to a whole number.
enum class FloatingPointRoundingRule {
    toNearestOrAwayFromZero,
    toNearestOrEven,
    up,
    down,
    towardZero,
    awayFromZero,
};

// The value rounded to a whole number with the rule.
template <std::floating_point T> T rounded(T value, FloatingPointRoundingRule rule) {
    switch (rule) {
    case FloatingPointRoundingRule::toNearestOrAwayFromZero:
        return std::round(value);
    case FloatingPointRoundingRule::toNearestOrEven: {
        // nearbyint honours the current mode, which is to-nearest-even unless someone changed
        // it; computing it directly keeps this independent of the environment.
        const T down = std::floor(value);
        const T difference = value - down;
        if (difference < T(0.5)) {
            return down;
        }
        if (difference > T(0.5)) {
            return down + T(1);
        }
        return std::fmod(down, T(2)) == T(0) ? down : down + T(1);
    }
    case FloatingPointRoundingRule::up:
        return std::ceil(value);
    case FloatingPointRoundingRule::down:
        return std::floor(value);
    case FloatingPointRoundingRule::towardZero:
        return std::trunc(value);
    case FloatingPointRoundingRule::awayFromZero:
        return value < T(0) ? std::floor(value) : std::ceil(value);
    }
    return value;
}

// Rounded at a number of decimal places: below 1 place the value is rounded to a whole number;
// otherwise it is scaled by 10^places, rounded and scaled back.
template <std::floating_point T>
T rounded(T value, int decimalPlaces, FloatingPointRoundingRule rule) {
    if (decimalPlaces < 1) {
        return rounded(value, rule);
    }
    const T scale = std::pow(T(10), static_cast<T>(decimalPlaces));
    return rounded(value * scale, rule) / scale;
}

template <std::floating_point T>
void round(T &value, int decimalPlaces, FloatingPointRoundingRule rule) {
    value = rounded(value, decimalPlaces, rule);
}

template <std::floating_point T> T truncated(T value, int decimalPlaces) {
    return rounded(value, decimalPlaces, FloatingPointRoundingRule::towardZero);
}

template <std::floating_point T> void truncate(T &value, int decimalPlaces) {
    value = truncated(value, decimalPlaces);
}

// The whole part (toward zero) and what is left of the value.
template <std::floating_point T> std::pair<T, T> integralAndFraction(T value) {
    const T whole = std::trunc(value);
    return {whole, value - whole};
}

template <std::floating_point T> T integral(T value) {
    return integralAndFraction(value).first;
}

template <std::floating_point T> T fraction(T value) {
    return integralAndFraction(value).second;
}

// Quotient truncated toward zero and the remainder value − quotient × divisor.
template <std::floating_point T> std::pair<T, T> quotientAndRemainder(T value, T divisor) {
    const T quotient = std::trunc(value / divisor);
    return {quotient, value - quotient * divisor};
}

// Digits before and after the decimal point of the value's decimal form.
int integralDigitPlaces(double value);
int fractionDigitPlaces(double value);

} // namespace timecode

namespace timecode {

// A double in its shortest round-trip text, the way values are shown to people: whole values
// keep one fraction digit ("24.0"), magnitudes from 1e-4 up to 1e16 print plainly, others in
// exponent form ("1e+16", "1.5e-05"); "nan", "inf", "-inf".
std::string doubleDescription(double value);

} // namespace timecode
