#include "timecode/core/CharacterSet.h"

namespace timecode {

std::vector<char32_t> unicodeScalars(std::string_view text) {
    constexpr char32_t replacement = 0xFFFD;
    std::vector<char32_t> scalars;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t scalar = 0;
        if (lead < 0x80) {
            length = 1;
            scalar = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            scalar = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            scalar = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            scalar = lead & 0x07;
        }
        bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            scalar = (scalar << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && scalar >= smallest[length] && scalar <= 0x10FFFF &&
                !(scalar >= 0xD800 && scalar <= 0xDFFF);
        scalars.push_back(valid ? scalar : replacement);
        i += valid ? static_cast<size_t>(length) : 1;
    }
    return scalars;
}

CharacterSet::CharacterSet(std::initializer_list<std::string_view> characters) {
    for (std::string_view character : characters) {
        insert(character);
    }
}

CharacterSet::CharacterSet(const std::vector<std::string> &characters) {
    for (const std::string &character : characters) {
        insert(character);
    }
}

void CharacterSet::insert(std::string_view character) {
    for (char32_t scalar : unicodeScalars(character)) {
        scalars_.insert(scalar);
    }
}

bool CharacterSet::contains(std::string_view character) const {
    for (char32_t scalar : unicodeScalars(character)) {
        if (!containsScalar(scalar)) {
            return false;
        }
    }
    return true;
}

CharacterSet &CharacterSet::operator+=(const CharacterSet &other) {
    scalars_.insert(other.scalars_.begin(), other.scalars_.end());
    return *this;
}

CharacterSet &CharacterSet::operator-=(const CharacterSet &other) {
    for (char32_t scalar : other.scalars_) {
        scalars_.erase(scalar);
    }
    return *this;
}

} // namespace timecode
