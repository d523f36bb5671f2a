#include "core/support/JsonReader.h"

namespace tandrel {

JsonReader::JsonReader(const Json &json, std::string_view recordName, Mode mode)
    : json_(json), mode_(mode) {
    if (!json.is_object()) {
        const DecodingError::Kind kind =
            json.is_null() ? DecodingError::Kind::valueNotFound : DecodingError::Kind::typeMismatch;
        throw DecodingError(kind, "Expected to decode " + std::string(recordName) +
                                      " from an object but found " + std::string(json.type_name()) +
                                      " instead.");
    }
}

const Json *JsonReader::find(std::string_view key) const {
    const auto it = json_.find(key);
    if (it == json_.end() || it->is_null()) {
        return nullptr;
    }
    return &*it;
}

void JsonReader::throwMissing(std::string_view key) const {
    const auto it = json_.find(key);
    if (it == json_.end()) {
        throw DecodingError(DecodingError::Kind::keyNotFound,
                            "No value associated with key \"" + std::string(key) + "\".");
    }
    throw DecodingError(DecodingError::Kind::valueNotFound,
                        "Expected a value for key \"" + std::string(key) + "\" but found null.");
}

} // namespace tandrel
