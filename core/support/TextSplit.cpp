#include "core/support/TextSplit.h"

namespace tandrel {

std::vector<std::string_view> splitNonEmpty(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> pieces(splitNonEmpty(text, separators, {}));
    splitNonEmpty(text, separators, pieces);
    return pieces;
}

size_t splitNonEmpty(std::string_view text, std::string_view separators,
                     std::span<std::string_view> pieces) {
    size_t count = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = separators.size() == 1 ? text.find(separators.front(), start)
                                            : text.find_first_of(separators, start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > start) {
            if (count < pieces.size()) {
                pieces[count] = text.substr(start, end - start);
            }
            ++count;
        }
        start = end + 1;
    }
    return count;
}

TextWithout::TextWithout(std::string_view text, std::string_view removed) {
    char *out = small_.data();
    if (text.size() > small_.size()) {
        large_.resize(text.size());
        out = large_.data();
    }
    for (char c : text) {
        if (removed.find(c) == std::string_view::npos) {
            out[length_++] = c;
        }
    }
    data_ = out;
}

} // namespace tandrel
