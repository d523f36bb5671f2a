#include "plugin/LayoutText.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

std::string LayoutText::bounded(std::string_view text) {
    // Room for the marker, so that a text already bounded stays as it is.
    const std::string_view looked = utf8Prefix(text, maxBytes - cutMarker.size());
    return truncatedToGraphemes(looked, maxCharacters, cutMarker, looked.size() < text.size());
}

LayoutText::LayoutText(std::string_view text) : text_(validUtf8(bounded(text))) {
    // A byte that is not UTF-8 counted as a character of one code point, as U+FFFD does.
    for (std::size_t at = text_.find('\0'); at != std::string::npos; at = text_.find('\0', at)) {
        text_.replace(at, 1, "\uFFFD");
    }
}

} // namespace tandrel
