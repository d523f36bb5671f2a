#include "tools/tandrel-editor-sim/SimScript.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using Kind = SimCommand::Kind;
using platform::FCPXSequenceTimecodeFormat;
using timecode::MediaTime;

TEST(EditorPanelScript, ReadsEveryCommandWithQuotedWordsKeptWhole) {
    const std::vector<SimCommand> commands = SimScript::parse(
        "# the first reel\n"
        "sequence \"R 1\" 1/25 0\r\n"
        "\n"
        "  sequence Trailer 1001/30000 1\n"
        "sequence \"\" 0/0 7\n"
        "no-sequence\n"
        "playhead 90003/25\n"
        "time-range\n"
        "from-thread on\n"
        "from-thread off\n"
        "drop \"/tmp/an export.fcpxml\"\n"
        "pick 2\n"
        "expect sequence No  sequence \"selected\"\n"
        "expect timecode 01:00:00:03\n"
        "expect drop-status \"Saved drop-*\"\n"
        "expect drop-status\n"
        "wait 250");
    ASSERT_EQ(commands.size(), 15u);
    EXPECT_EQ(commands[0].kind, Kind::sequence);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_EQ(commands[0].text, "sequence \"R 1\" 1/25 0");
    EXPECT_EQ(commands[0].name, "R 1");
    EXPECT_EQ(commands[0].time, MediaTime(1, 25));
    EXPECT_EQ(commands[0].format, FCPXSequenceTimecodeFormat::nonDropFrame);
    EXPECT_EQ(commands[1].line, 4);
    EXPECT_EQ(commands[1].format, FCPXSequenceTimecodeFormat::dropFrame);
    EXPECT_EQ(commands[1].time, MediaTime(1001, 30000));
    // The editor may hand out a sequence without a name, rate or known format.
    EXPECT_EQ(commands[2].name, "");
    EXPECT_FALSE(commands[2].time.isValid());
    EXPECT_EQ(static_cast<int>(commands[2].format), 7);
    EXPECT_EQ(commands[3].kind, Kind::noSequence);
    EXPECT_EQ(commands[4].kind, Kind::playhead);
    EXPECT_EQ(commands[4].time, MediaTime(90003, 25));
    EXPECT_EQ(commands[5].kind, Kind::timeRange);
    EXPECT_TRUE(commands[6].on);
    EXPECT_FALSE(commands[7].on);
    EXPECT_EQ(commands[8].file, "/tmp/an export.fcpxml");
    EXPECT_EQ(commands[9].kind, Kind::pick);
    EXPECT_EQ(commands[9].number, 2);
    EXPECT_EQ(commands[10].field, "sequence");
    EXPECT_EQ(commands[10].expected, "No sequence selected");
    EXPECT_EQ(commands[11].expected, "01:00:00:03");
    EXPECT_EQ(commands[12].field, "drop-status");
    EXPECT_EQ(commands[12].expected, "Saved drop-*");
    EXPECT_EQ(commands[13].expected, "");
    EXPECT_EQ(commands[14].kind, Kind::wait);
    EXPECT_EQ(commands[14].number, 250);
    EXPECT_TRUE(SimScript::parse("").empty());
}

TEST(EditorPanelScript, NamesTheFirstLineItCannotRead) {
    const std::pair<const char *, const char *> cases[] = {
        {"jump 3", "line 1: unknown command \"jump\""},
        {"time-range\nsequence R1 1/25", "line 2: expected \"sequence NAME FRAMEDURATION FORMAT\""},
        {"sequence R1 25 0", "line 1: expected \"sequence NAME FRAMEDURATION FORMAT\""},
        {"sequence R1 1/25 df", "line 1: expected \"sequence NAME FRAMEDURATION FORMAT\""},
        {"playhead 1/99999999999", "line 1: expected \"playhead VALUE/TIMESCALE\""},
        {"playhead 1.5/25", "line 1: expected \"playhead VALUE/TIMESCALE\""},
        {"no-sequence now", "line 1: expected \"no-sequence\""},
        {"from-thread yes", "line 1: expected \"from-thread on|off\""},
        {"drop", "line 1: expected \"drop FILE\""},
        {"pick 0", "line 1: expected \"pick N\""},
        {"pick two", "line 1: expected \"pick N\""},
        {"wait -1", "line 1: expected \"wait MS\""},
        {"expect preset Conform", "line 1: expected \"expect sequence|timecode|drop-status TEXT\""},
        {"expect sequence \"R 1", "line 1: a double quote is not closed"},
    };
    for (const auto &[script, message] : cases) {
        try {
            SimScript::parse(script);
            ADD_FAILURE() << script;
        } catch (const SimScriptError &error) {
            EXPECT_STREQ(error.what(), message) << script;
        }
    }
}

} // namespace
} // namespace tandrel
