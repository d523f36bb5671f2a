#pragma once

#include "platform/fxplug/FxImageTile.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tandrel::fxhost {

// What one run of the harness does, from its command line.
struct HostOptions {
    std::filesystem::path module;
    std::filesystem::path outputDirectory;
    // The timeline rate the timing interface gives; absent: no timing interface.
    std::optional<std::pair<unsigned int, unsigned int>> rate = std::make_pair(25u, 1u);
    bool projectAPI = true;
    // Timeline frames at the rate (absolute: frame 0 is timecode 00:00:00:00), in render order.
    std::vector<int64_t> frames;
    int width = 1920;
    int height = 1080;
    uint32_t pixelFormat = platform::Surface::formatBGRA;
    platform::FxImageOrigin origin = platform::FxImageOrigin::bottomLeft;
    int threads = 1;
    bool quiet = false;

    // The options of `arguments` (without the program name); `defaultModule` when none is
    // named. Fails with std::invalid_argument, the message saying what is wrong.
    static HostOptions parse(const std::vector<std::string> &arguments,
                             const std::filesystem::path &defaultModule);

    // The frames of a list such as "90000,01:00:00:10..01:00:01:00,10:00:00:00+250": items
    // separated by commas, each a frame number or a timecode (read at the rate, drop-frame when
    // written with ";"), alone, as a range A..B (B excluded) or as A+N (N frames from A).
    // Refuses an item of more than a million frames and a frame whose time, frame × rateDen
    // over rateNum seconds, no 64-bit value holds.
    static std::vector<int64_t> parseFrames(const std::string &list, unsigned int rateNum,
                                            unsigned int rateDen);

    static const char *usage();
};

} // namespace tandrel::fxhost
