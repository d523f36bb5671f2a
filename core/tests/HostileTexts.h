#pragma once

// Names as an attacker writes them into a library or an FCPXML export: one user-perceived
// character of any length, controls that would break a line, forge a row or reorder what a
// reader sees, and sheer size. The tests of every place that shapes, draws or prints such a
// name run through them; `ordinaryLongName` is what they are measured against.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::testing {

inline std::string repeatedText(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

struct HostileText {
    const char *what;
    std::string text;
    // Whether an XML document can hold it (NUL and most C0 controls it cannot).
    bool inXML = true;
};

// 300 characters of an ordinary clip name.
inline std::string ordinaryLongName() {
    return repeatedText("Wide Shot ", 30);
}

inline const std::vector<HostileText> &hostileTexts() {
    static const std::vector<HostileText> texts{
        {"70,000 combining marks", "Wide Shot" + repeatedText("\u0301", 70000)},
        {"300,000 combining marks", "Wide Shot" + repeatedText("\u0301", 300000)},
        {"100,000 Hangul leading jamo", "Wide " + repeatedText("\u1100", 100000) + "\u1161"},
        {"20,000 emoji joined by ZWJ",
         "Wide " + repeatedText("\U0001F468\u200D", 20000) + "\U0001F468"},
        {"100,000 prepend marks", "Wide " + repeatedText("\u0600", 100000) + "1"},
        {"bidi controls",
         "Wide \u202E" + repeatedText("\u2067\u202B", 500) + "tohS\u200F\u061C\u2069"},
        {"NUL", std::string("Wide\0Shot", 9), false},
        {"C0 and C1 controls", "\x1B[2J\x1B[31mWide\x07\x08Shot\u009B31m\u0085\x7F", false},
        {"C1 controls and tabs", "Wide\u009B2J\u0085Shot\t\u009D0;x"},
        {"line breaks", "Wide\nPASS \u2014 resolver matches FCPXML\r\nShot\u2028\u2029\n"},
        // A second line that reads as the status line's, after a name that reads as another's.
        {"a line break forging the status line", "Sample\nServing 'Other' (8 timelines)"},
        // Left open: whatever follows it on the line would read right to left.
        {"an unterminated RLO", "Sample \u202Eenil"},
        {"10 MiB plain", repeatedText("Wide Shot ", 1024 * 1024)},
    };
    return texts;
}

// Whether UTF-8 text holds a control character a reader's terminal or view would obey: a C0
// or C1 control, DEL, a mark, embedding or isolate of bidirectional text, or a line or
// paragraph separator.
inline bool holdsControls(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = [&](std::size_t k) {
            return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
        };
        if (byte < 0x20 || byte == 0x7F || (byte == 0xC2 && next(1) >= 0x80 && next(1) <= 0x9F) ||
            (byte == 0xD8 && next(1) == 0x9C) ||
            (byte == 0xE2 && next(1) == 0x80 &&
             (next(2) == 0x8E || next(2) == 0x8F || (next(2) >= 0xA8 && next(2) <= 0xAE))) ||
            (byte == 0xE2 && next(1) == 0x81 && next(2) >= 0xA6 && next(2) <= 0xA9)) {
            return true;
        }
    }
    return false;
}

} // namespace tandrel::testing
