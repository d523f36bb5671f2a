#include "timecode/core/CharacterSet.h"
#include "timecode/core/ClosedRange.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/NumericUtilities.h"
#include "timecode/core/RegexMatching.h"
#include "timecode/core/TemporaryFile.h"

#include "timecode/core/tests/Printing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <limits>

namespace timecode {
namespace {

using Groups = std::vector<std::optional<std::string>>;

TEST(NumericUtilities, CountsDigitsOfTheMagnitude) {
    EXPECT_EQ(numberOfDigits(0), 1);
    EXPECT_EQ(numberOfDigits(9), 1);
    EXPECT_EQ(numberOfDigits(-9), 1);
    EXPECT_EQ(numberOfDigits(10), 2);
    EXPECT_EQ(numberOfDigits(-12345), 5);
    EXPECT_EQ(numberOfDigits(int64_t{100}), 3);
    EXPECT_EQ(numberOfDigits(std::numeric_limits<int64_t>::min()), 19);
    EXPECT_EQ(numberOfDigits(std::numeric_limits<uint64_t>::max()), 20);
}

TEST(NumericUtilities, RoundsFloatingPointAtDecimalPlaces) {
    using Rule = FloatingPointRoundingRule;
    struct Case {
        double value;
        int places;
        Rule rule;
        double expected;
    };
    const Case cases[] = {
        {23.976023976, 3, Rule::toNearestOrAwayFromZero, 23.976},
        {2.5, 0, Rule::toNearestOrAwayFromZero, 3},
        {-2.5, 0, Rule::toNearestOrAwayFromZero, -3},
        {2.5, 0, Rule::toNearestOrEven, 2},
        {3.5, -1, Rule::toNearestOrEven, 4},
        {2.25, 1, Rule::toNearestOrEven, 2.2},
        {2.01, 1, Rule::up, 2.1},
        {-2.01, 1, Rule::down, -2.1},
        {-2.57, 1, Rule::towardZero, -2.5},
        {2.01, 1, Rule::awayFromZero, 2.1},
        {-2.01, 1, Rule::awayFromZero, -2.1},
    };
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(rounded(c.value, c.places, c.rule), c.expected) << c.value;
    }
    EXPECT_DOUBLE_EQ(truncated(-2.57, 1), -2.5);
    EXPECT_DOUBLE_EQ(truncated(2.57, 1), 2.5);
    double value = 1.26;
    round(value, 1, Rule::toNearestOrAwayFromZero);
    EXPECT_DOUBLE_EQ(value, 1.3);
    EXPECT_FLOAT_EQ(rounded(2.5f, 0, Rule::toNearestOrAwayFromZero), 3.0f);

