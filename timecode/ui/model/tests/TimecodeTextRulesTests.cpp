#include "timecode/ui/model/TimecodeTextRules.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;
using Rules = TimecodeTextRules;
using Verdict = Rules::PartialCheck::Verdict;
using Option = Timecode::StringFormatOption;

TEST(TimecodeTextRules, TypingCheck) {
    struct Case {
        const char *proposed;
        std::optional<R> rate;
        std::optional<Limit> limit;
        Timecode::StringFormat format;
        Verdict verdict;
        const char *rebuilt;
        std::optional<std::string> error;
    };
    const auto h24 = Limit::max24Hours;
    const auto d100 = Limit::max100Days;
    const auto subFrames = Timecode::StringFormat{Option::showSubFrames};
    const std::vector<Case> cases{
        // Without a rate or limit anything goes, letters included.
        {"abc", std::nullopt, h24, {}, Verdict::valid, "abc", std::nullopt},
        {"abc", R::fps25, std::nullopt, {}, Verdict::valid, "abc", std::nullopt},
        {"", R::fps25, h24, {}, Verdict::valid, "", std::nullopt},
        {"01:02:03:04", R::fps25, h24, {}, Verdict::valid, "01:02:03:04", std::nullopt},
        // "." becomes the separator due there: ";" before the frames at the drop rates.
        {"01.02.03.04", R::fps29_97d, h24, {}, Verdict::replaced, "01:02:03;04", std::nullopt},
        {"01.02.03.04", R::fps25, h24, {}, Verdict::replaced, "01:02:03:04", std::nullopt},
        {"01;02", R::fps25, h24, {}, Verdict::replaced, "01:02", std::nullopt},
        {"01:02:03;", R::fps29_97d, h24, {}, Verdict::replaced, "01:02:03;", std::nullopt},
        {"01:02:03:04:", R::fps25, h24, {}, Verdict::rejected, "", std::nullopt},
        {"01:02:03:04;", R::fps25, h24, {}, Verdict::rejected, "", std::nullopt},
        {"01:0x", R::fps25, h24, {}, Verdict::rejected, "", "Invalid characters."},
        {"01-02", R::fps25, d100, {}, Verdict::rejected, "", "Invalid characters."},
        // One space, right after the days, under the 100-day limit only.
        {"1 01:00:00:00", R::fps25, h24, {}, Verdict::rejected, "", std::nullopt},
        {"1 01:00:00:00", R::fps25, d100, {}, Verdict::valid, "1 01:00:00:00", std::nullopt},
        {"01:02 03", R::fps25, d100, {}, Verdict::rejected, "", std::nullopt},
        {"1 2 3", R::fps25, d100, {}, Verdict::rejected, "", std::nullopt},
        {" 1", R::fps25, d100, {}, Verdict::rejected, "", std::nullopt},
        // After three separators one "." opens the sub-frames, when they are shown.
        {"01:02:03:04.", R::fps25, h24, subFrames, Verdict::valid, "01:02:03:04.", std::nullopt},
        {"01:02:03:04.5", R::fps25, h24, {}, Verdict::rejected, "", std::nullopt},
        {"01:02:03:04.5.", R::fps25, h24, subFrames, Verdict::rejected, "", std::nullopt},
        {"01:02:03.04.5", R::fps29_97d, h24, subFrames, Verdict::replaced, "01:02:03;04.5",
         std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proposed);
        const Rules::PartialCheck check =
            Rules::isPartialStringValid(c.proposed, c.rate, c.limit, c.format);
        EXPECT_EQ(check.verdict, c.verdict);
        if (c.verdict != Verdict::rejected) {
            EXPECT_EQ(check.rebuilt, c.rebuilt);
        }
        EXPECT_EQ(check.errorDescription, c.error);
    }
}

TEST(TimecodeTextRules, ShownText) {
    struct Case {
        const char *text;
        std::optional<Timecode::Properties> properties;
        Timecode::StringFormat format;
        const char *shown;
    };
    const std::vector<Case> cases{
        {"1:2:3:4", props(R::fps25), {}, "01:02:03:04"},
        {"1:2:3:4", std::nullopt, {}, "1:2:3:4"},
        {"not a timecode", props(R::fps25), {}, "not a timecode"},
        // Out-of-range components stay as typed.
        {"01:00:00:25", props(R::fps25), {}, "01:00:00:25"},
        {"1:0:0:5", props(R::fps120), {}, "01:00:00:005"},
        {"2 1:0:0:0",
         props(R::fps29_97d, Base::max80SubFrames, Limit::max100Days),
         {},
         "2 01:00:00;00"},
        {"1:0:0:0.7",
         props(R::fps24, Base::max80SubFrames),
         {Option::showSubFrames},
         "01:00:00:00.07"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Rules::string(c.text, c.properties, c.format), c.shown);
    }
}

} // namespace
} // namespace timecode
