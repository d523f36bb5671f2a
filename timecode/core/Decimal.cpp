#include "timecode/core/Decimal.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace timecode {

namespace {

// 10^38: one more than the largest significand.
constexpr UInt128 significandLimit = powerOfTen(Decimal::maxDigits);

// Unsigned 256-bit magnitude, least significant limb first: room for the exact product of two
// significands and for a dividend scaled far enough to give 39 quotient digits.
struct Wide {
    std::array<uint64_t, 4> limb{};

    static Wide from(UInt128 value) {
        Wide wide;
        wide.limb[0] = static_cast<uint64_t>(value);
        wide.limb[1] = static_cast<uint64_t>(value >> 64);
        return wide;
    }

    static Wide product(UInt128 lhs, UInt128 rhs) {
        const uint64_t a[2] = {static_cast<uint64_t>(lhs), static_cast<uint64_t>(lhs >> 64)};
        const uint64_t b[2] = {static_cast<uint64_t>(rhs), static_cast<uint64_t>(rhs >> 64)};
        Wide result;
        for (int i = 0; i < 2; ++i) {
            UInt128 carry = 0;
            for (int j = 0; j < 2; ++j) {
                const UInt128 sum = static_cast<UInt128>(a[i]) * b[j] + result.limb[i + j] + carry;
                result.limb[i + j] = static_cast<uint64_t>(sum);
                carry = sum >> 64;
            }
            result.limb[i + 2] = static_cast<uint64_t>(carry);
        }
        return result;
    }

    bool isZero() const { return (limb[0] | limb[1] | limb[2] | limb[3]) == 0; }
    bool fits128() const { return limb[2] == 0 && limb[3] == 0; }
    UInt128 low128() const { return (static_cast<UInt128>(limb[1]) << 64) | limb[0]; }

    // Callers keep the product within 256 bits.
    void multiply(uint64_t factor) {
        UInt128 carry = 0;
        for (uint64_t &part : limb) {
            const UInt128 value = static_cast<UInt128>(part) * factor + carry;
            part = static_cast<uint64_t>(value);
            carry = value >> 64;
        }
    }

    void multiplyByPowerOfTen(int exponent) {
        while (exponent > 0) {
            const int step = std::min(exponent, 19);
            multiply(static_cast<uint64_t>(powerOfTen(step)));
            exponent -= step;
        }
    }

    // Divides in place and answers the remainder.
    uint64_t divide(uint64_t divisor) {
        UInt128 remainder = 0;
        for (int i = 3; i >= 0; --i) {
            const UInt128 value = (remainder << 64) | limb[i];
            limb[i] = static_cast<uint64_t>(value / divisor);
            remainder = value % divisor;
        }
        return static_cast<uint64_t>(remainder);
    }

    // Quotient of a division by a 128-bit divisor, bit by bit.
    Wide dividedBy(UInt128 divisor) const {
        Wide quotient;
        UInt128 remainder = 0;
        for (int bit = 255; bit >= 0; --bit) {
            const bool carry = (remainder >> 127) != 0;
            remainder = (remainder << 1) | ((limb[bit / 64] >> (bit % 64)) & 1);
            // With the carry the true remainder exceeds 2^128 > divisor; the wrapped
            // subtraction still yields the right value below 2^128.
            if (carry || remainder >= divisor) {
                remainder -= divisor;
                quotient.limb[bit / 64] |= uint64_t{1} << (bit % 64);
            }
        }
        return quotient;
    }

    friend std::strong_ordering operator<=>(const Wide &lhs, const Wide &rhs) {
        for (int i = 3; i >= 0; --i) {
            if (lhs.limb[i] != rhs.limb[i]) {
                return lhs.limb[i] <=> rhs.limb[i];
            }
        }
        return std::strong_ordering::equal;
    }

    void add(const Wide &other) {
        UInt128 carry = 0;
        for (int i = 0; i < 4; ++i) {
            const UInt128 sum = static_cast<UInt128>(limb[i]) + other.limb[i] + carry;
            limb[i] = static_cast<uint64_t>(sum);
            carry = sum >> 64;
        }
    }

