#pragma once

#include <string>

namespace tandrel::testing {

// ASCII text as UTF-16 little-endian, with its byte-order mark unless told otherwise: a
// document the entity guard cannot read as UTF-8, while the XML parser can.
inline std::string utf16(const std::string &ascii, bool byteOrderMark = true) {
    std::string text = byteOrderMark ? "\xFF\xFE" : "";
    for (char c : ascii) {
        text += c;
        text += '\0';
    }
    return text;
}

} // namespace tandrel::testing
