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

namespace {

// Whether the text is kept as it is: one of so few bytes has so few code points that it is
// bounded already, and so is a short one of ASCII alone, one character a byte (CR LF aside,
// which is one character of two bytes: fewer, not more); neither may hold NUL.
bool keptAsItIs(const std::string &text) {
    if (text.size() <= maxCodePointsPerCharacter) {
        return text.find('\0') == std::string::npos && isValidUTF8(text);
    }
    if (text.size() <= SnapshotTexts::maxCharacters &&
        std::all_of(text.begin(), text.end(),
                    [](char c) { return c != '\0' && static_cast<unsigned char>(c) < 0x80; })) {
        return true;
    }
    // Otherwise as keeping it would give: a text kept already (of a few hundred characters
    // of at most 31 code points, "…" where cut) is looked at once, never copied.
    if (text.size() > SnapshotTexts::maxBytes - SnapshotTexts::cutMarker.size() ||
        text.find('\0') != std::string::npos || !isValidUTF8(text)) {
        return false;
    }
    const std::size_t characters = graphemeCount(text);
    if (characters > SnapshotTexts::maxCharacters + 1) {
        return false;
    }
    if (characters == SnapshotTexts::maxCharacters + 1) { // cut already, or one too long
        return text.ends_with(SnapshotTexts::cutMarker) && SnapshotTexts::kept(text) == text;
    }
    return truncatedToGraphemes(text, SnapshotTexts::maxCharacters, "") == text;
}

} // namespace

void SnapshotTexts::bound(std::string &text) {
    if (!keptAsItIs(text)) {
        text = kept(text);
    }
}

std::string SnapshotTexts::held(const std::string &text) {
    return keptAsItIs(text) ? text : kept(text);
}

void SnapshotTexts::boundDocument(TandrelSnapshot &document) {
    std::string id = std::move(document.timelineID);
    boundAll(document);
    document.timelineID = std::move(id);
}

} // namespace tandrel
