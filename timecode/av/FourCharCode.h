#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace timecode {

// A four-character code as QuickTime files and media descriptions carry it: four bytes read
// as one big-endian integer, so 'tmcd' is 0x746D6364.
using FourCharCode = uint32_t;

consteval FourCharCode fourCharCode(const char (&text)[5]) {
    return (FourCharCode(static_cast<unsigned char>(text[0])) << 24) |
           (FourCharCode(static_cast<unsigned char>(text[1])) << 16) |
           (FourCharCode(static_cast<unsigned char>(text[2])) << 8) |
           FourCharCode(static_cast<unsigned char>(text[3]));
}

// The four characters, bytes outside printable ASCII as '?'.
inline std::string fourCharCodeText(FourCharCode code) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<unsigned char>(code >> (24 - 8 * i));
        if (byte >= 0x20 && byte < 0x7F) {
            text[static_cast<size_t>(i)] = static_cast<char>(byte);
        }
    }
    return text;
}

} // namespace timecode
