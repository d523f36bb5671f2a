#include "core/support/UnicodeText.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>
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
        out += valid_ ? mapped(piece, options_) : std::string(piece);
        return true;
    }

private:
    std::string_view rest_;
    int options_;
    bool valid_;
};

} // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b) {
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

// Walks the grapheme boundaries of UTF-8 text: calls `boundary(offset)` at the start of every
// user-perceived character after the first; stops early when it answers false.
template <typename Boundary>
void forEachGraphemeBoundary(std::string_view text, Boundary boundary) {
    const auto *bytes = reinterpret_cast<const utf8proc_uint8_t *>(text.data());
    const auto length = static_cast<utf8proc_ssize_t>(text.size());
    utf8proc_int32_t state = 0;
    utf8proc_int32_t previous = -1;
    for (utf8proc_ssize_t offset = 0; offset < length;) {
        utf8proc_int32_t codepoint = 0;
        utf8proc_ssize_t size = utf8proc_iterate(bytes + offset, length - offset, &codepoint);
        if (size <= 0) { // not valid UTF-8: count the byte as a character of its own
            codepoint = 0xfffd;
            size = 1;
            state = 0;
        }
        if (previous >= 0 && utf8proc_grapheme_break_stateful(previous, codepoint, &state) &&
            !boundary(static_cast<std::size_t>(offset))) {
            return;
        }
        previous = codepoint;
        offset += size;
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

std::string truncatedToGraphemes(std::string_view text, std::size_t limit,
                                 std::string_view marker) {
    std::size_t seen = 1;
    std::size_t cut = std::string_view::npos;
    forEachGraphemeBoundary(text, [&](std::size_t offset) {
        if (seen == limit) {
            cut = offset;
            return false;
        }
        ++seen;
        return true;
    });
    if (limit == 0 && !text.empty()) {
        cut = 0;
    }
    if (cut == std::string_view::npos) {
        return std::string(text);
    }
    std::string result(text.substr(0, cut));
    result += marker;
    return result;
}

std::string elidedInMiddle(std::string_view text, std::size_t limit, std::string_view marker) {
    // A character takes at least one byte.
    if (text.size() <= limit) {
        return std::string(text);
    }
    const std::size_t head = limit / 2;
    const std::size_t tail = limit - std::min<std::size_t>(limit, head + 1);
    std::size_t headEnd = 0;
    // Where each of the last `tail` characters seen begins, by their number modulo `tail`.
    std::vector<std::size_t> starts(tail);
    std::size_t count = 1;
    forEachGraphemeBoundary(text, [&](std::size_t offset) {
        if (count == head) {
            headEnd = offset;
        }
        if (tail > 0) {
            starts[count % tail] = offset;
        }
        ++count;
        return true;
    });
    if (count <= limit) {
        return std::string(text);
    }
    const std::size_t tailStart = tail > 0 ? starts[(count - tail) % tail] : text.size();
    std::string result(text.substr(0, headEnd));
    result += marker;
    result += text.substr(tailStart);
    return result;
}

} // namespace tandrel
