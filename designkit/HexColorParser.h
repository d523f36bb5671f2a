#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace corvane {

// The lenient reading of colour text that presets and settings store ("#0D0D0D"): surrounding
// white space is trimmed, every "#" is dropped wherever it stands, and what is left must be
// six user-perceived characters. Those are read as one unsigned hexadecimal number the way
// a text scanner does: leading white space skipped, an optional 0x or 0X, and digits up to
// the first character that is not one. So "12G456" reads as 0x12 and "0x1A2B" as 0x1A2B;
// only a text without any digit at its start is refused.
class HexColorParser {
public:
    struct Rgb {
        uint8_t red = 0;
        uint8_t green = 0;
        uint8_t blue = 0;
        friend bool operator==(const Rgb &, const Rgb &) = default;
    };

    static std::optional<Rgb> parse(QStringView text);
};

} // namespace corvane
