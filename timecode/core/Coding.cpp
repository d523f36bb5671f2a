#include "timecode/core/Coding.h"

#include <limits>

namespace timecode {

const Json &decodeRequired(const Json &object, const char *key) {
    if (!object.is_object()) {
        throw DecodingError(DecodingError::Kind::typeMismatch,
                            "Expected to decode Dictionary but found " +
                                std::string(object.type_name()) + " instead.");
    }
    const auto found = object.find(key);
    if (found == object.end()) {
        throw DecodingError(DecodingError::Kind::keyNotFound,
                            "No value associated with key \"" + std::string(key) + "\".");
    }
    return *found;
}

int64_t decodeInt64(const Json &value) {
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        return value.get<int64_t>();
    }
    if (value.is_number_unsigned() &&
        value.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
        return static_cast<int64_t>(value.get<uint64_t>());
    }
    if (value.is_number()) {
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            "Parsed JSON number <" + value.dump() + "> does not fit in Int64.");
    }
    throw DecodingError(DecodingError::Kind::typeMismatch, "Expected to decode Int64 but found " +
                                                               std::string(value.type_name()) +
                                                               " instead.");
}

int64_t decodeInt64(const Json &object, const char *key) {
    return decodeInt64(decodeRequired(object, key));
}

} // namespace timecode
