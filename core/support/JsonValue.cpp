#include "core/support/JsonValue.h"

#include "core/support/Numeric.h"

#include <cmath>

namespace tandrel::json_detail {

void throwTypeMismatch(std::string_view expected, const Json &found) {
    const DecodingError::Kind kind =
        found.is_null() ? DecodingError::Kind::valueNotFound : DecodingError::Kind::typeMismatch;
    throw DecodingError(kind, "Expected to decode " + std::string(expected) + " but found " +
                                  std::string(found.type_name()) + " instead.");
}

std::optional<int64_t> exactInt64(const Json &json) {
    if (json.is_number_unsigned()) {
        const uint64_t value = json.get<uint64_t>();
        if (!std::in_range<int64_t>(value)) {
            return std::nullopt;
        }
        return static_cast<int64_t>(value);
    }
    if (json.is_number_integer()) {
        return json.get<int64_t>();
    }
    if (json.is_number_float()) {
        const double value = json.get<double>();
        if (std::trunc(value) != value) {
            return std::nullopt;
        }
        return truncateToInt64(value);
    }
    return std::nullopt;
}

void requireFinite(double value) {
    if (!std::isfinite(value)) {
        throw EncodingError("Unable to encode " + std::string(std::isnan(value) ? "nan" : "inf") +
                            " directly in JSON.");
    }
}

} // namespace tandrel::json_detail
