#include "core/snapshot/SnapshotTexts.h"

#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/UnicodeText.h"

#include <algorithm>

namespace tandrel {

std::string SnapshotTexts::kept(std::string_view text) {
    // Room for the marker, so that a text kept already stays as it is.
    const std::string_view looked = utf8Prefix(text, maxBytes - cutMarker.size());
    // Replaced before characters are told apart: marks after a NUL or a byte that is not
    // UTF-8 belong to the U+FFFD that shows it.
    std::string shown = validUtf8(looked);
    for (std::size_t at = shown.find('\0'); at != std::string::npos; at = shown.find('\0', at)) {
        shown.replace(at, 1, "\uFFFD");
    }
    return truncatedToGraphemes(shown, maxCharacters, cutMarker, looked.size() < text.size());
}

void SnapshotTexts::bound(std::string &text) {
    // A text of so few bytes has so few code points that it is bounded already; so is a
    // short one of printable ASCII alone, one character a byte (CR LF aside, which is one
    // character of two bytes: fewer, not more).
    if (text.size() <= maxCodePointsPerCharacter) {
        if (text.find('\0') == std::string::npos && isValidUTF8(text)) {
            return;
        }
    } else if (text.size() <= maxCharacters &&
               std::all_of(text.begin(), text.end(), [](char c) {
                   return c != '\0' && static_cast<unsigned char>(c) < 0x80;
               })) {
        return;
    }
    text = kept(text);
}

void SnapshotTexts::boundDocument(TandrelSnapshot &document) {
    std::string id = std::move(document.timelineID);
    boundAll(document);
    document.timelineID = std::move(id);
}

} // namespace tandrel
