#include "core/support/Numeric.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <system_error>

namespace tandrel {

std::optional<int64_t> parseDecimalInt64(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // Accumulate toward the negative side, which has room for INT64_MIN.
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        if (__builtin_mul_overflow(value, int64_t{10}, &value) ||
            __builtin_sub_overflow(value, int64_t{c - '0'}, &value)) {
            return std::nullopt;
        }
    }
    if (negative) {
        return value;
    }
    int64_t positive = 0;
    if (__builtin_sub_overflow(int64_t{0}, value, &positive)) {
        return std::nullopt;
    }
    return positive;
}

std::optional<double> parseFiniteDouble(std::string_view text) {
    // strtod would skip leading white space and accept what follows a NUL as the end.
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const unsigned char first = static_cast<unsigned char>(text.front());
    if (first == ' ' || (first >= '\t' && first <= '\r')) {
        return std::nullopt;
    }
    // Plain decimals, which the library's texts mostly are, are read without a copy; both
    // readings round correctly, so they agree. Anything else (a sign, an exponent, a
    // hexadecimal number, a value out of range) is left to strtod.
    if (text.find_first_not_of("-.0123456789") == std::string_view::npos) {
        double value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && std::isfinite(value)) {
            return value;
        }
    }
    // The decimal point is always '.', whatever the process's locale says.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string copy(text);
    char *end = nullptr;
    const double value = strtod_l(copy.c_str(), &end, cLocale);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace tandrel
