#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tandrel {

// A text as the plug-in lays it out and draws it, for whoever lays it out: the rasteriser for
// its textures and any caller that measures a text the way the plug-in draws it. Names from
// libraries and exports can be of any size, so what reaches the text shaper is bounded three
// ways, and no text costs more to lay out than an ordinary long one:
// - at most `maxBytes` bytes of the text are looked at;
// - each user-perceived character keeps at most maxCodePointsPerCharacter code points (a base
//   and 30 marks; see UnicodeText.h);
// - a text of more than `maxCharacters` characters is cut to its first `maxCharacters` and
//   "…", as is one cut at `maxBytes`.
// Bytes that are not UTF-8 show as U+FFFD, and so does NUL, where the layout engine would stop.
// A text laid out so lays out the same again, and so does one joined to a label or to other
// texts where it is not cut: what a text may be held to.
class LayoutText {
public:
    static constexpr std::size_t maxCharacters = 300;
    static constexpr std::size_t maxBytes = 65536;
    static constexpr std::string_view cutMarker = "\u2026";

    explicit LayoutText(std::string_view text);

    const std::string &text() const { return text_; }

private:
    std::string text_;
};

} // namespace tandrel