    // Callers keep this at least as large as the other.
    void subtract(const Wide &other) {
        uint64_t borrow = 0;
        for (int i = 0; i < 4; ++i) {
            const uint64_t before = limb[i];
            limb[i] = before - other.limb[i] - borrow;
            borrow = (before < other.limb[i] || (before == other.limb[i] && borrow)) ? 1 : 0;
        }
    }
};

struct Parts {
    bool negative;
    UInt128 significand;
    int exponent;
};

} // namespace

// Rounds a wide magnitude to 38 digits (halves away from zero) and removes trailing zeros.
static Decimal makeDecimal(bool negative, Wide magnitude, int exponent) {
    int firstDropped = 0;
    while (!magnitude.fits128() || magnitude.low128() >= significandLimit) {
        firstDropped = static_cast<int>(magnitude.divide(10));
        ++exponent;
    }
    UInt128 significand = magnitude.low128();
    if (firstDropped >= 5) {
        ++significand;
        if (significand == significandLimit) {
            significand /= 10;
            ++exponent;
        }
    }
    return Decimal::fromParts(negative, significand, exponent);
}

Decimal Decimal::fromParts(bool negative, UInt128 significand, int exponent) {
    if (significand >= significandLimit) {
        return makeDecimal(negative, Wide::from(significand), exponent);
    }
    Decimal value;
    if (significand == 0) {
        return value;
    }
    while (significand % 10 == 0) {
        significand /= 10;
        ++exponent;
    }
    value.negative_ = negative;
    value.significand_ = significand;
    value.exponent_ = exponent;
    return value;
}

Decimal::Decimal(int64_t value) {
    *this = fromParts(value < 0, magnitude(value), 0);
}

Decimal Decimal::notANumber() {
    Decimal value;
    value.nan_ = true;
    return value;
}

Decimal Decimal::fromDouble(double value) {
    if (!std::isfinite(value)) {
        return notANumber();
    }
    // Shortest round-trip text in scientific form: "-1.2345e+02".
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    bool negative = false;
    UInt128 significand = 0;
    int fractionDigits = 0;
    bool afterPoint = false;
    for (char c : text.substr(0, e)) {
        if (c == '-') {
            negative = true;
        } else if (c == '.') {
            afterPoint = true;
        } else {
            significand = significand * 10 + static_cast<UInt128>(c - '0');
            fractionDigits += afterPoint ? 1 : 0;
        }
    }
    int exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText.front() == '+') {
        exponentText.remove_prefix(1);
    }
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    return fromParts(negative, significand, exponent - fractionDigits);
}

