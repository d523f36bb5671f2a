#include "core/support/UnicodeText.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

std::string repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

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
        const std::string exact = repeated(piece, 300);
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
        const std::string exact = repeated(piece, 9);
        EXPECT_EQ(elidedInMiddle(exact, 9, "\u2026"), exact);
        // The beginning gets the odd character; whole characters only.
        EXPECT_EQ(elidedInMiddle(exact + piece, 9, "\u2026"),
                  repeated(piece, 4) + "\u2026" + repeated(piece, 4));
        EXPECT_EQ(elidedInMiddle(repeated(piece, 100000), 10, "\u2026"),
                  repeated(piece, 5) + "\u2026" + repeated(piece, 4));
    }
    EXPECT_EQ(elidedInMiddle("abcdef", 5, "\u2026"), "ab\u2026ef");
    EXPECT_EQ(elidedInMiddle("abcdef", 2, "\u2026"), "a\u2026");
    EXPECT_EQ(elidedInMiddle("abcdef", 1, "\u2026"), "\u2026");
    EXPECT_EQ(elidedInMiddle("\xFF\xFE\xFD", 2, "\u2026"), "\xFF\u2026");
    EXPECT_EQ(elidedInMiddle("", 0, "\u2026"), "");
}

TEST(UnicodeText, ComparesLongTextsIgnoringCaseInPieces) {
    // Texts past the pieces the comparison maps at a time, with what composes or folds to
    // more than one character at and around the cuts.
    const std::string base = repeated("Scene 12 take 3 ", 4096) + "e";
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
        {"a long run without ASCII", repeated("\u00C9", 100000) + "!",
         repeated("e\u0301", 100000) + "!", true},
        {"not UTF-8 on one side", base + "\xFF", base + "\xFF", true},
        {"not UTF-8 against its folding", base + "\xFF",
         repeated("scene 12 take 3 ", 4096) + "e\xFF", false},
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
