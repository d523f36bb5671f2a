#include "plugin/UnicodeText.h"

#include <utf8proc.h>

namespace tandrel {

namespace {

// Walks the grapheme boundaries of valid UTF-8: calls `boundary(offset)` at the start of every
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

} // namespace tandrel
