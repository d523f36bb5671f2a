#include "timecode/core/NumericUtilities.h"

#include "timecode/core/Decimal.h"

#include <algorithm>
#include <charconv>

namespace timecode {

std::optional<int64_t> truncateToInt64(double value) {
    // 2^63 is exactly representable; every double below it truncates into range.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(value) || value >= limit || value < -limit) {
        return std::nullopt;
    }
    return static_cast<int64_t>(value);
}

std::optional<int64_t> roundToInt64(double value) {
    return truncateToInt64(std::round(value));
}

int64_t saturatingTruncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (auto whole = truncateToInt64(value)) {
        return *whole;
    }
    return value < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

int64_t saturatingInt64(Int128 value) {
    return static_cast<int64_t>(std::clamp<Int128>(value, std::numeric_limits<int64_t>::min(),
                                                   std::numeric_limits<int64_t>::max()));
}

std::optional<int64_t> parseDigits(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_add_overflow(value, c - '0', &value)) {
            return std::nullopt;
        }
    }
    return value;
}

std::string toString(UInt128 value) {
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(value % 10)));
        value /= 10;
    } while (value != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string toString(Int128 value) {
    if (value >= 0) {
        return toString(static_cast<UInt128>(value));
    }
    // Appending keeps GCC 12 from a false -Wrestrict alarm on "-" + string.
    std::string text = "-";
    text += toString(magnitude(value));
    return text;
}

int integralDigitPlaces(double value) {
    return Decimal::fromDouble(value).integralDigitPlaces();
}

int fractionDigitPlaces(double value) {
    return Decimal::fromDouble(value).fractionDigitPlaces();
}

std::string doubleDescription(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    char buffer[64];
    const double magnitude = std::fabs(value);
    if (magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e16)) {
        const auto end =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
        std::string text(buffer, end);
        if (text.find('.') == std::string::npos) {
            text += ".0";
        }
        return text;
    }
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    return std::string(buffer, end);
}

} // namespace timecode
