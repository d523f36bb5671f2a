#include "core/support/UnicodeText.h"

#include "core/tests/HostileTexts.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using testing::holdsControls;
using testing::hostileTexts;
using testing::repeatedText;

TEST(UnicodeText, CountsUserPerceivedCharacters) {
    struct Case {
        std::string text;
        std::size_t count;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 3},
        {"e\u0301", 1},                                    // e + combining acute
        {"\U0001F468\u200D\U0001F469\u200D\U0001F467", 1}, // family, joined
        {"\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA", 2},   // two flags
        {"\U0001F1E9\U0001F1EA", 1},                       // one flag
        {"\xFF", 1},                                       // a byte that is not UTF-8
        {"a\xFF"
         "b",
         3},
        {"\r\n", 1},
        {"\u1100\u1161\u11A8", 1},    // Hangul syllable from jamo
        {"\U0001F44D\U0001F3FD!", 2}, // emoji with skin tone
        {"01:00:00;00", 11},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(graphemeCount(c.text), c.count) << c.text;
    }
}

TEST(UnicodeText, CutsAfterTheLimitOnly) {
    const std::string accented = "e\u0301";
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    for (const std::string &piece : {std::string("a"), accented, family}) {
        const std::string exact = repeatedText(piece, 300);
        EXPECT_EQ(truncatedToGraphemes(exact, 300, "…"), exact);
        const std::string cut = truncatedToGraphemes(exact + piece, 300, "…");
        EXPECT_EQ(cut, exact + "…");
        EXPECT_EQ(graphemeCount(cut), 301u);
    }
    EXPECT_EQ(truncatedToGraphemes("abc", 0, "…"), "…");
    EXPECT_EQ(truncatedToGraphemes("", 0, "…"), "");
}

TEST(UnicodeText, ElidesTheMiddleOfLongTexts) {
    const std::string accented = "e\u0301";
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    for (const std::string &piece : {std::string("a"), accented, family}) {
        const std::string exact = repeatedText(piece, 9);
        EXPECT_EQ(elidedInMiddle(exact, 9, "\u2026"), exact);
        // The beginning gets the odd character; whole characters only.
        EXPECT_EQ(elidedInMiddle(exact + piece, 9, "\u2026"),
                  repeatedText(piece, 4) + "\u2026" + repeatedText(piece, 4));
        EXPECT_EQ(elidedInMiddle(repeatedText(piece, 100000), 10, "\u2026"),
                  repeatedText(piece, 5) + "\u2026" + repeatedText(piece, 4));
    }
    EXPECT_EQ(elidedInMiddle("abcdef", 5, "\u2026"), "ab\u2026ef");
    EXPECT_EQ(elidedInMiddle("abcdef", 2, "\u2026"), "a\u2026");
    EXPECT_EQ(elidedInMiddle("abcdef", 1, "\u2026"), "\u2026");
    EXPECT_EQ(elidedInMiddle("\xFF\xFE\xFD", 2, "\u2026"), "\xFF\u2026");
    EXPECT_EQ(elidedInMiddle("", 0, "\u2026"), "");
}

// A line of megabytes is elided by its ends alone: the same as elidedInMiddle where that
// shows the ends, and shown as cut where a character too long to look at runs past them.
TEST(UnicodeText, ElidesALineByItsEndsAlone) {
    const std::string plain = repeatedText("Wide Shot ", 1024 * 1024);
    EXPECT_EQ(elidedLine(plain, 120), elidedInMiddle(plain, 120, "\u2026"));
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
    const std::string families = "a" + repeatedText(family, 20000) + "z";
    std::string ends = "a";
    ends.append(repeatedText(family, 3)).append("\u2026").append(repeatedText(family, 3));
    EXPECT_EQ(elidedLine(families, 9), ends + "z");
    // No more than 128 KiB: looked at whole, as before.
    const std::string marks = "Wide Shot" + repeatedText("\u0301", 60000);
    EXPECT_EQ(elidedLine(marks, 120), elidedInMiddle(marks, 120, "\u2026"));
    // One character of megabytes at the end, or everywhere: cut, and said to be.
    const std::string kept = "t" + repeatedText("\u0301", 29) + "\u034F";
    EXPECT_EQ(elidedLine("Wide Shot" + repeatedText("\u0301", 300000), 120),
              std::string("Wide Sho").append(kept).append("\u2026"));
    EXPECT_EQ(elidedLine(repeatedText("\u0301", 300000), 120),
              repeatedText("\u0301", 30) + "\u034F\u2026");
    // Shown as one line, of at most so many characters.
    for (const auto &hostile : hostileTexts()) {
        const std::string shown = shownLine(hostile.text, 120);
        EXPECT_LE(graphemeCount(shown), 120u) << hostile.what;
        EXPECT_FALSE(holdsControls(shown)) << hostile.what;
    }
}

