#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Splits at any of `separators`, dropping empty pieces ("1001//24000" gives two pieces).
std::vector<std::string_view> splitNonEmpty(std::string_view text, std::string_view separators);
// The same pieces, as many as fit into `pieces`, without allocating; the result is how many
// pieces there are in all.
size_t splitNonEmpty(std::string_view text, std::string_view separators,
                     std::span<std::string_view> pieces);

// A text with every one of `removed` taken out, kept in place when it is short: the readers of
// the library's range and rectangle texts do this for every clip, without allocating.
class TextWithout {
public:
    TextWithout(std::string_view text, std::string_view removed);
    TextWithout(const TextWithout &) = delete;
    TextWithout &operator=(const TextWithout &) = delete;

    std::string_view view() const { return {data_, length_}; }

private:
    std::array<char, 96> small_;
    std::string large_;
    const char *data_ = nullptr;
    size_t length_ = 0;
};

} // namespace tandrel
