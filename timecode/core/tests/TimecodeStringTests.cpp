#include "timecode/core/RegexMatching.h"
#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

using Format = Timecode::StringFormat;
using Option = Timecode::StringFormatOption;

TEST(TimecodeString, Formats) {
    struct Case {
        Timecode timecode;
        Format format;
        const char *text;
    };
    const Format subFrames = Format::withSubFrames();
    const Case cases[] = {
        {make({0, 1, 0, 0, 0, 0}, R::fps24), {}, "01:00:00:00"},
        {make({0, 1, 0, 0, 0, 0}, R::fps29_97d), {}, "01:00:00;00"},
        {make({0, 1, 0, 0, 0, 0}, R::fps60d), {}, "01:00:00;00"},
        {make({0, 1, 0, 0, 0, 0}, R::fps29_97), {}, "01:00:00:00"},
        {make({0, 1, 0, 0, 5, 0}, R::fps119_88), {}, "01:00:00:005"},
        {make({0, 1, 0, 0, 5, 0}, R::fps120d), {}, "01:00:00;005"},
        {make({2, 1, 0, 0, 0, 0}, R::fps24, Base::max80SubFrames, Limit::max100Days),
         {},
         "2 01:00:00:00"},
        {make({0, 1, 0, 0, 0, 0}, R::fps24), {Option::alwaysShowDays}, "0 01:00:00:00"},
        {make({0, 1, 0, 0, 0, 7}, R::fps24), subFrames, "01:00:00:00.07"},
        {make({0, 1, 0, 0, 0, 3}, R::fps24, Base::quarterFrames), subFrames, "01:00:00:00.3"},
        {make({0, 1, 0, 0, 0, 7}, R::fps24), {}, "01:00:00:00"},
        {make({2, 1, 0, 0, 0, 0}, R::fps29_97d, Base::max80SubFrames, Limit::max100Days),
         {Option::filenameCompatible},
         "2-01-00-00-00"},
        // Negative values print as "%02ld" does: the sign counts toward the width.
        {make({0, -1, 0, 0, 0, 0}, R::fps24), {}, "-1:00:00:00"},
        {make({-3, 0, -12, 0, -5, 0}, R::fps119_88), {}, "-3 00:-12:00:-05"},
        {make({0, 123, 0, 0, 0, 0}, R::fps25), {}, "123:00:00:00"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.timecode.stringValue(c.format), c.text);
    }
}

TEST(TimecodeString, Descriptions) {
    const Timecode drop = make({0, 1, 0, 0, 0, 0}, R::fps29_97d);
    EXPECT_EQ(drop.description(), "01:00:00;00.00");
    EXPECT_EQ(drop.debugDescription(), "Timecode<01:00:00;00.00 @ 29.97 fps drop>");
    EXPECT_EQ(make({0, 1, 0, 0, 0, 0}, R::fps24).verboseDescription(), "01:00:00:00.00 @ 24 fps");
    EXPECT_EQ(make({1, 0, 0, 0, 0, 0}, R::fps25, Base::quarterFrames, Limit::max100Days)
                  .debugDescription(),
              "Timecode<1 00:00:00:00.0 @ 25 fps>");
}

TEST(TimecodeString, FormatOptionSet) {
    Format format = Format::defaults();
    EXPECT_TRUE(format.empty());
    format.setShowSubFrames(true);
    format.setFilenameCompatible(true);
    EXPECT_EQ(format.options(),
              (std::vector<Option>{Option::showSubFrames, Option::filenameCompatible}));
    format.setShowSubFrames(false);
    EXPECT_FALSE(format.showSubFrames());
    EXPECT_TRUE(format.contains(Option::filenameCompatible));
    EXPECT_EQ(Format::withSubFrames(), Format{Option::showSubFrames});

    EXPECT_EQ(Json(Option(Option::alwaysShowDays)).dump(), "\"alwaysShowDays\"");
    EXPECT_EQ(Json("filenameCompatible").get<Option>(), Option::filenameCompatible);
    try {
        Json("showDays").get<Option>();
        ADD_FAILURE();
    } catch (const DecodingError &error) {
        EXPECT_EQ(error.kind(), DecodingError::Kind::valueNotFound);
        EXPECT_STREQ(error.what(), "Decoded value is not valid.");
    }
}

