#include "timecode/ui/model/KeyEquivalent.h"

#include <array>
#include <cstdio>
#include <string_view>
#include <utility>

namespace timecode {

namespace {

void appendUtf8(std::string &text, char32_t scalar) {
    if (scalar < 0x80) {
        text.push_back(static_cast<char>(scalar));
    } else if (scalar < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (scalar >> 6)));
        text.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
    } else if (scalar < 0x10000) {
        text.push_back(static_cast<char>(0xE0 | (scalar >> 12)));
        text.push_back(static_cast<char>(0x80 | ((scalar >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
    } else {
        text.push_back(static_cast<char>(0xF0 | (scalar >> 18)));
        text.push_back(static_cast<char>(0x80 | ((scalar >> 12) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | ((scalar >> 6) & 0x3F)));
        text.push_back(static_cast<char>(0x80 | (scalar & 0x3F)));
    }
}

} // namespace

std::string KeyEquivalent::description() const {
    static constexpr std::array<std::pair<KeyEquivalent, std::string_view>, 17> names{{
        {upArrow, "upArrow"},
        {downArrow, "downArrow"},
        {leftArrow, "leftArrow"},
        {rightArrow, "rightArrow"},
        {home, "home"},
        {end, "end"},
        {pageUp, "pageUp"},
        {pageDown, "pageDown"},
        {deleteKey, "deleteKey"},
        {deleteForward, "deleteForward"},
        {clear, "clear"},
        {escape, "escape"},
        {returnKey, "returnKey"},
        {tab, "tab"},
        {space, "space"},
        {asciiDEL, "asciiDEL"},
        {asciiEndOfText, "asciiEndOfText"},
    }};
    for (const auto &[key, name] : names) {
        if (key == *this) {
            return std::string(name);
        }
    }
    const bool control = character_ < 0x20 || (character_ >= 0x7F && character_ < 0xA0);
    const bool privateUse = character_ >= 0xE000 && character_ <= 0xF8FF;
    if (control || privateUse || character_ > 0x10FFFF ||
        (character_ >= 0xD800 && character_ <= 0xDFFF)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character_));
        return code;
    }
    std::string text;
    appendUtf8(text, character_);
    return text;
}

} // namespace timecode