// One user-perceived character can be of any length; shown or cut, each keeps its first 31
// code points, and memory stays that of the result.
// One user-perceived character can be of any length; shown or cut, one of more than 31 code
// points keeps its first 30 and a grapheme joiner that ends it, and memory stays that of the
// result.
TEST(UnicodeText, BoundsEveryCharacterOfTheTextsItCutsAndElides) {
    const std::string marks = repeatedText("\u0301", 100000);
    const std::string joiner = "\u034F";
    const struct {
        const char *what;
        std::string character; // one user-perceived character
        std::string kept;
    } cases[] = {
        {"a letter and its marks", std::string("t") + marks,
         std::string("t") + repeatedText("\u0301", 29) + joiner},
        {"marks alone", marks, repeatedText("\u0301", 30) + joiner},
        {"Hangul leading jamo", repeatedText("\u1100", 50000), repeatedText("\u1100", 30) + joiner},
        {"emoji joined by ZWJ", repeatedText("\U0001F468\u200D", 20000) + "\U0001F468",
         repeatedText("\U0001F468\u200D", 15) + joiner},
        {"prepend marks", repeatedText("\u0600", 50000) + "1", repeatedText("\u0600", 30) + joiner},
        {"31 code points", std::string("t") + repeatedText("\u0301", 30),
         std::string("t") + repeatedText("\u0301", 30)},
        {"an ordinary one", "\U0001F469\U0001F3FD\u200D\U0001F52C",
         "\U0001F469\U0001F3FD\u200D\U0001F52C"},
        {"a byte that is not UTF-8 and marks", std::string("\xFF") + marks,
         std::string("\xFF") + repeatedText("\u0301", 29) + joiner},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(graphemeCount(c.character), 1u) << c.what;
        EXPECT_EQ(boundedCharacter(c.character), c.kept) << c.what;
        // What follows a cut character stays a character of its own.
        const std::string text = std::string("Wide\n") + c.character + "1\u1161";
        EXPECT_EQ(truncatedToGraphemes(text, 300, "\u2026"),
                  std::string("Wide\n") + c.kept + "1\u1161")
            << c.what;
        EXPECT_EQ(graphemeCount(truncatedToGraphemes(text, 300, "\u2026")), graphemeCount(text))
            << c.what;
        EXPECT_EQ(elidedInMiddle(c.character + "xyz", 3, "\u2026"), c.kept + "\u2026z") << c.what;
        EXPECT_EQ(elidedInMiddle(std::string("ab\n") + c.character, 3, "\u2026"),
                  std::string("a\u2026") + c.kept)
            << c.what;
        EXPECT_EQ(elidedInMiddle(c.character, 120, "\u2026"), c.kept) << c.what;
    }
    // Cut after the limit, and already cut; a marker after a prepend mark stays apart from it.
    EXPECT_EQ(truncatedToGraphemes("abc", 2, "\u2026"), "ab\u2026");
    EXPECT_EQ(truncatedToGraphemes("ab", 2, "\u2026", true), "ab\u2026");
    EXPECT_EQ(truncatedToGraphemes("a\u0600\nb", 2, "\u2026"),
              std::string("a\u0600") + joiner + "\u2026");
}

