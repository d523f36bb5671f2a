#pragma once

#include "core/snapshot/SnapshotTexts.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tandrel {

// A text as the plug-in lays it out and draws it, for whoever lays it out: the rasteriser for
// its textures and any caller that measures a text the way the plug-in draws it. What reaches
// the text shaper is bounded as a snapshot keeps its texts (SnapshotTexts: at most 64 KiB
// looked at, at most 31 code points a character, at most 300 characters and "…"), so no text
// costs more to lay out than an ordinary long one. A text laid out so lays out the same again,
// and so does one joined to a label or to other texts where it is not cut: what a text may be
// held to.
class LayoutText {
public:
    static constexpr std::size_t maxCharacters = SnapshotTexts::maxCharacters;
    static constexpr std::size_t maxBytes = SnapshotTexts::maxBytes;
    static constexpr std::string_view cutMarker = SnapshotTexts::cutMarker;

    explicit LayoutText(std::string_view text) : text_(SnapshotTexts::kept(text)) {}

    const std::string &text() const { return text_; }

private:
    std::string text_;
};

} // namespace tandrel
