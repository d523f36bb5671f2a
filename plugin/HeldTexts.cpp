#include "plugin/HeldTexts.h"

#include "core/support/UnicodeText.h"

namespace tandrel {

void HeldTexts::bound(std::string &text) {
    if (text.size() <= maxBytes) {
        return;
    }
    text.resize(utf8Prefix(text, maxBytes - LayoutText::cutMarker.size()).size());
    text += LayoutText::cutMarker;
}

} // namespace tandrel
