#pragma once

#include "timecode/core/Decimal.h"
#include "timecode/core/MediaTime.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace timecode {

// An exact rational number of two signed 64-bit integers. A fraction may be kept unreduced
// (frame durations such as 100/2400 are); it remembers when it is known to be in lowest terms.
// Zero denominators are stored as given. Results that leave the 64-bit domain (which no caller
// reaches) saturate at the 64-bit limits instead of overflowing.
class Fraction {
public:
    // Stored as given, not known to be reduced.
    constexpr Fraction(int64_t numerator, int64_t denominator)
        : numerator_(numerator), denominator_(denominator) {}
    // Value over timescale, not known to be reduced; indefinite and infinite times give 0/1.
    explicit Fraction(const MediaTime &time);

    static constexpr Fraction zero() { return Fraction(0, 1); }
    // Stored in lowest terms.
    static Fraction reducing(int64_t numerator, int64_t denominator);
    // The double approximated with at most `decimalPrecision` decimal places (see rational()).
    static Fraction fromDouble(double value, int decimalPrecision);
    // The FCPXML time form: "30s", "-5s", "1001/30000s"; nothing for any other text.
    static std::optional<Fraction> fromFcpxmlString(std::string_view text);

    constexpr int64_t numerator() const { return numerator_; }
    constexpr int64_t denominator() const { return denominator_; }

    bool isReduced() const;
    Fraction reduced() const;
    // Same numerator and same denominator, without reduction (2/4 is not identical to 1/2).
    bool isIdentical(const Fraction &other) const {
        return numerator_ == other.numerator_ && denominator_ == other.denominator_;
    }
    bool isEqual(const Fraction &other) const { return *this == other; }
    // Exactly one of numerator and denominator below zero (0/−5 is negative).
    bool isNegative() const { return (numerator_ < 0) != (denominator_ < 0); }
    // The denominator divides the numerator (never for a zero denominator).
    bool isWholeInteger() const;

    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    Decimal decimalValue() const;
    // The same value as a media time with a positive timescale; invalid when the denominator is
    // zero or does not fit a 32-bit timescale.
    MediaTime cmTimeValue() const;

    // "numerator/denominator" as stored: 2/4 stays 2/4.
    std::string stringValue() const;
    std::string description() const { return stringValue(); }
    std::string id() const { return stringValue(); }
    // "1001/30000s", or "5s" when the value is whole; never reduced.
    std::string fcpxmlStringValue() const;

    Fraction abs() const;
    void negate() { *this = negated(); }
    Fraction negated() const;

    // Each gives a reduced result.
    friend Fraction operator+(const Fraction &lhs, const Fraction &rhs);
    friend Fraction operator-(const Fraction &lhs, const Fraction &rhs);
    friend Fraction operator*(const Fraction &lhs, const Fraction &rhs);
    friend Fraction operator/(const Fraction &lhs, const Fraction &rhs);

    // Equal in lowest terms (1/2 == 2/4).
    friend bool operator==(const Fraction &lhs, const Fraction &rhs);
    // Ordered by value (1/3 and 2/6 are neither less nor greater), exactly; a zero denominator
    // orders as the double quotient does (an infinity, or unordered for 0/0).
    friend bool operator<(const Fraction &lhs, const Fraction &rhs);
    friend bool operator>(const Fraction &lhs, const Fraction &rhs) { return rhs < lhs; }
    friend bool operator<=(const Fraction &lhs, const Fraction &rhs) { return !(rhs < lhs); }
    friend bool operator>=(const Fraction &lhs, const Fraction &rhs) { return !(lhs < rhs); }

    std::size_t hashValue() const;

private:
    enum class Reduced : uint8_t { unset, no, yes };

    Fraction(int64_t numerator, int64_t denominator, Reduced reduced)
        : numerator_(numerator), denominator_(denominator), reduced_(reduced) {}

    int64_t numerator_;
    int64_t denominator_;
    Reduced reduced_ = Reduced::unset;
};

// The media time as a fraction, offered on the time: Fraction(time).
inline Fraction fractionValue(const MediaTime &time) {
    return Fraction(time);
}

// Lowest terms with the sign on the numerator: 6/−4 → −3/2, 0/−7 → 0/1, −5/0 → 1/0.
std::pair<int64_t, int64_t> reduce(int64_t numerator, int64_t denominator);

struct LeastCommonMultiple {
    int64_t denominator;
    int64_t lhsMultiplier;
    int64_t rhsMultiplier;
};
// The least common multiple of two denominators and the factors that bring each to it;
// all three are 0 when either denominator is.
LeastCommonMultiple leastCommonMultiple(int64_t lhs, int64_t rhs);

// The double as a reduced fraction with at most `precision` decimal places, fewer where the
// integer digits leave no room in 64 bits (the value truncated toward zero at those places).
Fraction rational(double value, int precision);

} // namespace timecode

template <> struct std::hash<timecode::Fraction> {
    std::size_t operator()(const timecode::Fraction &fraction) const noexcept {
        return fraction.hashValue();
    }
};
