#pragma once

#include "timecode/core/NumericUtilities.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace timecode {

// A decimal number: a significand of at most 38 decimal digits times a power of ten, with a
// sign, or not-a-number. Results that fit 38 digits are exact; longer ones are rounded to 38
// digits, halves away from zero. Values are kept compact (no trailing zeros in the
// significand), so the exponent tells how many fraction digits a value really has.
class Decimal {
public:
    static constexpr int maxDigits = 38;

    // How a value is rounded at a number of decimal places: halves away from zero, toward
    // minus infinity, toward plus infinity, halves to even.
    enum class RoundingMode { plain, down, up, bankers };

    constexpr Decimal() = default;
    // Exact.
    explicit Decimal(int64_t value);

    // The double's shortest decimal text that reads back as the same double (0.29 is 0.29, not
    // the binary value's 0.28999999999999998). Not-a-number and infinities give not-a-number.
    static Decimal fromDouble(double value);
    // A plain decimal text: optional sign, digits, optional point and digits. Longer texts are
    // rounded to 38 digits.
    static std::optional<Decimal> fromString(std::string_view text);
    // sign × significand × 10^exponent, rounded to 38 digits when longer.
    static Decimal fromParts(bool negative, UInt128 significand, int exponent);
    static Decimal notANumber();

    bool isNaN() const { return nan_; }
    bool isZero() const { return !nan_ && significand_ == 0; }
    bool isNegative() const { return negative_; }
    UInt128 significand() const { return significand_; }
    int exponent() const { return exponent_; }

    // The nearest double; not-a-number for not-a-number.
    double doubleValue() const;
    // The value truncated toward zero, or nothing when it does not fit (or is not a number).
    std::optional<int64_t> int64Value() const;
    // Plain decimal text without exponent ("-0.0125", "24"); "NaN" for not-a-number.
    std::string description() const;

    Decimal operator-() const;
    friend Decimal operator+(const Decimal &lhs, const Decimal &rhs);
    friend Decimal operator-(const Decimal &lhs, const Decimal &rhs);
    friend Decimal operator*(const Decimal &lhs, const Decimal &rhs);
    // Division by zero gives not-a-number.
    friend Decimal operator/(const Decimal &lhs, const Decimal &rhs);

    // Numeric comparison; not-a-number is unordered and equal to nothing.
    friend bool operator==(const Decimal &lhs, const Decimal &rhs);
    friend std::partial_ordering operator<=>(const Decimal &lhs, const Decimal &rhs);

    // The value raised to a whole power (negative powers divide).
    Decimal power(int exponent) const;
    // At max(places, 0) decimal places with the mode.
    Decimal rounded(int decimalPlaces, RoundingMode mode) const;
    void round(int decimalPlaces, RoundingMode mode) { *this = rounded(decimalPlaces, mode); }
    // At max(places, 0) decimal places toward zero.
    Decimal truncated(int decimalPlaces) const;
    void truncate(int decimalPlaces) { *this = truncated(decimalPlaces); }

    // Whole part toward zero and what is left.
    Decimal integral() const { return truncated(0); }
    Decimal fraction() const { return *this - integral(); }
    std::pair<Decimal, Decimal> integralAndFraction() const { return {integral(), fraction()}; }
    // Quotient truncated toward zero and the remainder value − quotient × divisor.
    std::pair<Decimal, Decimal> quotientAndRemainder(const Decimal &divisor) const;
    Decimal truncatingRemainder(const Decimal &divisor) const {
        return quotientAndRemainder(divisor).second;
    }

    // Digits before the decimal point (0 when the magnitude is at most 1), and after it.
    int integralDigitPlaces() const;
    int fractionDigitPlaces() const { return exponent_ < 0 ? -exponent_ : 0; }

private:
    bool nan_ = false;
    bool negative_ = false;
    UInt128 significand_ = 0;
    int exponent_ = 0;
};

} // namespace timecode