std::optional<Decimal> Decimal::fromString(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::string digits;
    int fractionDigits = 0;
    bool afterPoint = false;
    for (char c : text) {
        if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c >= '0' && c <= '9') {
            digits.push_back(c);
            fractionDigits += afterPoint ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    int exponent = -fractionDigits;
    bool roundUp = false;
    if (digits.size() > maxDigits) {
        roundUp = digits[maxDigits] >= '5';
        exponent += static_cast<int>(digits.size()) - maxDigits;
        digits.resize(maxDigits);
    }
    UInt128 significand = 0;
    for (char c : digits) {
        significand = significand * 10 + static_cast<UInt128>(c - '0');
    }
    return fromParts(negative, significand + (roundUp ? 1 : 0), exponent);
}

double Decimal::doubleValue() const {
    if (nan_) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const std::string text = toString(significand_) + "e" + std::to_string(exponent_);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = exponent_ > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative_ ? -value : value;
}

std::optional<int64_t> Decimal::int64Value() const {
    if (nan_) {
        return std::nullopt;
    }
    UInt128 magnitude = significand_;
    if (exponent_ >= 0) {
        // More than 19 integral digits never fit 64 bits, and their product with the power of
        // ten may not even fit 128 (2^126 × 100 wraps to 0).
        if (significand_ != 0 && numberOfDigits(significand_) + exponent_ > 19) {
            return std::nullopt;
        }
        magnitude *= powerOfTen(exponent_);
    } else {
        magnitude = -exponent_ > maxDigits ? 0 : magnitude / powerOfTen(-exponent_);
    }
    const UInt128 limit =
        static_cast<UInt128>(std::numeric_limits<int64_t>::max()) + (negative_ ? 1 : 0);
    if (magnitude > limit) {
        return std::nullopt;
    }
    return negative_ ? static_cast<int64_t>(UInt128(0) - magnitude)
                     : static_cast<int64_t>(magnitude);
}

std::string Decimal::description() const {
    if (nan_) {
        return "NaN";
    }
    const std::string digits = toString(significand_);
    std::string text = negative_ ? "-" : "";
    if (exponent_ >= 0) {
        text += digits;
        if (significand_ != 0) {
            text.append(static_cast<size_t>(exponent_), '0');
        }
        return text;
    }
    const size_t places = static_cast<size_t>(-exponent_);
    if (digits.size() <= places) {
        text += "0.";
        text.append(places - digits.size(), '0');
        text += digits;
    } else {
        text.append(digits, 0, digits.size() - places);
        text += '.';
        text.append(digits, digits.size() - places);
    }
    return text;
}

Decimal Decimal::operator-() const {
    Decimal value = *this;
    if (!nan_ && significand_ != 0) {
        value.negative_ = !negative_;
    }
    return value;
}

static Decimal add(const Decimal &lhs, const Decimal &rhs, bool negateRhs) {
    if (lhs.isNaN() || rhs.isNaN()) {
        return Decimal::notANumber();
    }
    Parts x{lhs.isNegative(), lhs.significand(), lhs.exponent()};
    Parts y{rhs.isNegative() != negateRhs, rhs.significand(), rhs.exponent()};
    if (y.significand == 0) {
        return Decimal::fromParts(x.negative, x.significand, x.exponent);
    }
    if (x.significand == 0) {
        return Decimal::fromParts(y.negative, y.significand, y.exponent);
    }
    if (x.exponent < y.exponent) {
        std::swap(x, y);
    }
    int gap = x.exponent - y.exponent;
    if (gap > Decimal::maxDigits) {
        // Widen the larger operand to 38 digits; if the smaller one still lies more than two
        // places below its last digit, it cannot change the rounded sum.
        const int shift = std::min(Decimal::maxDigits - numberOfDigits(x.significand), gap);
        x.significand *= powerOfTen(shift);
        x.exponent -= shift;
        gap -= shift;
        if (gap > Decimal::maxDigits + 1) {
            return Decimal::fromParts(x.negative, x.significand, x.exponent);
        }
    }
    Wide larger = Wide::from(x.significand);
    larger.multiplyByPowerOfTen(gap);
    const Wide smaller = Wide::from(y.significand);
    if (x.negative == y.negative) {
        larger.add(smaller);
        return makeDecimal(x.negative, larger, y.exponent);
    }
    if (larger >= smaller) {
        larger.subtract(smaller);
        return makeDecimal(x.negative, larger, y.exponent);
    }
    Wide difference = smaller;
    difference.subtract(larger);
    return makeDecimal(y.negative, difference, y.exponent);
}

Decimal operator+(const Decimal &lhs, const Decimal &rhs) {
    return add(lhs, rhs, false);
}

Decimal operator-(const Decimal &lhs, const Decimal &rhs) {
    return add(lhs, rhs, true);
}

Decimal operator*(const Decimal &lhs, const Decimal &rhs) {
    if (lhs.isNaN() || rhs.isNaN()) {
        return Decimal::notANumber();
    }
    return makeDecimal(lhs.isNegative() != rhs.isNegative(),
                       Wide::product(lhs.significand(), rhs.significand()),
                       lhs.exponent() + rhs.exponent());
}

Decimal operator/(const Decimal &lhs, const Decimal &rhs) {
    if (lhs.isNaN() || rhs.isNaN() || rhs.isZero()) {
        return Decimal::notANumber();
    }
    if (lhs.isZero()) {
        return Decimal();
    }
    // Scale the dividend so that the quotient has at least 39 digits: one beyond the kept
    // ones decides the rounding.
    const int scale = numberOfDigits(rhs.significand()) + Decimal::maxDigits + 1 -
                      numberOfDigits(lhs.significand());
    Wide dividend = Wide::from(lhs.significand());
    dividend.multiplyByPowerOfTen(scale);
    return makeDecimal(lhs.isNegative() != rhs.isNegative(), dividend.dividedBy(rhs.significand()),
                       lhs.exponent() - rhs.exponent() - scale);
}

bool operator==(const Decimal &lhs, const Decimal &rhs) {
    // Compact values have one form each.
    return !lhs.isNaN() && !rhs.isNaN() && lhs.isNegative() == rhs.isNegative() &&
           lhs.significand() == rhs.significand() && lhs.exponent() == rhs.exponent();
}

std::partial_ordering operator<=>(const Decimal &lhs, const Decimal &rhs) {
    if (lhs.isNaN() || rhs.isNaN()) {
        return std::partial_ordering::unordered;
    }
    const int lhsSign = lhs.isZero() ? 0 : (lhs.isNegative() ? -1 : 1);
    const int rhsSign = rhs.isZero() ? 0 : (rhs.isNegative() ? -1 : 1);
    if (lhsSign != rhsSign || lhsSign == 0) {
        return lhsSign <=> rhsSign;
    }
    // Same sign, both non-zero: compare magnitudes by the position of the leading digit, then
    // by the significands brought to the same length.
    const int lhsDigits = numberOfDigits(lhs.significand());
    const int rhsDigits = numberOfDigits(rhs.significand());
    std::strong_ordering magnitude = (lhsDigits + lhs.exponent()) <=> (rhsDigits + rhs.exponent());
    if (magnitude == 0) {
        const UInt128 a = lhs.significand() * powerOfTen(std::max(0, rhsDigits - lhsDigits));
        const UInt128 b = rhs.significand() * powerOfTen(std::max(0, lhsDigits - rhsDigits));
        magnitude = a <=> b;
    }
    return lhsSign > 0 ? std::partial_ordering(magnitude) : std::partial_ordering(0 <=> magnitude);
}

Decimal Decimal::power(int exponent) const {
    if (exponent < 0) {
        return Decimal(1) / power(-exponent);
    }
    Decimal result(1);
    Decimal base = *this;
    for (unsigned remaining = static_cast<unsigned>(exponent); remaining != 0; remaining >>= 1) {
        if (remaining & 1) {
            result = result * base;
        }
        if (remaining > 1) {
            base = base * base;
        }
    }
    return result;
}

Decimal Decimal::rounded(int decimalPlaces, RoundingMode mode) const {
    const int places = std::max(decimalPlaces, 0);
    if (nan_ || exponent_ >= -places) {
        return *this;
    }
    const int dropped = -exponent_ - places;
    UInt128 quotient = 0;
    // How the dropped part compares with half a unit of the last kept place.
    std::strong_ordering half = std::strong_ordering::less;
    if (dropped <= maxDigits) {
        const UInt128 unit = powerOfTen(dropped);
        quotient = significand_ / unit;
        half = (significand_ % unit) * 2 <=> unit;
    }
    // Every digit is dropped here, and the value is not zero.
    const bool inexact = dropped > maxDigits || significand_ % powerOfTen(dropped) != 0;
    bool awayFromZero = false;
    switch (mode) {
    case RoundingMode::plain:
        awayFromZero = half >= 0;
        break;
    case RoundingMode::bankers:
        awayFromZero = half > 0 || (half == 0 && quotient % 2 == 1);
        break;
    case RoundingMode::down:
        awayFromZero = negative_ && inexact;
        break;
    case RoundingMode::up:
        awayFromZero = !negative_ && inexact;
        break;
    }
    return fromParts(negative_, quotient + (awayFromZero ? 1 : 0), -places);
}

Decimal Decimal::truncated(int decimalPlaces) const {
    return rounded(decimalPlaces, negative_ ? RoundingMode::up : RoundingMode::down);
}

std::pair<Decimal, Decimal> Decimal::quotientAndRemainder(const Decimal &divisor) const {
    const Decimal quotient = (*this / divisor).truncated(0);
    return {quotient, *this - quotient * divisor};
}

int Decimal::integralDigitPlaces() const {
    if (nan_ || significand_ == 0 || numberOfDigits(significand_) + exponent_ <= 0 ||
        (significand_ == 1 && exponent_ == 0)) {
        return 0;
    }
    return numberOfDigits(significand_) + exponent_;
}

} // namespace timecode
