#include "timecode/core/FeetAndFrames.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/TimecodeStringParseError.h"
#include "timecode/core/ZeroPadded.h"

namespace timecode {

FeetAndFrames::FeetAndFrames(std::string_view text, TimecodeSubFramesBase base)
    : FeetAndFrames(0, 0, 0, base) {
    const Parts parts = decode(text);
    feet = parts.feet;
    frames = parts.frames;
    subFrames = parts.subFrames;
}

FeetAndFrames::Parts FeetAndFrames::decode(std::string_view text) {
    // The whole text is digits "+" digits, optionally "." digits.
    const size_t plus = text.find('+');
    if (plus == std::string_view::npos) {
        throw TimecodeStringParseError();
    }
    std::string_view rest = text.substr(plus + 1);
    const size_t point = rest.find('.');
    const auto feet = parseDigits(text.substr(0, plus));
    const auto frames = parseDigits(rest.substr(0, point));
    // Sub-frames that do not fit are as malformed as feet or frames that do not.
    const auto subFrames = point == std::string_view::npos ? std::optional<int64_t>(0)
                                                           : parseDigits(rest.substr(point + 1));
    if (!feet || !frames || !subFrames) {
        throw TimecodeStringParseError();
    }
    return {*feet, *frames, *subFrames};
}

std::string FeetAndFrames::stringValue() const {
    std::string text = std::to_string(feet) + "+";
    appendZeroPadded(text, frames, 2);
    return text;
}

std::string FeetAndFrames::stringValueVerbose() const {
    std::string text = stringValue() + ".";
    appendZeroPadded(text, subFrames, 2);
    return text;
}

TimecodeFrameCount FeetAndFrames::frameCount() const {
    const int64_t whole = saturatingInt64(static_cast<Int128>(feet) * framesPerFoot + frames);
    return TimecodeFrameCount(subFrames == 0 ? TimecodeFrameCount::Value::frames(whole)
                                             : TimecodeFrameCount::Value::split(whole, subFrames),
                              subFramesBase);
}

} // namespace timecode
