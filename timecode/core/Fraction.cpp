#include "timecode/core/Fraction.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/RegexMatching.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <tuple>

namespace timecode {

namespace {

// Lowest terms in 128 bits; 0/0 stays 0/0 (nothing to divide by).
std::pair<Int128, Int128> reduceWide(Int128 numerator, Int128 denominator) {
    const UInt128 n = magnitude(numerator);
    const UInt128 d = magnitude(denominator);
    const UInt128 divisor = greatestCommonDivisor(n, d);
    if (divisor == 0) {
        return {0, 0};
    }
    const auto reducedNumerator = static_cast<Int128>(n / divisor);
    const auto reducedDenominator = static_cast<Int128>(d / divisor);
    // A zero on either side makes the result non-negative: 0/−7 is 0/1 and −5/0 is 1/0.
    const bool negative =
        numerator != 0 && denominator != 0 && (numerator < 0) != (denominator < 0);
    return {negative ? -reducedNumerator : reducedNumerator, reducedDenominator};
}

Int128 numeratorTimes(const Fraction &fraction, Int128 factor) {
    return static_cast<Int128>(fraction.numerator()) * factor;
}

} // namespace

Fraction::Fraction(const MediaTime &time) : Fraction(0, 1) {
    if (time.isIndefinite() || time.isPositiveInfinity() || time.isNegativeInfinity()) {
        return;
    }
    numerator_ = time.value;
    denominator_ = time.timescale;
}

std::pair<int64_t, int64_t> reduce(int64_t numerator, int64_t denominator) {
    auto [n, d] = reduceWide(numerator, denominator);
    if (n != saturatingInt64(n) || d != saturatingInt64(d)) {
        // 2^63 does not fit: the saturated terms are reduced once more, so that a result
        // marked as reduced always is.
        std::tie(n, d) = reduceWide(saturatingInt64(n), saturatingInt64(d));
    }
    return {static_cast<int64_t>(n), static_cast<int64_t>(d)};
}

LeastCommonMultiple leastCommonMultiple(int64_t lhs, int64_t rhs) {
    if (lhs == 0 || rhs == 0) {
        return {0, 0, 0};
    }
    const UInt128 divisor = greatestCommonDivisor(magnitude(lhs), magnitude(rhs));
    const Int128 multiple = static_cast<Int128>(lhs) * rhs / static_cast<Int128>(divisor);
    return {saturatingInt64(multiple), saturatingInt64(multiple / lhs),
            saturatingInt64(multiple / rhs)};
}

Fraction Fraction::reducing(int64_t numerator, int64_t denominator) {
    const auto [n, d] = reduce(numerator, denominator);
    return Fraction(n, d, Reduced::yes);
}

// Results beyond 64 bits saturate, then reduce again.
static Fraction reducedResult(Int128 numerator, Int128 denominator) {
    const auto [n, d] = reduceWide(numerator, denominator);
    return Fraction::reducing(saturatingInt64(n), saturatingInt64(d));
}

bool Fraction::isReduced() const {
    if (reduced_ == Reduced::yes) {
        return true;
    }
    return reduce(numerator_, denominator_) == std::pair(numerator_, denominator_);
}

Fraction Fraction::reduced() const {
    return reduced_ == Reduced::yes ? *this : reducing(numerator_, denominator_);
}

bool Fraction::isWholeInteger() const {
    // Divisibility in integers: a double quotient is inexact beyond 2^53, and the remainder of
    // the smallest integer by −1 overflows, so −1 is taken apart.
    if (denominator_ == 0) {
        return false;
    }
    return denominator_ == -1 || numerator_ % denominator_ == 0;
}

double Fraction::doubleValue() const {
    return static_cast<double>(numerator_) / static_cast<double>(denominator_);
}

Decimal Fraction::decimalValue() const {
    return Decimal(numerator_) / Decimal(denominator_);
}

MediaTime Fraction::cmTimeValue() const {
    Int128 value = numerator_;
    Int128 timescale = denominator_;
    if (timescale < 0) {
        value = -value;
        timescale = -timescale;
    }
    if (timescale == 0 || timescale > std::numeric_limits<int32_t>::max() ||
        value != static_cast<Int128>(saturatingInt64(value))) {
        return MediaTime::invalidTime();
    }
    return MediaTime(static_cast<int64_t>(value), static_cast<int32_t>(timescale));
}

std::string Fraction::stringValue() const {
    return std::to_string(numerator_) + "/" + std::to_string(denominator_);
}

std::string Fraction::fcpxmlStringValue() const {
    Int128 numerator = numerator_;
    Int128 denominator = denominator_;
    if (reduced_ != Reduced::yes && denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    // A whole quotient is tested in integers (see isWholeInteger).
    if (!isWholeInteger()) {
        return toString(numerator) + "/" + toString(denominator) + "s";
    }
    return toString(numerator / denominator) + "s";
}

Fraction Fraction::abs() const {
    return Fraction(saturatingInt64(magnitude(numerator_)),
                    saturatingInt64(magnitude(denominator_)));
}

Fraction Fraction::negated() const {
    return Fraction(saturatingInt64(-static_cast<Int128>(numerator_)), denominator_);
}

Fraction operator+(const Fraction &lhs, const Fraction &rhs) {
    // The sum over the product of the denominators reduces to the same lowest terms as the sum
    // over their least common multiple; 128 bits hold every intermediate exactly.
    if (lhs.denominator() == rhs.denominator()) {
        return reducedResult(static_cast<Int128>(lhs.numerator()) + rhs.numerator(),
                             lhs.denominator());
    }
    return reducedResult(numeratorTimes(lhs, rhs.denominator()) +
                             numeratorTimes(rhs, lhs.denominator()),
                         static_cast<Int128>(lhs.denominator()) * rhs.denominator());
}

Fraction operator-(const Fraction &lhs, const Fraction &rhs) {
    if (lhs.denominator() == rhs.denominator()) {
        return reducedResult(static_cast<Int128>(lhs.numerator()) - rhs.numerator(),
                             lhs.denominator());
    }
    return reducedResult(numeratorTimes(lhs, rhs.denominator()) -
                             numeratorTimes(rhs, lhs.denominator()),
                         static_cast<Int128>(lhs.denominator()) * rhs.denominator());
}

Fraction operator*(const Fraction &lhs, const Fraction &rhs) {
    return reducedResult(numeratorTimes(lhs, rhs.numerator()),
                         static_cast<Int128>(lhs.denominator()) * rhs.denominator());
}

Fraction operator/(const Fraction &lhs, const Fraction &rhs) {
    return reducedResult(numeratorTimes(lhs, rhs.denominator()),
                         static_cast<Int128>(lhs.denominator()) * rhs.numerator());
}

bool operator==(const Fraction &lhs, const Fraction &rhs) {
    return reduceWide(lhs.numerator(), lhs.denominator()) ==
           reduceWide(rhs.numerator(), rhs.denominator());
}

bool operator<(const Fraction &lhs, const Fraction &rhs) {
    if (lhs.denominator() == 0 || rhs.denominator() == 0) {
        return lhs.doubleValue() < rhs.doubleValue();
    }
    // Cross-multiplied with positive denominators: exact where double quotients are not.
    const int lhsSign = lhs.denominator() < 0 ? -1 : 1;
    const int rhsSign = rhs.denominator() < 0 ? -1 : 1;
    return numeratorTimes(lhs, static_cast<Int128>(rhs.denominator()) * rhsSign) * lhsSign <
           numeratorTimes(rhs, static_cast<Int128>(lhs.denominator()) * lhsSign) * rhsSign;
}

std::size_t Fraction::hashValue() const {
    const auto [n, d] = reduceWide(numerator_, denominator_);
    const std::size_t first = std::hash<int64_t>{}(saturatingInt64(n));
    return first ^ (std::hash<int64_t>{}(saturatingInt64(d)) + 0x9e3779b97f4a7c15ULL +
                    (first << 6) + (first >> 2));
}

std::optional<Fraction> Fraction::fromFcpxmlString(std::string_view text) {
    static const auto wholeSeconds = compileRegex(R"(^([-]){0,1}([\d]+)s$)");
    static const auto ratio = compileRegex(R"(^([-]){0,1}([\d]+)\/([\d]+)s$)");
    const auto parse = [](const std::optional<std::string> &sign,
                          const std::optional<std::string> &digits) -> std::optional<int64_t> {
        if (!digits) {
            return std::nullopt;
        }
        const std::string joined = sign.value_or("") + *digits;
        int64_t value = 0;
        const auto result = std::from_chars(joined.data(), joined.data() + joined.size(), value);
        if (result.ec != std::errc() || result.ptr != joined.data() + joined.size()) {
            return std::nullopt;
        }
        return value;
    };
    if (wholeSeconds) {
        const auto groups = regexMatchesCaptureGroups(text, *wholeSeconds);
        if (groups.size() >= 3) {
            if (auto seconds = parse(groups[1], groups[2])) {
                return Fraction(*seconds, 1, Reduced::yes);
            }
        }
    }
    if (ratio) {
        const auto groups = regexMatchesCaptureGroups(text, *ratio);
        if (groups.size() >= 4) {
            const auto numerator = parse(groups[1], groups[2]);
            const auto denominator = parse(std::nullopt, groups[3]);
            if (numerator && denominator) {
                return Fraction(*numerator, *denominator);
            }
        }
    }
    return std::nullopt;
}

Fraction rational(double value, int precision) {
    if (std::isnan(value)) {
        return Fraction::reducing(0, 1);
    }
    const int integralDigits = Decimal::fromDouble(value).integralDigitPlaces();
    // 10^19 does not fit 64 bits, and neither do all nineteen-digit numerators (9.5 at 18
    // places is 9.5 × 10^18): at most 18 places, one fewer until the scaled value fits, and a
    // value that never fits saturates.
    const int largestPlaces = std::min(integralDigits < 20 ? 19 - integralDigits : 0, 18);
    for (int places = std::min(largestPlaces, std::max(precision, 0)); places >= 0; --places) {
        const auto denominator = static_cast<int64_t>(std::pow(10.0, places));
        if (const auto numerator =
                truncateToInt64(std::fabs(value) * static_cast<double>(denominator))) {
            return Fraction::reducing(value < 0 ? -*numerator : *numerator, denominator);
        }
    }
    const int64_t largest = std::numeric_limits<int64_t>::max();
    return Fraction::reducing(value < 0 ? -largest : largest, 1);
}

Fraction Fraction::fromDouble(double value, int decimalPrecision) {
    return rational(value, decimalPrecision);
}

} // namespace timecode
