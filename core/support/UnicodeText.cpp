#include "core/support/UnicodeText.h"

#include "core/support/AsciiText.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tandrel {

namespace {

// The text mapped by utf8proc with `options`; unchanged when it is not valid UTF-8.
std::string mapped(std::string_view text, int options) {
    utf8proc_uint8_t *result = nullptr;
    const auto length = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t *>(text.data()),
                                     static_cast<utf8proc_ssize_t>(text.size()), &result,
                                     static_cast<utf8proc_option_t>(options));
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(result, &std::free);
    if (length < 0 || !result) {
        return std::string(text);
    }
    return std::string(reinterpret_cast<const char *>(result), static_cast<size_t>(length));
}

} // namespace

std::string canonicallyComposed(std::string_view text) {
    return mapped(text, UTF8PROC_STABLE | UTF8PROC_COMPOSE);
}

namespace {

// A text mapped by utf8proc a piece at a time, so that a long text never needs more than a
// piece's mapping (utf8proc spends four bytes per character on its way). Valid text is cut
// only before an ASCII character: case folding maps each character on its own, and no
// composition or reordering of combining marks reaches across an ASCII character, so the
// pieces' mappings joined are the mapping of the whole. Text that is not valid UTF-8 stays
// as it is, as `mapped` leaves it.
class MappedPieces {
public:
    static constexpr size_t pieceLength = 65536;

    MappedPieces(std::string_view text, int options)
        : rest_(text), options_(options), valid_(isValidUTF8(text)) {}

    // Appends the next piece's mapping to `out`; false when the text is used up.
    bool next(std::string &out) {
        if (rest_.empty()) {
            return false;
        }
        size_t cut = std::min(pieceLength, rest_.size());
        while (valid_ && cut < rest_.size() && static_cast<unsigned char>(rest_[cut]) >= 0x80) {
            ++cut;
        }
        const std::string_view piece = rest_.substr(0, cut);
        rest_.remove_prefix(cut);
        if (!valid_) {
            out += piece;
        } else if ((options_ & UTF8PROC_CASEFOLD) != 0 &&
                   std::all_of(piece.begin(), piece.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            // ASCII composes to itself and folds to lower case.
            out += asciiLowercased(piece);
        } else {
            out += mapped(piece, options_);
        }
        return true;
    }

private:
    std::string_view rest_;
    int options_;
    bool valid_;
};

} // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto isASCII = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (isASCII(a) && isASCII(b)) {
        // ASCII composes to itself and folds to lower case, one byte for one.
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [&](char x, char y) { return lower(x) == lower(y); });
    }
    const int options = UTF8PROC_STABLE | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD;
    MappedPieces piecesOfA(a, options);
    MappedPieces piecesOfB(b, options);
    std::string mappedA;
    std::string mappedB;
    bool moreOfA = true;
    bool moreOfB = true;
    while (true) {
        while (mappedA.empty() && moreOfA) {
            moreOfA = piecesOfA.next(mappedA);
        }
        while (mappedB.empty() && moreOfB) {
            moreOfB = piecesOfB.next(mappedB);
        }
        if (mappedA.empty() || mappedB.empty()) {
            return mappedA.empty() && mappedB.empty();
        }
        const size_t common = std::min(mappedA.size(), mappedB.size());
        if (mappedA.compare(0, common, mappedB, 0, common) != 0) {
            return false;
        }
        mappedA.erase(0, common);
        mappedB.erase(0, common);
    }
}

bool plainTextLess(std::string_view a, std::string_view b) {
    // UTF-8 byte order is the order of the scalar values it encodes.
    return canonicallyComposed(a) < canonicallyComposed(b);
}

} // namespace tandrel