    EXPECT_EQ(integralAndFraction(-2.75), std::make_pair(-2.0, -0.75));
    EXPECT_EQ(quotientAndRemainder(-7.5, 2.0), std::make_pair(-3.0, -1.5));
    EXPECT_EQ(integralDigitPlaces(29.97), 2);
    EXPECT_EQ(fractionDigitPlaces(29.97), 2);
    EXPECT_EQ(fractionDigitPlaces(0.29), 2); // the decimal form, not the binary expansion
}

TEST(NumericUtilities, ConvertsDoublesToIntegersSafely) {
    EXPECT_EQ(truncateToInt64(-2.9), -2);
    EXPECT_EQ(roundToInt64(-2.5), -3);
    EXPECT_FALSE(truncateToInt64(9223372036854775808.0));
    EXPECT_EQ(truncateToInt64(-9223372036854775808.0), std::numeric_limits<int64_t>::min());
    EXPECT_FALSE(truncateToInt64(std::nan("")));
    EXPECT_EQ(saturatingTruncate(1e300), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(saturatingTruncate(-1e300), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(saturatingTruncate(std::nan("")), 0);
}

TEST(NumericUtilities, DescribesDoubles) {
    EXPECT_EQ(doubleDescription(24), "24.0");
    EXPECT_EQ(doubleDescription(-1.5), "-1.5");
    EXPECT_EQ(doubleDescription(0.0001), "0.0001");
    EXPECT_EQ(doubleDescription(0.00001), "1e-05");
    EXPECT_EQ(doubleDescription(1e16), "1e+16");
    EXPECT_EQ(doubleDescription(0.1 + 0.2), "0.30000000000000004");
}

TEST(ClosedRange, Clamps) {
    EXPECT_EQ(clamped(11, ClosedRange<int>{0, 10}), 10);
    EXPECT_EQ(clamped(-1, ClosedRange<int>{0, 10}), 0);
    EXPECT_EQ(clampedFrom(-1, 0), 0);
    EXPECT_EQ(clampedThrough(11, 10), 10);
    EXPECT_EQ(clampedHalfOpen(10, 0, 10), 9);
    EXPECT_EQ(clampedUpTo(12, 10), 9);
    EXPECT_TRUE((ClosedRange<int64_t>{2, 29}).contains(29));
    EXPECT_FALSE((ClosedRange<int64_t>{2, 29}).contains(1));
}

TEST(RegexMatching, CaptureGroupsOfEveryMatch) {
    const char *pattern = R"(^([-]){0,1}([\d]+)\/([\d]+)s$)";
    EXPECT_EQ(regexMatchesCaptureGroups("1001/30000s", pattern),
              (Groups{"1001/30000s", std::nullopt, "1001", "30000"}));
    EXPECT_EQ(regexMatchesCaptureGroups("-5/2s", pattern)[1], "-");
    EXPECT_TRUE(regexMatchesCaptureGroups("5s", pattern).empty());
    EXPECT_EQ(regexMatchesCaptureGroups("a1b22", R"(\d+)"), (Groups{"1", "22"}));
    // Characters beyond the basic multilingual plane before a match do not hide it.
    EXPECT_EQ(regexMatches("\U0001F3AC\U0001F3AC 12:34", R"(\d+)"),
              (std::vector<std::string>{"12", "34"}));
    EXPECT_TRUE(regexMatches("abc", "([").empty());
    EXPECT_FALSE(regexMatchesReplacing("abc", "([", "x"));
    EXPECT_EQ(regexMatchesReplacing("12+05", R"((\d+)\+(\d+))", "$2/$1"), "05/12");
    // Long inputs run without recursion proportional to their length.
    EXPECT_EQ(regexMatches(std::string(500000, '7'), R"(^\d+$)").size(), 1u);
}

// Outside text may be long and made to hurt a backtracking matcher: matching stays linear.
TEST(RegexMatching, TakesLinearTimeOnPatternsThatMakeBacktrackersExplode) {
    const std::string as(100000, 'a');
    EXPECT_TRUE(regexMatches(as, R"(^(a*)*b$)").empty());
    EXPECT_TRUE(regexMatches(as, R"(^(a|aa)+c$)").empty());
    EXPECT_EQ(regexMatches(as + "b", R"((a+)+b)").size(), 1u);
}

TEST(RegexMatching, OptionsEmptyMatchesAndTemplates) {
    using Strings = std::vector<std::string>;
    struct Case {
        const char *text;
        const char *pattern;
        RegexOptions options;
        RegexMatchOptions matchOptions;
        Strings matches;
    };
    const Case cases[] = {
        {"Take TAKE take", "take", {}, {}, {"take"}},
        {"Take TAKE take", "take", {.caseInsensitive = true}, {}, {"Take", "TAKE", "take"}},
        {"a.b a+b", "a.b", {.ignoreMetacharacters = true}, {}, {"a.b"}},
        {"a\nb", "a.b", {}, {}, {}},
        {"a\nb", "a.b", {.dotMatchesLineSeparators = true}, {}, {"a\nb"}},
        {"1\n2", R"(^\d$)", {}, {}, {}},
        {"1\n2", R"(^\d$)", {.anchorsMatchLines = true}, {}, {"1", "2"}},
        {"12 34", R"(\d+)", {}, {.anchored = true}, {"12"}},
        {"1234", R"(\d\d)", {}, {.anchored = true}, {"12", "34"}},
        // After an empty match the search goes on one character further, a whole one.
        {"a1\u00e9", R"(\d*)", {}, {}, {"", "1", "", ""}},
        {"", R"(\d*)", {}, {}, {""}},
        // Backreferences and look-around do not compile.
        {"aa", R"((a)\1)", {}, {}, {}},
        {"ab", R"(a(?=b))", {}, {}, {}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(regexMatches(c.text, c.pattern, c.options, c.matchOptions), c.matches)
            << c.pattern << " in " << c.text;
    }
    // A group that takes no part is absent; one that matches nothing is empty.
    EXPECT_EQ(regexMatchesCaptureGroups("b", R"((a)?(x*)b)"), (Groups{"b", std::nullopt, ""}));

    const struct {
        const char *text;
        const char *pattern;
        const char *replacement;
        const char *result;
    } replacements[] = {
        {"12+05", R"((\d+)\+(\d+))", "[$0]", "[12+05]"},
        // Digits are taken while they name a group: "$12" is group 1 and a "2".
        {"ab", R"((a)(b))", "$12$2", "a2b"},
        {"ab", R"((a)(b))", "$9", "$9"},
        {"ab", R"((a)(b))", "\\$1 costs $$1", "$1 costs $a"},
        {"a-b-c", "-", ":", "a:b:c"},
        {"abc", "x*", "-", "-a-b-c-"},
    };
    for (const auto &r : replacements) {
        EXPECT_EQ(regexMatchesReplacing(r.text, r.pattern, r.replacement), r.result)
            << r.replacement;
    }
}

TEST(CharacterSet, HoldsScalarsOfCharacters) {
    const CharacterSet digits{"0", "1", "2"};
    EXPECT_TRUE(digits.contains("1"));
    EXPECT_FALSE(digits.contains("3"));
    // "é" as e + combining acute: both scalars must be members.
    const CharacterSet letters{"e\u0301"};
    EXPECT_TRUE(letters.contains("e"));
    EXPECT_TRUE(letters.contains("e\u0301"));
    EXPECT_FALSE(CharacterSet{"e"}.contains("e\u0301"));
    EXPECT_TRUE((digits + CharacterSet{"3"}).contains("3"));
    EXPECT_FALSE((digits - CharacterSet{"1"}).contains("1"));
    EXPECT_EQ(unicodeScalars("\xC3\xA9\xFF\U0001F3AC"),
              (std::vector<char32_t>{0xE9, 0xFFFD, 0x1F3AC}));
}

TEST(TemporaryFile, WritesDataUnderAFreshName) {
    const auto first = temporaryFileWithData("frames");
    const auto second = temporaryFileWithData("");
    EXPECT_NE(first, second);
    EXPECT_EQ(first.parent_path(), temporaryDirectoryCompat());
    EXPECT_EQ(first.filename().string().size(), 36u);
    EXPECT_FALSE(first.has_extension());
    std::ifstream in(first);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "frames");
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

TEST(MediaTime, OrdersLikeTheMediaFramework) {
    EXPECT_EQ(MediaTime(1, 2), MediaTime(2, 4));
    EXPECT_LT(MediaTime(1001, 30000), MediaTime(1, 24));
    EXPECT_LT(MediaTime::negativeInfinityTime(), MediaTime(-1000000, 1));
    EXPECT_LT(MediaTime(1000000, 1), MediaTime::indefiniteTime());
    EXPECT_LT(MediaTime::indefiniteTime(), MediaTime::positiveInfinityTime());
    EXPECT_LT(MediaTime::positiveInfinityTime(), MediaTime::invalidTime());
    EXPECT_FALSE(MediaTime(1, 0).isValid());
    EXPECT_TRUE(MediaTime(1, 24).isNumeric());
    EXPECT_FALSE(MediaTime::indefiniteTime().isNumeric());
    EXPECT_DOUBLE_EQ(MediaTime(3, 4).seconds(), 0.75);
}

} // namespace
} // namespace timecode
