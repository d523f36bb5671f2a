#include "tools/tandrel-fxhost/HostOptions.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel::fxhost {
namespace {

HostOptions parsed(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--out", "frames"});
    return HostOptions::parse(arguments, "TandrelPlugin.so");
}

TEST(HostOptions, ReadsFrameListsAtTheRate) {
    EXPECT_EQ(HostOptions::parseFrames("3,01:00:00:00+2,10..12", 25, 1),
              (std::vector<int64_t>{3, 90'000, 90'001, 10, 11}));
    EXPECT_EQ(HostOptions::parseFrames("00:01:00;02", 30'000, 1'001),
              (std::vector<int64_t>{1'800}));
    EXPECT_EQ(parsed({"--times", "5", "--rate", "none"}).frames, (std::vector<int64_t>{5}));
}

// Lists the harness cannot play are refused before any frame is rendered: every frame's time
// is frame × denominator ÷ numerator seconds, and no list holds more than a million frames.
TEST(HostOptions, RefusesFrameListsNoTimeCanHold) {
    const char *refused[] = {
        "9223372036854775807+1",                     // the end lies beyond 64 bits
        "-9223372036854775808..9223372036854775807", // so does the length
        "0+9223372036854775807",                     // a million frames at most
        "9223372036854775807",                       // × 1001 leaves 64 bits
        "-9223372036854775808",                      //
    };
    for (const char *list : refused) {
        EXPECT_THROW(HostOptions::parseFrames(list, 30'000, 1'001), std::invalid_argument) << list;
    }
    EXPECT_EQ(HostOptions::parseFrames("9223372036854775807", 25, 1),
              (std::vector<int64_t>{INT64_MAX}));
}

// The overlay draws into the editor's tile formats only; a tile it cannot draw into would come
// out as the bare test pattern.
TEST(HostOptions, OffersTheTileFormatsTheOverlayDrawsInto) {
    const std::pair<const char *, uint32_t> formats[] = {
        {"bgra8", platform::Surface::formatBGRA},
        {"rgba16f", platform::Surface::formatRGhA},
        {"rgba32f", platform::Surface::formatRGfA},
    };
    for (const auto &[name, format] : formats) {
        EXPECT_EQ(parsed({"--format", name}).pixelFormat, format) << name;
    }
    EXPECT_THROW(parsed({"--format", "rgba8"}), std::invalid_argument);
}

} // namespace
} // namespace tandrel::fxhost
