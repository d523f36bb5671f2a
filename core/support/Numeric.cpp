#include "core/support/Numeric.h"

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

} // namespace tandrel