namespace tandrel {

namespace {

// The scalar at the start of `text` and its length in bytes, or nothing when the text does
// not start with a well-formed sequence.
std::optional<std::pair<utf8proc_int32_t, size_t>> firstScalar(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    utf8proc_int32_t scalar = 0;
    const auto length =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(text.data()),
                         static_cast<utf8proc_ssize_t>(std::min<size_t>(text.size(), 4)), &scalar);
    if (length <= 0 || !utf8proc_codepoint_valid(scalar)) {
        return std::nullopt;
    }
    return std::pair{scalar, static_cast<size_t>(length)};
}

bool isWhiteSpace(utf8proc_int32_t scalar) {
    switch (scalar) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x85:
        return true;
    default:
        break;
    }
    const auto category = utf8proc_category(scalar);
    return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
           category == UTF8PROC_CATEGORY_ZP;
}

// The text without the scalars at either end that `isTrimmed` accepts.
std::string_view trimming(std::string_view text, bool (*isTrimmed)(utf8proc_int32_t)) {
    while (const auto scalar = firstScalar(text)) {
        if (!isTrimmed(scalar->first)) {
            break;
        }
        text.remove_prefix(scalar->second);
    }
    // Walk back to the start of the last scalar: continuation bytes are 10xxxxxx.
    while (!text.empty()) {
        size_t start = text.size() - 1;
        while (start > 0 && text.size() - start < 4 &&
               (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        const auto scalar = firstScalar(text.substr(start));
        if (!scalar || start + scalar->second != text.size() || !isTrimmed(scalar->first)) {
            break;
        }
        text.remove_suffix(scalar->second);
    }
    return text;
}

// The code point at `offset` and its length in bytes; a byte that is not part of a valid
// sequence reads as U+FFFD, one byte long.
std::pair<utf8proc_int32_t, utf8proc_ssize_t> codePointAt(std::string_view text,
                                                          utf8proc_ssize_t offset) {
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t size =
        utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t *>(text.data()) + offset,
                         static_cast<utf8proc_ssize_t>(text.size()) - offset, &codepoint);
    if (size <= 0) {
        return {0xfffd, 1};
    }
    return {codepoint, size};
}

// Walks the grapheme boundaries of UTF-8 text: calls `boundary(offset)` at the start of every
// user-perceived character after the first; stops early when it answers false.
template <typename Boundary>
void forEachGraphemeBoundary(std::string_view text, Boundary boundary) {
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    utf8proc_int32_t state = 0;
    utf8proc_int32_t previous = -1;
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        // Two ASCII characters are always two user-perceived ones, but for CR LF: runs of
        // them need no decoding.
        const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(offset)]);
        if (byte < 0x80 && previous >= 0 && previous < 0x80 &&
            !(previous == '\r' && byte == '\n')) {
            if (!boundary(static_cast<std::size_t>(offset))) {
                return;
            }
            state = 0; // the break state after an ASCII character is that of a fresh start
            previous = byte;
            ++offset;
            continue;
        }
        const auto [codepoint, size] = codePointAt(text, offset);
        if (size == 1 && codepoint == 0xfffd &&
            static_cast<unsigned char>(text[static_cast<std::size_t>(offset)]) >= 0x80) {
            state = 0; // not valid UTF-8: the byte starts afresh
        }
        if (previous >= 0 && utf8proc_grapheme_break_stateful(previous, codepoint, &state) &&
            !boundary(static_cast<std::size_t>(offset))) {
            return;
        }
        previous = codepoint;
        offset += size;
    }
}

// The user-perceived characters of UTF-8 text, one after the other.
class Characters {
public:
    explicit Characters(std::string_view text) : text_(text) {}

    // The next character, whole; nothing at the end.
    std::optional<std::string_view> next() {
        if (start_ >= text_.size()) {
            return std::nullopt;
        }
        std::size_t end = text_.size();
        forEachGraphemeBoundary(text_.substr(start_), [&](std::size_t offset) {
            end = start_ + offset;
            return false;
        });
        const std::string_view character = text_.substr(start_, end - start_);
        start_ = end;
        return character;
    }

private:
    std::string_view text_;
    std::size_t start_ = 0;
};

