#include "plugin/LayoutText.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

LayoutText::LayoutText(std::string_view text) {
    // Room for the marker, so that a text already bounded stays as it is.
    const std::string_view looked = utf8Prefix(text, maxBytes - cutMarker.size());
    // Replaced before characters are told apart: marks after a NUL or a byte that is not
    // UTF-8 belong to the U+FFFD that shows it.
    std::string shown = validUtf8(looked);
    for (std::size_t at = shown.find('\0'); at != std::string::npos; at = shown.find('\0', at)) {
        shown.replace(at, 1, "\uFFFD");
    }
    text_ = truncatedToGraphemes(shown, maxCharacters, cutMarker, looked.size() < text.size());
}

} // namespace tandrel
