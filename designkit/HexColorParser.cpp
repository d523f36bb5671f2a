#include "designkit/HexColorParser.h"

#include <QString>
#include <QTextBoundaryFinder>

namespace corvane {

namespace {

int graphemeCount(const QString &text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1) {
        ++count;
    }
    return count;
}

std::optional<int> hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return std::nullopt;
}

// A scan of an unsigned hexadecimal number from the start of `text`. A "0" before an "x"
// that no digit follows still counts as the number 0, as the scanner it imitates does.
std::optional<uint64_t> scanHex(const QString &text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace()) {
        ++i;
    }
    bool found = false;
    if (i < text.size() && text.at(i) == u'0') {
        found = true;
        ++i;
        if (i < text.size() && (text.at(i) == u'x' || text.at(i) == u'X')) {
            ++i;
        }
    }
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const auto digit = hexDigit(text.at(i));
        if (!digit) {
            break;
        }
        found = true;
        value = value * 16 + static_cast<uint64_t>(*digit);
    }
    if (!found) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<HexColorParser::Rgb> HexColorParser::parse(QStringView text) {
    QString digits = text.trimmed().toString();
    digits.remove(u'#');
    // Counted as people see characters: "e" with a combining accent is one of the six.
    if (graphemeCount(digits) != 6) {
        return std::nullopt;
    }
    const auto value = scanHex(digits);
    if (!value) {
        return std::nullopt;
    }
    return Rgb{static_cast<uint8_t>((*value >> 16) & 0xFF),
               static_cast<uint8_t>((*value >> 8) & 0xFF), static_cast<uint8_t>(*value & 0xFF)};
}

} // namespace corvane