TEST(TimecodeString, Parses) {
    struct Case {
        const char *text;
        Components components;
    };
    const Case cases[] = {
        {"01:00:00:00", {0, 1, 0, 0, 0, 0}},
        {"01:00:00;00", {0, 1, 0, 0, 0, 0}},
        {"01;00;00;00", {0, 1, 0, 0, 0, 0}},
        {"1 01:00:00:00", {1, 1, 0, 0, 0, 0}},
        {"1:01:00:00:00", {1, 1, 0, 0, 0, 0}},
        {"1;2;3;4;5.6", {1, 2, 3, 4, 5, 6}},
        {"12\t01:02:03:04", {12, 1, 2, 3, 4, 0}},
        {"01:00:00:00.50", {0, 1, 0, 0, 0, 50}},
        {"01:00:00:00.5", {0, 1, 0, 0, 0, 5}},
        {"99:99:99:99", {0, 99, 99, 99, 99, 0}},
        // Read without days where the text allows it, as the pattern's lazy days group does.
        {"101:00:00:00", {0, 101, 0, 0, 0, 0}},
        {"01:00:00:0050", {0, 1, 0, 0, 50, 0}},
        // A lone days separator in front, or a "." at the end, is part of the form.
        {" 01:00:00:00", {0, 1, 0, 0, 0, 0}},
        {":01:00:00:00", {0, 1, 0, 0, 0, 0}},
        {"01:00:00:00.", {0, 1, 0, 0, 0, 0}},
        {"9223372036854775807:00:00:00", {0, INT64_MAX, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Timecode::decode(c.text), c.components) << c.text;
    }
}

TEST(TimecodeString, RefusesMalformedText) {
    const char *texts[] = {
        "",
        "01:00:00",
        "01:00:00:00:",
        "-01:00:00:00",
        "+01:00:00:00",
        "01:00:00:0a",
        "01.00.00.00",
        "01:00:00:00.5.",
        "01:00:00:00 ",
        "1  01:00:00:00",
        "1 2 01:00:00:00",
        "01:00:00:00\n",
        "x01:00:00:00",
        "1 01:00:00:00:00",
        "01:00::00:00",
        "01:00:00:00.-1",
        "０1:00:00:00",
        // A present group beyond 64 bits is malformed, not quietly left out: days and sub-frames
        // are optional, and reading them as absent would change the time.
        "9223372036854775808 01:00:00:00",
        "01:00:00:00.9223372036854775808",
        "1 9223372036854775808:00:00:00",
        "9223372036854775808:00:00:00",
    };
    for (const char *text : texts) {
        EXPECT_THROW(Timecode::decode(text), Timecode::StringParseError) << text;
    }
}

// The scanner and the pattern it stands for agree, groups included, over every text of three to
// six digit runs with any separators between them and before and after (the fuzz target checks
// the same on arbitrary input).
TEST(TimecodeString, AgreesWithThePattern) {
    const auto pattern =
        compileRegex(R"(^(\d+)??[\:;\s\v]??(\d+)[\:;](\d+)[\:;](\d+)[\:\;](\d+)[\.]??(\d+)??$)");
    ASSERT_TRUE(pattern);
    const std::string separators = ":;. ";
    const auto check = [&](const std::string &text) {
        const auto groups = regexMatchesCaptureGroups(text, *pattern);
        std::optional<Components> expected;
        if (groups.size() == 7) {
            const auto value = [&](size_t i) { return groups[i] ? std::stoll(*groups[i]) : 0; };
            expected = Components{value(1), value(2), value(3), value(4), value(5), value(6)};
        }
        std::optional<Components> actual;
        try {
            actual = Timecode::decode(text);
        } catch (const Timecode::StringParseError &) {
        }
        EXPECT_EQ(actual, expected) << "'" << text << "'";
    };
    for (size_t runs = 3; runs <= 6; ++runs) {
        size_t combinations = 1;
        for (size_t i = 1; i < runs; ++i) {
            combinations *= separators.size();
        }
        for (size_t combination = 0; combination < combinations; ++combination) {
            std::string middle = "12";
            for (size_t i = 1, rest = combination; i < runs; ++i, rest /= separators.size()) {
                middle += separators[rest % separators.size()];
                middle += std::to_string(i);
            }
            for (const char *front : {"", " ", ":"}) {
                for (const char *back : {"", ".", ":"}) {
                    check(front + middle + back);
                }
            }
        }
    }
}

TEST(TimecodeString, RoundTrips) {
    const Timecode timecode =
        make({42, 23, 59, 58, 118, 99}, R::fps119_88d, Base::max100SubFrames, Limit::max100Days);
    const Format all{Option::alwaysShowDays, Option::showSubFrames};
    EXPECT_EQ(Timecode::decode(timecode.stringValue(all)), timecode.components());
}

} // namespace
} // namespace timecode
