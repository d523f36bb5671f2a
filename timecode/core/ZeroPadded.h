#pragma once

#include <cstdint>
#include <string>

namespace timecode {

// Appends the value as printf's "%0<width>ld" writes it: at least `width` characters, zeros
// after the sign ("-5" at width 2, "-05" at width 3, "007" at width 3).
inline void appendZeroPadded(std::string &text, int64_t value, int width) {
    // Hours, minutes, seconds and most frames.
    if (value >= 0 && value < 100 && width <= 2) {
        if (width == 2 || value >= 10) {
            text.push_back(static_cast<char>('0' + value / 10));
        }
        text.push_back(static_cast<char>('0' + value % 10));
        return;
    }
    char digits[20];
    int count = 0;
    // The magnitude of the smallest value only fits unsigned.
    uint64_t magnitude =
        value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        text.push_back('-');
        --width;
    }
    text.append(static_cast<size_t>(width > count ? width - count : 0), '0');
    while (count > 0) {
        text.push_back(digits[--count]);
    }
}

} // namespace timecode
