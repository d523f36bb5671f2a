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