// Calls `character(text)` with each user-perceived character of UTF-8 text in turn, whole;
// stops early when it answers false.
template <typename Character> void forEachCharacter(std::string_view text, Character character) {
    std::size_t start = 0;
    bool going = true;
    forEachGraphemeBoundary(text, [&](std::size_t offset) {
        going = character(text.substr(start, offset - start));
        start = offset;
        return going;
    });
    if (going && start < text.size()) {
        character(text.substr(start));
    }
}

} // namespace

size_t validUTF8PrefixLength(std::string_view bytes) {
    size_t position = 0;
    while (position < bytes.size()) {
        // ASCII runs are the common case and need no decoding.
        if (static_cast<unsigned char>(bytes[position]) < 0x80) {
            ++position;
            continue;
        }
        const auto scalar = firstScalar(bytes.substr(position));
        if (!scalar) {
            break;
        }
        position += scalar->second;
    }
    return position;
}

bool startsWithLetter(std::string_view text) {
    const auto scalar = firstScalar(text);
    if (!scalar) {
        return false;
    }
    switch (utf8proc_category(scalar->first)) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LL:
    case UTF8PROC_CATEGORY_LT:
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
        return true;
    default:
        return false;
    }
}

std::string_view trimmingWhitespaceAndNewlines(std::string_view text) {
    return trimming(text, isWhiteSpace);
}

std::string_view trimmingHorizontalWhitespace(std::string_view text) {
    return trimming(text, [](utf8proc_int32_t scalar) {
        return scalar == 0x09 || utf8proc_category(scalar) == UTF8PROC_CATEGORY_ZS;
    });
}

std::string validUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    const auto *bytes = reinterpret_cast<const utf8proc_uint8_t *>(text.data());
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        utf8proc_int32_t codepoint = 0;
        const utf8proc_ssize_t size = utf8proc_iterate(bytes + offset, length - offset, &codepoint);
        if (size <= 0) {
            result += "\xEF\xBF\xBD";
            ++offset;
        } else {
            result.append(
                text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(size)));
            offset += size;
        }
    }
    return result;
}

std::size_t graphemeCount(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    std::size_t count = 1;
    forEachGraphemeBoundary(text, [&](std::size_t) {
        ++count;
        return true;
    });
    return count;
}

std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    // The byte at the limit may continue a sequence begun before it (continuation bytes are
    // 10xxxxxx; a sequence is at most four bytes long): then the cut goes before that sequence.
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    std::size_t start = maxBytes;
    while (start > 0 && maxBytes - start < 3 && (byte(start) & 0xC0) == 0x80) {
        --start;
    }
    const std::size_t length = byte(start) >= 0xF0 ? 4 : byte(start) >= 0xE0 ? 3 : 2;
    if (start < maxBytes && byte(start) >= 0xC0 && start + length > maxBytes) {
        return text.substr(0, start);
    }
    return text.substr(0, maxBytes);
}

