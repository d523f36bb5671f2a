#include "core/support/JsonText.h"

#include <cmath>
#include <vector>

namespace tandrel {

namespace {

// Walks the whole document without recursion.
void requireFiniteNumbers(const Json &json) {
    std::vector<const Json *> pending{&json};
    while (!pending.empty()) {
        const Json *value = pending.back();
        pending.pop_back();
        if (value->is_number_float() && !std::isfinite(value->get<double>())) {
            throw EncodingError("Unable to encode a non-finite number directly in JSON.");
        }
        if (value->is_structured()) {
            for (const Json &child : *value) {
                pending.push_back(&child);
            }
        }
    }
}

} // namespace

std::string encodeJsonText(const Json &json) {
    requireFiniteNumbers(json);
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json parseJsonText(std::string_view text) {
    Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            "The given data was not valid JSON.");
    }
    return json;
}

} // namespace tandrel
