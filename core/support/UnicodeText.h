#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// Text in canonical composed form (NFC); text that is not valid UTF-8 comes back unchanged.
std::string canonicallyComposed(std::string_view text);

// Whether the two texts are the same but for case (Unicode case folding, after canonical
// composition): "Conform" and "CONFORM", "Straße" and "STRASSE". Texts that are not valid
// UTF-8 are compared byte for byte.
bool equalIgnoringCase(std::string_view a, std::string_view b);

// Plain text order: Unicode scalar values one by one after canonical composition, so that
// upper-case letters come before lower-case ones and equivalent spellings compare equal.
bool plainTextLess(std::string_view a, std::string_view b);

// The length in bytes of the longest prefix of `bytes` that is well-formed UTF-8 (no
// overlong forms, surrogates or values beyond U+10FFFF); a sequence cut off at the end is not
// part of it.
size_t validUTF8PrefixLength(std::string_view bytes);
inline bool isValidUTF8(std::string_view bytes) {
    return validUTF8PrefixLength(bytes) == bytes.size();
}

// Whether the text, taken as UTF-8, begins with a letter of any script (general category L).
bool startsWithLetter(std::string_view text);

// The text without the white space and line breaks (Unicode White_Space) at either end.
std::string_view trimmingWhitespaceAndNewlines(std::string_view text);

// The text without horizontal white space (tab and the space separators, general category
// Zs) at either end; line breaks stay.
std::string_view trimmingHorizontalWhitespace(std::string_view text);

// Text lengths count user-perceived characters (extended grapheme clusters), never bytes or
// code points: "é" written as e + U+0301, a flag or a family emoji is one.

// Where outside text is shown or laid out, a character keeps at most this many code points: a
// base and 30 marks, the longest run of non-starters the Stream-Safe Text Format of Unicode
// normalization lets a text carry, and more than any emoji sequence needs. Otherwise one
// character can be of any length (a letter with thousands of marks, a run of Hangul leading
// jamo, emoji chained by zero-width joiners, a row of prepend marks), and laying it out costs
// time with the square of that length.
inline constexpr std::size_t maxCodePointsPerCharacter = 31;

// The text with every byte that is not part of a valid UTF-8 sequence replaced by U+FFFD.
std::string validUtf8(std::string_view text);

// The number of user-perceived characters of UTF-8 text; a byte that is not part of a valid
// sequence counts as a character of its own.
std::size_t graphemeCount(std::string_view text);

// The longest beginning of the text of at most `maxBytes` bytes that does not end inside a
// UTF-8 sequence.
std::string_view utf8Prefix(std::string_view text, std::size_t maxBytes);

// One user-perceived character as outside text keeps it: whole up to maxCodePointsPerCharacter
// code points; a longer one keeps its first ones but one and U+034F COMBINING GRAPHEME JOINER,
// invisible, so that whatever follows cannot join what is left of it.
std::string boundedCharacter(std::string_view character);
void appendBoundedCharacter(std::string &text, std::string_view character);

// The text cut to its first `limit` user-perceived characters followed by `marker` when it has
// more than `limit` of them, or when `cutAlready` says it is the beginning of a longer text;
// each character bounded as boundedCharacter bounds it. A marker never joins the character
// before it.
std::string truncatedToGraphemes(std::string_view text, std::size_t limit, std::string_view marker,
                                 bool cutAlready = false);

// UTF-8 text of more than `limit` user-perceived characters cut to its first and last ones
// around `marker`, `limit` characters in all with the marker counted as one (the beginning
// gets the odd one); otherwise the text as it is. Each character is bounded as
// boundedCharacter bounds it, so memory stays that of the result, however long the text or
// any one character of it.
std::string elidedInMiddle(std::string_view text, std::size_t limit, std::string_view marker);

// The same, but showing the character at position `focus` (counted from 0) where
// elidedInMiddle would leave it out: the beginning, `marker`, a stretch around the focus,
// `marker`, the end, `limit` characters in all. For two texts whose elided forms are equal,
// elided around the first character in which they differ.
std::string elidedAround(std::string_view text, std::size_t limit, std::string_view marker,
                         std::size_t focus);

// The position of the first user-perceived character in which the two texts differ, as
// boundedCharacter shows them; nothing when they show the same.
std::optional<std::size_t> firstDifferingCharacter(std::string_view a, std::string_view b);

// The text with its controls shown, never obeyed, as escapes that end where the reader sees
// them: the C0 and C1 controls, DEL, the marks, embeddings and isolates of bidirectional text
// and the line and paragraph separators as "\u{0A}", "\u{9D}", "\u{202E}" (the code point in
// upper-case hexadecimal, at least two digits, between braces, so that digits after it stay
// apart from it), and a backslash as "\\", so that no escape in the text passes for one made
// here; a byte that is not UTF-8 as U+FFFD. Everything else stays.
std::string withControlsShown(std::string_view text);

// A line made of texts shown already (which hold escapes, and isolates of their own) with the
// controls it still holds raw shown as withControlsShown shows them: every control but the
// first-strong isolates that the line closes again (what `isolated` makes); backslashes stay
// as they are. What a log line, a label
// or a menu passes on, whoever composed it.
std::string withStrayControlsShown(std::string_view line);

// A shown text between FIRST STRONG ISOLATE and POP DIRECTIONAL ISOLATE: its own
// right-to-left letters cannot reorder the text around it ("(8 timelines)" after a Hebrew
// name), nor the text around it reorder it.
std::string isolated(std::string_view shown);

// The text elided in the middle as elidedInMiddle elides it, but looking at no more than the
// first and the last 64 KiB of a text longer than 128 KiB, so that its size costs nothing:
// such a text always shows as cut ("…" between its ends).
std::string elidedLine(std::string_view text, std::size_t limit);

// Outside text as one line shows it: elided to `limit` characters (elidedLine), its controls
// shown, and bounded again in what shows (showing a control takes several characters, and
// marks after it join the last of them).
std::string shownLine(std::string_view text, std::size_t limit);

// Whether the text holds a letter or digit of a right-to-left script (bidirectional class R,
// AL or AN), which a line of left-to-right text would reorder with what stands beside it.
bool readsRightToLeft(std::string_view text);

// Outside text as a window shows it, alone or within a line of the system's own: shownLine,
// and isolated when it holds right-to-left letters or digits (a text without them, its
// controls shown, reads in order whatever stands around it).
std::string shownName(std::string_view text, std::size_t limit);

// The most of an outside text that is read at all: a library's reader keeps a name to its
// first MiB (no name needs more), and whoever compares a name with one read so cuts it alike.
inline constexpr std::size_t maxReadTextBytes = std::size_t(1) << 20;

// How many characters of a name (or of a message) a line of a window, a menu, a tooltip or a
// record shows: more than the widest of them has room for (a name cut so is elided further by
// its width), and as many as the plug-in draws of a text.
inline constexpr std::size_t shownNameCharacters = 300;

// A message of the system's own that may quote outside text (an error's description, the
// editor's or a tool's words) as a window shows it: elided to shownNameCharacters characters
// (elidedLine), the controls it holds raw shown (withStrayControlsShown); names shown in it
// already keep their escapes and isolates.
std::string shownMessage(std::string_view message);

} // namespace tandrel