namespace {

// U+034F COMBINING GRAPHEME JOINER: invisible, and what follows it never joins the character it
// ends (the Stream-Safe Text Format ends a run of non-starters with it).
constexpr std::string_view graphemeJoiner = "\u034F";

// Appends `marker`, ended off from the character before it when that one would reach forward
// (it ends in a prepend mark: text cut before the control that ended it).
void appendMarker(std::string &text, std::string_view marker) {
    if (!text.empty()) {
        // Back to the start of the last code point: continuation bytes are 10xxxxxx.
        std::size_t start = text.size() - 1;
        while (start > 0 && text.size() - start < 4 &&
               (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
            --start;
        }
        const auto [last, size] = codePointAt(text, static_cast<utf8proc_ssize_t>(start));
        if (start + static_cast<std::size_t>(size) == text.size() &&
            utf8proc_get_property(last)->boundclass == UTF8PROC_BOUNDCLASS_PREPEND) {
            text += graphemeJoiner;
        }
    }
    text += marker;
}

} // namespace

void appendBoundedCharacter(std::string &text, std::string_view character) {
    if (character.size() <= maxCodePointsPerCharacter) {
        text += character; // a code point takes at least one byte
        return;
    }
    const auto size = static_cast<utf8proc_ssize_t>(character.size());
    utf8proc_ssize_t offset = 0;
    utf8proc_ssize_t kept = 0;
    std::size_t count = 0;
    while (offset < size && count <= maxCodePointsPerCharacter) {
        if (count + 1 == maxCodePointsPerCharacter) {
            kept = offset;
        }
        offset += codePointAt(character, offset).second;
        ++count;
    }
    if (count <= maxCodePointsPerCharacter) {
        text += character;
        return;
    }
    // Its first code points but one, and the joiner that ends it: nothing after it (a leading
    // jamo, an emoji after a joiner, anything after a prepend mark) can make one character
    // with what is left.
    text += character.substr(0, static_cast<std::size_t>(kept));
    text += graphemeJoiner;
}

std::string boundedCharacter(std::string_view character) {
    std::string bounded;
    appendBoundedCharacter(bounded, character);
    return bounded;
}

std::string truncatedToGraphemes(std::string_view text, std::size_t limit, std::string_view marker,
                                 bool cutAlready) {
    std::string result;
    std::size_t seen = 0;
    bool cut = cutAlready;
    forEachCharacter(text, [&](std::string_view character) {
        if (seen == limit) {
            cut = true;
            return false;
        }
        appendBoundedCharacter(result, character);
        ++seen;
        return true;
    });
    if (cut) {
        appendMarker(result, marker);
    }
    return result;
}

namespace {

// The characters of `text` whose positions lie in the stretches [first, second) (in order and
// apart), each kept bounded, with `marker` between one stretch and the next.
std::string charactersIn(std::string_view text,
                         std::initializer_list<std::pair<std::size_t, std::size_t>> stretches,
                         std::string_view marker) {
    std::string result;
    auto stretch = stretches.begin();
    std::size_t position = 0;
    forEachCharacter(text, [&](std::string_view character) {
        while (stretch != stretches.end() && position >= stretch->second) {
            ++stretch;
            if (stretch != stretches.end()) {
                appendMarker(result, marker);
            }
        }
        if (stretch == stretches.end()) {
            return false;
        }
        if (position >= stretch->first) {
            appendBoundedCharacter(result, character);
        }
        ++position;
        return true;
    });
    // Stretches that reach the end of the text, or lie beyond it, still get their markers.
    for (; stretch != stretches.end() && std::next(stretch) != stretches.end(); ++stretch) {
        appendMarker(result, marker);
    }
    return result;
}

} // namespace

std::string elidedInMiddle(std::string_view text, std::size_t limit, std::string_view marker) {
    // A character takes at least one byte, a code point too.
    if (text.size() <= std::min(limit, maxCodePointsPerCharacter)) {
        return std::string(text);
    }
    const std::size_t count = graphemeCount(text);
    if (count <= limit) {
        return charactersIn(text, {{0, count}}, marker);
    }
    const std::size_t head = limit / 2;
    const std::size_t tail = limit - std::min<std::size_t>(limit, head + 1);
    return charactersIn(text, {{0, head}, {count - tail, count}}, marker);
}

std::string elidedAround(std::string_view text, std::size_t limit, std::string_view marker,
                         std::size_t focus) {
    const std::size_t count = graphemeCount(text);
    const std::size_t head = limit / 2;
    const std::size_t tail = limit - std::min<std::size_t>(limit, head + 1);
    if (count <= limit || focus < head || focus >= count - tail || limit < 5) {
        return elidedInMiddle(text, limit, marker);
    }
    // A quarter of what the two markers leave for the beginning and the end each, the rest
    // for the stretch around the focus, a third of it before the focus.
    const std::size_t end = (limit - 2) / 4;
    const std::size_t around = limit - 2 - 2 * end;
    // The focus lies past the beginning elidedInMiddle shows, and so does the stretch.
    const std::size_t from = focus - around / 3;
    if (from + around >= count - end) { // the stretch meets the end
        return charactersIn(text, {{0, end}, {count - (limit - 1 - end), count}}, marker);
    }
    return charactersIn(text, {{0, end}, {from, from + around}, {count - end, count}}, marker);
}

std::optional<std::size_t> firstDifferingCharacter(std::string_view a, std::string_view b) {
    Characters ofA(a);
    Characters ofB(b);
    for (std::size_t position = 0;; ++position) {
        const auto characterOfA = ofA.next();
        const auto characterOfB = ofB.next();
        if (!characterOfA && !characterOfB) {
            return std::nullopt;
        }
        if (!characterOfA || !characterOfB ||
            boundedCharacter(*characterOfA) != boundedCharacter(*characterOfB)) {
            return position;
        }
    }
}

namespace {

// Whether the code point is a control the text's look must not obey: the C0 and C1 controls
// and DEL, which break lines, move terminals' cursors and start their escapes, the marks and
// embeddings that reorder bidirectional text, and the line and paragraph separators.
bool isShownControl(utf8proc_int32_t codepoint) {
    if (codepoint < 0x20 || (codepoint >= 0x7F && codepoint <= 0x9F)) {
        return true;
    }
    switch (codepoint) {
    case 0x061C: // Arabic letter mark
    case 0x200E: // left-to-right mark
    case 0x200F: // right-to-left mark
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return (codepoint >= 0x202A && codepoint <= 0x202E) ||
               (codepoint >= 0x2066 && codepoint <= 0x2069);
    }
}

// FIRST STRONG ISOLATE, as `isolated` opens it, and POP DIRECTIONAL ISOLATE, which closes it.
// (The isolates that set a direction, LRI and RLI, are never made here.)
bool opensIsolate(utf8proc_int32_t codepoint) {
    return codepoint == 0x2068;
}
constexpr utf8proc_int32_t popDirectionalIsolate = 0x2069;

// "\u{0A}", "\u{9D}", "\u{202E}": the braces end the escape where the reader sees it, so
// that digits after it cannot pass for part of it.
void appendEscape(std::string &text, utf8proc_int32_t codepoint) {
    char escape[16];
    std::snprintf(escape, sizeof escape, "\\u{%02X}", static_cast<unsigned>(codepoint));
    text += escape;
}

} // namespace

std::string withControlsShown(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        const auto [codepoint, size] = codePointAt(text, offset);
        if (codepoint == '\\') {
            result += "\\\\"; // so that an escape in the text cannot pass for one made here
        } else if (isShownControl(codepoint)) {
            appendEscape(result, codepoint);
        } else if (codepoint == 0xfffd && size == 1) {
            result += "\uFFFD"; // a byte that is not UTF-8
        } else {
            result.append(
                text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(size)));
        }
        offset += size;
    }
    return result;
}

