#include "plugin/Timecoding.h"

#include "timecode/core/Timecode.h"

#include <array>
#include <cmath>
#include <exception>

namespace tandrel {

namespace {

using timecode::Timecode;
using timecode::TimecodeFrameRate;

struct Row {
    double fps;
    TimecodeFrameRate::Case nonDrop;
    TimecodeFrameRate::Case drop;
};

constexpr std::array<Row, 10> rows{{
    {23.976, TimecodeFrameRate::fps23_976, TimecodeFrameRate::fps23_976},
    {24, TimecodeFrameRate::fps24, TimecodeFrameRate::fps24},
    {25, TimecodeFrameRate::fps25, TimecodeFrameRate::fps25},
    {29.97, TimecodeFrameRate::fps29_97, TimecodeFrameRate::fps29_97d},
    {30, TimecodeFrameRate::fps30, TimecodeFrameRate::fps30d},
    {47.952, TimecodeFrameRate::fps47_952, TimecodeFrameRate::fps47_952},
    {48, TimecodeFrameRate::fps48, TimecodeFrameRate::fps48},
    {50, TimecodeFrameRate::fps50, TimecodeFrameRate::fps50},
    {59.94, TimecodeFrameRate::fps59_94, TimecodeFrameRate::fps59_94d},
    {60, TimecodeFrameRate::fps60, TimecodeFrameRate::fps60d},
}};

Timecode::Properties properties(TimecodeFrameRate rate) {
    return {rate, Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours};
}

} // namespace

std::optional<TimecodeFrameRate> Timecoding::rate(int64_t num, int64_t den, bool drop) {
    // The exact fractions (24000/1001, 30/1 ...) round onto their own row, so one path serves
    // them and the approximations (2997/100) alike.
    const double fps =
        den == 0 ? 24
                 : std::round(static_cast<double>(num) / static_cast<double>(den) * 1000) / 1000;
    for (const Row &row : rows) {
        if (fps == row.fps) {
            return TimecodeFrameRate(drop ? row.drop : row.nonDrop);
        }
    }
    return std::nullopt;
}

int64_t Timecoding::wholeFrames(int64_t value, int32_t timescale, TimecodeFrameRate rate) {
    if (timescale <= 0) {
        return 0;
    }
    const Timecode time(
        timecode::TimecodeSourceValue::cmTime(timecode::MediaTime(value, timescale)),
        properties(rate), Timecode::ValidationRule::clamping);
    return Timecode::frameCount(time.components(), rate, time.subFramesBase()).wholeFrames();
}

std::string Timecoding::text(int64_t frames, TimecodeFrameRate rate) {
    return Timecode(timecode::TimecodeSourceValue::frames(frames < 0 ? int64_t{0} : frames),
                    properties(rate), Timecode::ValidationRule::clamping)
        .stringValue();
}

std::optional<int64_t> Timecoding::frames(std::string_view text, TimecodeFrameRate rate) {
    try {
        const Timecode time(timecode::FormattedTimecodeSourceValue::string(text), properties(rate));
        return time.frameCount().wholeFrames();
    } catch (const std::exception &) {
        return std::nullopt; // malformed text, or a component out of range
    }
}

} // namespace tandrel