TEST(UnicodeText, CutsBytesWhereACharacterBegins) {
    const std::string text = "a\u00E9\u20AC\U0001F600"; // 1, 2, 3 and 4 bytes
    const struct {
        std::size_t maxBytes;
        std::size_t kept;
    } cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {5, 3}, {6, 6}, {9, 6}, {10, 10}, {99, 10}};
    for (const auto &c : cases) {
        EXPECT_EQ(utf8Prefix(text, c.maxBytes), text.substr(0, c.kept)) << c.maxBytes;
    }
    // Bytes that are not UTF-8 are characters of their own.
    EXPECT_EQ(utf8Prefix("ab\x80\x80\x80\x80\x80", 4), "ab\x80\x80");
}

TEST(UnicodeText, ElidesAroundWhereTwoTextsDiffer) {
    const std::string start = repeatedText("s", 100);
    const std::string end = repeatedText("e", 100);
    const std::string a = start + "[take 1]" + end;
    const std::string b = start + "[take 2]" + end;
    ASSERT_EQ(elidedInMiddle(a, 120, "\u2026"), elidedInMiddle(b, 120, "\u2026"));
    const auto difference = firstDifferingCharacter(a, b);
    ASSERT_EQ(difference, 106u);
    // A beginning and an end of 29 each, and 60 around the difference, 20 of them before it.
    EXPECT_EQ(elidedAround(a, 120, "\u2026", *difference),
              repeatedText("s", 29) + "\u2026" + repeatedText("s", 14) + "[take 1]" +
                  repeatedText("e", 38) + "\u2026" + repeatedText("e", 29));
    EXPECT_EQ(graphemeCount(elidedAround(b, 120, "\u2026", *difference)), 120u);

    // Near the end the stretch joins it; where elidedInMiddle shows the focus, as it does.
    const std::string longer = repeatedText("x", 300);
    EXPECT_EQ(elidedAround(longer, 120, "\u2026", 65), repeatedText("x", 29) + "\u2026" +
                                                           repeatedText("x", 60) + "\u2026" +
                                                           repeatedText("x", 29));
    EXPECT_EQ(elidedAround(longer, 120, "\u2026", 240),
              repeatedText("x", 29) + "\u2026" + repeatedText("x", 90));
    for (std::size_t focus : {0, 59, 241, 299}) {
        EXPECT_EQ(elidedAround(longer, 120, "\u2026", focus), elidedInMiddle(longer, 120, "\u2026"))
            << focus;
    }
    EXPECT_EQ(elidedAround("short", 120, "\u2026", 2), "short");

    EXPECT_EQ(firstDifferingCharacter("same", "same"), std::nullopt);
    EXPECT_EQ(firstDifferingCharacter("abc", "ab"), 2u);
    EXPECT_EQ(firstDifferingCharacter("e\u0301x", "e\u0302x"), 0u);
    // Characters that differ only beyond what one keeps show the same.
    EXPECT_EQ(firstDifferingCharacter(std::string("a") + repeatedText("\u0301", 40),
                                      std::string("a") + repeatedText("\u0301", 41)),
              std::nullopt);
}

TEST(UnicodeText, ShowsControlsInsteadOfObeyingThem) {
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"plain \u00E9 \U0001F600 \u2014", "plain \u00E9 \U0001F600 \u2014"},
        {"Wide\nShot", R"(Wide\u{0A}Shot)"},
        {"a\r\nb\tc", R"(a\u{0D}\u{0A}b\u{09}c)"},
        {std::string("nul\0end", 7), R"(nul\u{00}end)"},
        {"\x1B[31mred\x7F", R"(\u{1B}[31mred\u{7F})"},
        // An escape ends where it shows: the digits after it are not part of it.
        {"\u0085next\u009B31m\u009D0;x", R"(\u{85}next\u{9B}31m\u{9D}0;x)"},
        {"\u202Eevil\u202C \u2066i\u2069 \u200F\u200E\u061C",
         R"(\u{202E}evil\u{202C} \u{2066}i\u{2069} \u{200F}\u{200E}\u{61C})"},
        {"line\u2028para\u2029", R"(line\u{2028}para\u{2029})"},
        // A backslash in the text cannot pass for an escape.
        {R"(C:\u{0A}\x0a\u202e)", R"(C:\\u{0A}\\x0a\\u202e)"},
        {"bytes \xC2 \x9B", "bytes \uFFFD \uFFFD"},
        // Joiners belong to the characters they join.
        {"\U0001F468\u200D\U0001F469", "\U0001F468\u200D\U0001F469"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(withControlsShown(c.text), c.shown) << c.shown;
    }
}

