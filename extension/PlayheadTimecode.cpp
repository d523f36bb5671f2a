#include "extension/PlayheadTimecode.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/Timecode.h"

#include <cstdint>
#include <cstdio>
#include <optional>

namespace tandrel {

namespace {

std::string text(std::int64_t hours, std::int64_t minutes, std::int64_t seconds, char separator,
                 std::int64_t frames, int frameDigits) {
    char made[96];
    std::snprintf(made, sizeof made, "%02lld:%02lld:%02lld%c%0*lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(seconds), separator,
                  frameDigits, static_cast<long long>(frames));
    return made;
}

} // namespace

std::string PlayheadTimecode::format(timecode::MediaTime time,
                                     const platform::FCPXSequence *sequence) {
    if (!time.isNumeric()) {
        return "00:00:00:00";
    }
    // Frames per second as a fraction: 30/1, or the frame duration turned over.
    timecode::Int128 framesPerSecondNumerator = 30;
    timecode::Int128 framesPerSecondDenominator = 1;
    char separator = ':';
    std::optional<timecode::TimecodeFrameRate> dropFrameRate;
    if (sequence) {
        const timecode::MediaTime frame = sequence->frameDuration();
        if (frame.isNumeric() && frame.value >= 1 && frame.timescale >= 1) {
            framesPerSecondNumerator = frame.timescale;
            framesPerSecondDenominator = frame.value;
        }
        if (sequence->timecodeFormat() == platform::FCPXSequenceTimecodeFormat::dropFrame) {
            separator = ';';
            dropFrameRate = timecode::TimecodeFrameRate::fromFrameDuration(
                timecode::MediaTime(static_cast<std::int64_t>(framesPerSecondDenominator),
                                    static_cast<std::int32_t>(framesPerSecondNumerator)),
                true);
        }
    }
    if (dropFrameRate) {
        // The frame under the playhead, counted down, then labelled as drop-frame counts it.
        const timecode::Int128 frame =
            static_cast<timecode::Int128>(time.value) * framesPerSecondNumerator /
            (static_cast<timecode::Int128>(time.timescale) * framesPerSecondDenominator);
        const timecode::Timecode::Components components = timecode::Timecode::components(
            timecode::Timecode::FrameCount(
                timecode::Timecode::FrameCount::Value::frames(timecode::saturatingInt64(frame)),
                timecode::Timecode::SubFramesBase::max100SubFrames),
            *dropFrameRate);
        return text(components.days * 24 + components.hours, components.minutes, components.seconds,
                    separator, components.frames, dropFrameRate->numberOfDigits());
    }
    // Both divisions truncate toward zero, as the seconds and the frame within them do.
    const std::int64_t total = time.value / time.timescale;
    const std::int64_t withinSecond = time.value % time.timescale;
    const auto frames = static_cast<std::int64_t>(
        withinSecond * framesPerSecondNumerator /
        (static_cast<timecode::Int128>(time.timescale) * framesPerSecondDenominator));
    return text(total / 3600, total % 3600 / 60, total % 60, separator, frames, 2);
}

} // namespace tandrel
