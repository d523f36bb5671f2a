#include "tools/tandrel-fxhost/HostOptions.h"

#include "core/support/Numeric.h"
#include "timecode/core/Timecode.h"

#include <climits>
#include <stdexcept>

namespace tandrel::fxhost {

namespace {

using timecode::Timecode;
using timecode::TimecodeFrameRate;

[[noreturn]] void fail(const std::string &message) {
    throw std::invalid_argument(message);
}

int64_t integer(const std::string &text, const char *what) {
    const auto value = parseDecimalInt64(text);
    if (!value) {
        fail(std::string(what) + " \"" + text + "\" is not a whole number");
    }
    return *value;
}

// The timecode rate of num/den frames per second, drop-frame when asked.
TimecodeFrameRate timecodeRate(unsigned int num, unsigned int den, bool drop) {
    if (den != 0) {
        if (const auto rate = TimecodeFrameRate::fromRate(timecode::Fraction(num, den), drop)) {
            return *rate;
        }
    }
    fail("no timecode at " + std::to_string(num) + "/" + std::to_string(den) +
         (drop ? " drop-frame" : "") + " frames per second: give frame numbers");
}

int64_t frameOf(const std::string &text, unsigned int num, unsigned int den) {
    if (text.find_first_of(":;") == std::string::npos) {
        return integer(text, "frame");
    }
    const TimecodeFrameRate rate = timecodeRate(num, den, text.find(';') != std::string::npos);
    try {
        return Timecode(timecode::FormattedTimecodeSourceValue::string(text), rate,
                        Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours)
            .frameCount()
            .wholeFrames();
    } catch (const std::exception &) {
        fail("\"" + text + "\" is no timecode at " + std::string(rate.rawValue()));
    }
}

std::pair<unsigned int, unsigned int> parseRate(const std::string &text) {
    const auto slash = text.find('/');
    const int64_t num = integer(text.substr(0, slash), "rate numerator");
    const int64_t den =
        slash == std::string::npos ? 1 : integer(text.substr(slash + 1), "rate denominator");
    if (num < 0 || den < 0 || num > INT32_MAX || den > INT32_MAX) {
        fail("rate \"" + text + "\" is out of range");
    }
    return {static_cast<unsigned int>(num), static_cast<unsigned int>(den)};
}

} // namespace

const char *HostOptions::usage() {
    return "usage: tandrel-fxhost --out DIR [options]\n"
           "Loads the effect module, plays an editor timeline and writes each rendered frame,\n"
           "composited over a test pattern, as DIR/frame-NNNNN.png (NNNNN counts from 0).\n"
           "  --module PATH       the effect module (default: TandrelPlugin.so of this build)\n"
           "  --rate NUM/DEN      the timeline rate (default 25/1); 'none': no timing interface\n"
           "  --times LIST        timeline frames: numbers or timecodes, A..B (B excluded) or\n"
           "                      A+N, comma-separated (default 0)\n"
           "  --size WxH          frame size (default 1920x1080)\n"
           "  --format F          bgra8 (default), rgba16f or rgba32f\n"
           "  --origin O          bottom-left (default) or top-left: how the tile's rows run\n"
           "  --threads N         render frames from N threads at once (default 1)\n"
           "  --no-project-api    withhold the project interface\n"
           "  --quiet             print only the summary\n"
           "  --help              this text\n";
}

std::vector<int64_t> HostOptions::parseFrames(const std::string &list, unsigned int rateNum,
                                              unsigned int rateDen) {
    std::vector<int64_t> frames;
    std::size_t begin = 0;
    while (begin <= list.size()) {
        const std::size_t comma = std::min(list.find(',', begin), list.size());
        const std::string item = list.substr(begin, comma - begin);
        begin = comma + 1;
        if (item.empty()) {
            fail("empty item in \"" + list + "\"");
        }
        int64_t first = 0;
        int64_t count = 1;
        if (const auto dots = item.find(".."); dots != std::string::npos) {
            first = frameOf(item.substr(0, dots), rateNum, rateDen);
            const int64_t end = frameOf(item.substr(dots + 2), rateNum, rateDen);
            if (__builtin_sub_overflow(end, first, &count)) {
                fail("\"" + item + "\" holds more than a million frames");
            }
        } else if (const auto plus = item.find('+'); plus != std::string::npos) {
            first = frameOf(item.substr(0, plus), rateNum, rateDen);
            count = integer(item.substr(plus + 1), "frame count");
        } else {
            first = frameOf(item, rateNum, rateDen);
        }
        if (count > 1'000'000) {
            fail("\"" + item + "\" holds more than a million frames");
        }
        for (int64_t i = 0; i < count; ++i) {
            // The host gives a frame's time as frame × den ÷ num seconds.
            int64_t frame = 0;
            int64_t value = 0;
            if (__builtin_add_overflow(first, i, &frame) ||
                __builtin_mul_overflow(frame, static_cast<int64_t>(rateDen), &value)) {
                fail("\"" + item + "\" reaches beyond the frames a time at " +
                     std::to_string(rateNum) + "/" + std::to_string(rateDen) +
                     " frames per second can hold");
            }
            frames.push_back(frame);
        }
    }
    return frames;
}

HostOptions HostOptions::parse(const std::vector<std::string> &arguments,
                               const std::filesystem::path &defaultModule) {
    HostOptions options;
    options.module = defaultModule;
    std::string times = "0";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= arguments.size()) {
                fail(option + " needs a value");
            }
            return arguments[++i];
        };
        if (option == "--module") {
            options.module = value();
        } else if (option == "--out") {
            options.outputDirectory = value();
        } else if (option == "--rate") {
            const std::string &rate = value();
            options.rate = rate == "none" ? std::nullopt : std::optional(parseRate(rate));
        } else if (option == "--times") {
            times = value();
        } else if (option == "--size") {
            const std::string &size = value();
            const auto x = size.find('x');
            if (x == std::string::npos) {
                fail("size \"" + size + "\" is not WxH");
            }
            const int64_t width = integer(size.substr(0, x), "width");
            const int64_t height = integer(size.substr(x + 1), "height");
            if (width < 1 || height < 1 || width > 16384 || height > 16384) {
                fail("size \"" + size + "\" is out of range (1…16384)");
            }
            options.width = static_cast<int>(width);
            options.height = static_cast<int>(height);
        } else if (option == "--format") {
            const std::string &format = value();
            if (format == "bgra8") {
                options.pixelFormat = platform::Surface::formatBGRA;
            } else if (format == "rgba16f") {
                options.pixelFormat = platform::Surface::formatRGhA;
            } else if (format == "rgba32f") {
                options.pixelFormat = platform::Surface::formatRGfA;
            } else {
                fail("unknown format \"" + format + "\"");
            }
        } else if (option == "--origin") {
            const std::string &origin = value();
            if (origin == "bottom-left") {
                options.origin = platform::FxImageOrigin::bottomLeft;
            } else if (origin == "top-left") {
                options.origin = platform::FxImageOrigin::topLeft;
            } else {
                fail("unknown origin \"" + origin + "\"");
            }
        } else if (option == "--threads") {
            const int64_t threads = integer(value(), "thread count");
            if (threads < 1 || threads > 256) {
                fail("thread count must be 1…256");
            }
            options.threads = static_cast<int>(threads);
        } else if (option == "--no-project-api") {
            options.projectAPI = false;
        } else if (option == "--quiet") {
            options.quiet = true;
        } else {
            fail("unknown option \"" + option + "\"");
        }
    }
    if (options.outputDirectory.empty()) {
        fail("--out DIR is required");
    }
    // Without a timing interface the times only number the pictures: read them at 24 fps.
    const auto [num, den] = options.rate.value_or(std::make_pair(24u, 1u));
    options.frames = parseFrames(times, num, den);
    return options;
}

} // namespace tandrel::fxhost
