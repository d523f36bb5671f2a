#include "core/support/JsonText.h"

#include <cmath>
#include <cstdio>
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

std::string encodeJsonTextForTerminal(const Json &json, int indent) {
    const std::string text = json.dump(indent, ' ', false, Json::error_handler_t::replace);
    // The text is UTF-8, and these code points stand only inside its strings, which JSON's
    // "\u" escape writes as well: DEL (7F), the C1 controls (C2 80..9F), the Arabic letter
    // mark (D8 9C), the marks, separators, embeddings and isolates of bidirectional text
    // (E2 80 8E..8F, E2 80 A8..AE, E2 81 A6..A9).
    const auto byte = [&](std::size_t at) {
        return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
    };
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        unsigned codePoint = 0;
        std::size_t length = 0;
        const unsigned first = byte(at);
        if (first == 0x7F) {
            codePoint = 0x7F;
            length = 1;
        } else if (first == 0xC2 && byte(at + 1) >= 0x80 && byte(at + 1) <= 0x9F) {
            codePoint = byte(at + 1);
            length = 2;
        } else if (first == 0xD8 && byte(at + 1) == 0x9C) {
            codePoint = 0x061C;
            length = 2;
        } else if (first == 0xE2 && byte(at + 1) == 0x80 &&
                   ((byte(at + 2) >= 0x8E && byte(at + 2) <= 0x8F) ||
                    (byte(at + 2) >= 0xA8 && byte(at + 2) <= 0xAE))) {
            codePoint = 0x2000 + (byte(at + 2) - 0x80);
            length = 3;
        } else if (first == 0xE2 && byte(at + 1) == 0x81 && byte(at + 2) >= 0xA6 &&
                   byte(at + 2) <= 0xA9) {
            codePoint = 0x2040 + (byte(at + 2) - 0x80);
            length = 3;
        }
        if (length == 0) {
            shown += text[at++];
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", codePoint);
        shown += escape;
        at += length;
    }
    return shown;
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