std::string withStrayControlsShown(std::string_view line) {
    const auto length = static_cast<utf8proc_ssize_t>(line.size());
    // Which isolates are closed: each one that opens is closed by the next PDI not taken by an
    // isolate opened after it, as the bidirectional algorithm pairs them (an LRI or RLI, shown,
    // takes none).
    std::vector<utf8proc_ssize_t> open;
    std::vector<utf8proc_ssize_t> closed; // offsets of the paired ones, both ends
    bool anyControl = false;
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        const auto [codepoint, size] = codePointAt(line, offset);
        if (opensIsolate(codepoint)) {
            open.push_back(offset);
        } else if (codepoint == popDirectionalIsolate && !open.empty()) {
            closed.push_back(open.back());
            closed.push_back(offset);
            open.pop_back();
        }
        anyControl = anyControl || isShownControl(codepoint) || (codepoint == 0xfffd && size == 1);
        offset += size;
    }
    if (!anyControl) {
        return std::string(line);
    }
    std::sort(closed.begin(), closed.end());
    std::string result;
    result.reserve(line.size());
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        const auto [codepoint, size] = codePointAt(line, offset);
        const bool paired = (opensIsolate(codepoint) || codepoint == popDirectionalIsolate) &&
                            std::binary_search(closed.begin(), closed.end(), offset);
        if (isShownControl(codepoint) && !paired) {
            appendEscape(result, codepoint);
        } else if (codepoint == 0xfffd && size == 1) {
            result += "\uFFFD";
        } else {
            result.append(
                line.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(size)));
        }
        offset += size;
    }
    return result;
}

