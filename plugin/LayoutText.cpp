#include "plugin/LayoutText.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

LayoutText::LayoutText(std::string_view text) {
    // Room for the marker, so that a text already bounded stays as it is.
    const std::string_view looked = utf8Prefix(text, maxBytes - cutMarker.size());
    text_ = truncatedToGraphemes(validUtf8(looked), maxCharacters, cutMarker,
                                 looked.size() < text.size());
    for (std::size_t at = text_.find('\0'); at != std::string::npos; at = text_.find('\0', at)) {
        text_.replace(at, 1, "\uFFFD");
    }
}

} // namespace tandrel
