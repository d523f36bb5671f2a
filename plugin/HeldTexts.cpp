#include "plugin/HeldTexts.h"

#include "core/support/UnicodeText.h"
#include "plugin/LayoutText.h"

namespace tandrel {

void HeldTexts::bound(std::string &text) {
    // A text of so few bytes has so few code points that it is bounded already.
    if (text.size() > maxCodePointsPerCharacter) {
        text = LayoutText(text).text();
    }
}

} // namespace tandrel