// A line composed of shown names and the system's own words: what it still holds raw is
// shown, the names' escapes and the isolates that enclose them are not touched again.
TEST(UnicodeText, ShowsTheStrayControlsOfALineOfShownTexts) {
    // Isolated where it holds right-to-left letters or digits, which would otherwise take the
    // count after it along ("(8 timelines)" read backwards); as it is otherwise.
    const std::string name = shownName("Sample\nServing 'Other' \u202E(2) \u05E9\u05DC", 120);
    EXPECT_EQ(name, "\u2068Sample\\u{0A}Serving 'Other' \\u{202E}(2) \u05E9\u05DC\u2069");
    EXPECT_EQ(shownName("Sample\nServing 'Other'", 120), R"(Sample\u{0A}Serving 'Other')");
    EXPECT_EQ(shownName("\u0661\u0662", 120), "\u2068\u0661\u0662\u2069");
    const std::string line = "Serving '" + name + "' (8 timelines)";
    EXPECT_EQ(withStrayControlsShown(line), line);
    const struct {
        std::string line;
        std::string shown;
    } cases[] = {
        {"failed: /tmp/a\nb \\ c", R"(failed: /tmp/a\u{0A}b \ c)"},
        {"\x1B[2J\u009B31m", R"(\u{1B}[2J\u{9B}31m)"},
        // An isolate left open, or a PDI that closes none, is shown; closed ones stay.
        {"a \u2067b", R"(a \u{2067}b)"},
        {"a\u2069 \u2068b\u2069", "a\\u{2069} \u2068b\u2069"},
        {"\u2066\u2068x\u2069", "\\u{2066}\u2068x\u2069"},
        {"\u2067x\u2069", R"(\u{2067}x\u{2069})"},
        {"\u202Ex\u202C", R"(\u{202E}x\u{202C})"},
        {"bytes \xFF", "bytes \uFFFD"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(withStrayControlsShown(c.line), c.shown) << c.shown;
    }
}

TEST(UnicodeText, ComparesLongTextsIgnoringCaseInPieces) {
    // Texts past the pieces the comparison maps at a time, with what composes or folds to
    // more than one character at and around the cuts.
    const std::string base = repeatedText("Scene 12 take 3 ", 4096) + "e";
    const struct {
        const char *what;
        std::string a;
        std::string b;
        bool equal;
    } cases[] = {
        {"case", base + "\u0301 Stra\u00DFe", base + "\u0301 STRASSE", true},
        {"composed and decomposed across a cut", base + "\u0301\u0301",
         std::string(base).replace(base.size() - 1, 1, "\u00E9") + "\u0301", true},
        {"one letter apart at the end", base + "x", base + "y", false},
        {"one letter apart at the start", "x" + base, "y" + base, false},
        {"a prefix", base, base + "a", false},
        {"a long run without ASCII", repeatedText("\u00C9", 100000) + "!",
         repeatedText("e\u0301", 100000) + "!", true},
        {"not UTF-8 on one side", base + "\xFF", base + "\xFF", true},
        {"not UTF-8 against its folding", base + "\xFF",
         repeatedText("scene 12 take 3 ", 4096) + "e\xFF", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(equalIgnoringCase(c.a, c.b), c.equal) << c.what;
        EXPECT_EQ(equalIgnoringCase(c.b, c.a), c.equal) << c.what;
    }
}

TEST(UnicodeText, ReplacesInvalidBytes) {
    EXPECT_EQ(validUtf8("ok \u00e9"), "ok \u00e9");
    EXPECT_EQ(validUtf8("a\xff"
                        "b"),
              "a\uFFFDb");
    EXPECT_EQ(validUtf8("\xe2\x82"), "\uFFFD\uFFFD");           // truncated sequence
    EXPECT_EQ(validUtf8("\xed\xa0\x80"), "\uFFFD\uFFFD\uFFFD"); // a surrogate
    EXPECT_EQ(validUtf8(std::string_view("a\0b", 3)), std::string("a\0b", 3));
}

} // namespace
} // namespace tandrel
