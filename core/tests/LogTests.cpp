#include "core/support/Log.h"

#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tandrel {
namespace {

// Whoever puts a name from outside into a log line, the line reaches the terminal as one
// bounded line whose controls are shown: a line break cannot forge another line, an escape
// cannot command the terminal.
TEST(Log, WritesEachLineOnOneBoundedLineWithItsControlsShown) {
    for (const auto &hostile : testing::hostileTexts()) {
        ::testing::internal::CaptureStderr();
        logger("com.ostrevale.tandrel.tests", "log")
            ->warn("Library {} cannot be read", hostile.text);
        const std::string written = ::testing::internal::GetCapturedStderr();
        ASSERT_FALSE(written.empty()) << hostile.what;
        EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << hostile.what;
        EXPECT_EQ(written.back(), '\n') << hostile.what;
        const std::string line = written.substr(0, written.size() - 1);
        EXPECT_FALSE(testing::holdsControls(line)) << hostile.what;
        EXPECT_LT(line.size(), 300'000u) << hostile.what;
        EXPECT_NE(line.find("cannot be read"), std::string::npos) << hostile.what;
    }
    // A name shown already keeps its escapes and isolates as they are.
    const std::string shown = shownName("Sample\nServing 'Other'", 120);
    EXPECT_EQ(shownLogLine("Serving '" + shown + "'"), "Serving '" + shown + "'");
    EXPECT_EQ(shownLogLine("a\\b\n"), "a\\b\\u{0A}");
}

} // namespace
} // namespace tandrel