std::string isolated(std::string_view shown) {
    std::string result;
    result.reserve(shown.size() + 6);
    result += "\u2068";
    result += shown;
    result += "\u2069";
    return result;
}

std::string elidedLine(std::string_view text, std::size_t limit) {
    // At most so much of either end is looked at: a text of megabytes costs what its ends do.
    // Each end, cut where a code point begins, holds more than `limit` characters of at most
    // maxCodePointsPerCharacter code points, unless one character of it is longer than that.
    constexpr std::size_t lookedBytes = 65536;
    if (text.size() <= 2 * lookedBytes) {
        return elidedInMiddle(text, limit, "\u2026");
    }
    const std::string_view head = utf8Prefix(text, lookedBytes);
    std::size_t from = text.size() - lookedBytes;
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) {
        ++from;
    }
    // Its first character may be the rest of one begun before it: left out.
    std::string_view tail = text.substr(from);
    bool more = false;
    forEachGraphemeBoundary(tail, [&](std::size_t offset) {
        tail.remove_prefix(offset);
        more = true;
        return false;
    });
    if (!more) {
        tail = {};
    }
    const std::size_t headCharacters = limit / 2;
    const std::size_t tailCharacters = limit - std::min<std::size_t>(limit, headCharacters + 1);
    std::string elided = truncatedToGraphemes(head, headCharacters, "\u2026", true);
    if (tailCharacters > 0 && !tail.empty()) {
        const std::size_t tailCount = graphemeCount(tail);
        const std::size_t skipped = tailCount - std::min(tailCount, tailCharacters);
        elided += charactersIn(tail, {{skipped, tailCount}}, "\u2026");
    }
    return elided;
}

std::string shownLine(std::string_view text, std::size_t limit) {
    // Once more in what shows: a control is shown in several characters, and marks after it
    // join the last of them.
    return elidedInMiddle(withControlsShown(elidedLine(text, limit)), limit, "\u2026");
}

std::string shownMessage(std::string_view message) {
    return withStrayControlsShown(elidedLine(message, shownNameCharacters));
}

bool readsRightToLeft(std::string_view text) {
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        if (static_cast<unsigned char>(text[static_cast<std::size_t>(offset)]) < 0x80) {
            ++offset; // ASCII holds no such letter or digit
            continue;
        }
        const auto [codepoint, size] = codePointAt(text, offset);
        switch (utf8proc_get_property(codepoint)->bidi_class) {
        case UTF8PROC_BIDI_CLASS_R:
        case UTF8PROC_BIDI_CLASS_AL:
        case UTF8PROC_BIDI_CLASS_AN:
            return true;
        default:
            break;
        }
        offset += size;
    }
    return false;
}

std::string shownName(std::string_view text, std::size_t limit) {
    std::string shown = shownLine(text, limit);
    // Left to right, with its controls shown, it reads in order whatever stands around it.
    return readsRightToLeft(shown) ? isolated(shown) : shown;
}

} // namespace tandrel
