#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace timecode {

// A key as the timecode field reads it: one character. Keys without a character of their own
// (arrows, forward delete, clear, home...) are characters of the private-use area, so every
// key compares, hashes and prints the same way.
class KeyEquivalent {
public:
    constexpr explicit KeyEquivalent(char32_t character) : character_(character) {}

    static const KeyEquivalent upArrow;
    static const KeyEquivalent downArrow;
    static const KeyEquivalent leftArrow;
    static const KeyEquivalent rightArrow;
    static const KeyEquivalent home;
    static const KeyEquivalent end;
    static const KeyEquivalent pageUp;
    static const KeyEquivalent pageDown;
    // Backspace. ("delete" and "return" are words of the language.)
    static const KeyEquivalent deleteKey;
    static const KeyEquivalent deleteForward;
    static const KeyEquivalent clear;
    static const KeyEquivalent escape;
    static const KeyEquivalent returnKey;
    static const KeyEquivalent tab;
    static const KeyEquivalent space;
    // U+007F, which some keyboards send for backspace; the field treats it as delete.
    static const KeyEquivalent asciiDEL;
    // U+0003, which the keypad's enter sends on some systems; the field treats it as return.
    static const KeyEquivalent asciiEndOfText;

    constexpr char32_t character() const { return character_; }

    // The name of a named key ("upArrow", "returnKey", "asciiDEL"), the character itself for a
    // printable one ("5"), else "U+" and its code ("U+0007").
    std::string description() const;

    friend constexpr bool operator==(KeyEquivalent, KeyEquivalent) = default;

private:
    char32_t character_;
};

inline constexpr KeyEquivalent KeyEquivalent::upArrow{U'\uE000'};
inline constexpr KeyEquivalent KeyEquivalent::downArrow{U'\uE001'};
inline constexpr KeyEquivalent KeyEquivalent::leftArrow{U'\uE002'};
inline constexpr KeyEquivalent KeyEquivalent::rightArrow{U'\uE003'};
inline constexpr KeyEquivalent KeyEquivalent::home{U'\uE004'};
inline constexpr KeyEquivalent KeyEquivalent::end{U'\uE005'};
inline constexpr KeyEquivalent KeyEquivalent::pageUp{U'\uE006'};
inline constexpr KeyEquivalent KeyEquivalent::pageDown{U'\uE007'};
inline constexpr KeyEquivalent KeyEquivalent::deleteKey{U'\u0008'};
inline constexpr KeyEquivalent KeyEquivalent::deleteForward{U'\uE008'};
inline constexpr KeyEquivalent KeyEquivalent::clear{U'\uE009'};
inline constexpr KeyEquivalent KeyEquivalent::escape{U'\u001B'};
inline constexpr KeyEquivalent KeyEquivalent::returnKey{U'\u000D'};
inline constexpr KeyEquivalent KeyEquivalent::tab{U'\u0009'};
inline constexpr KeyEquivalent KeyEquivalent::space{U' '};
inline constexpr KeyEquivalent KeyEquivalent::asciiDEL{U'\u007F'};
inline constexpr KeyEquivalent KeyEquivalent::asciiEndOfText{U'\u0003'};

} // namespace timecode

template <> struct std::hash<timecode::KeyEquivalent> {
    std::size_t operator()(timecode::KeyEquivalent key) const noexcept {
        return std::hash<char32_t>{}(key.character());
    }
};
