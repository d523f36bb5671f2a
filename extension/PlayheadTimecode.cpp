#include "extension/PlayheadTimecode.h"

#include "timecode/core/NumericUtilities.h"

#include <cstdint>
#include <cstdio>

namespace tandrel {

std::string PlayheadTimecode::format(timecode::MediaTime time,
                                     const platform::FCPXSequence *sequence) {
    if (!time.isNumeric()) {
        return "00:00:00:00";
    }
    // Frames per second as a fraction: 30/1, or the frame duration turned over.
    timecode::Int128 framesPerSecondNumerator = 30;
    timecode::Int128 framesPerSecondDenominator = 1;
    char separator = ':';
    if (sequence) {
        const timecode::MediaTime frame = sequence->frameDuration();
        if (frame.isNumeric() && frame.value >= 1 && frame.timescale >= 1) {
            framesPerSecondNumerator = frame.timescale;
            framesPerSecondDenominator = frame.value;
        }
        if (sequence->timecodeFormat() == platform::FCPXSequenceTimecodeFormat::dropFrame) {
            separator = ';';
        }
    }
    // Both divisions truncate toward zero, as the seconds and the frame within them do.
    const std::int64_t total = time.value / time.timescale;
    const std::int64_t withinSecond = time.value % time.timescale;
    const auto frames = static_cast<std::int64_t>(
        withinSecond * framesPerSecondNumerator /
        (static_cast<timecode::Int128>(time.timescale) * framesPerSecondDenominator));

    char text[96];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld%c%02lld",
                  static_cast<long long>(total / 3600), static_cast<long long>(total % 3600 / 60),
                  static_cast<long long>(total % 60), separator, static_cast<long long>(frames));
    return text;
}

} // namespace tandrel
