#include "core/model/TimecodeCalculator.h"

#include "core/support/Numeric.h"
#include "core/support/TextSplit.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <vector>

namespace tandrel {

namespace {

// A count that may exceed 64 bits after the drop-frame adjustment; only its quotients are shown.
std::string formatTimecode(Int128 count, int fps, char separator) {
    const Int128 totalSeconds = count / fps;
    const auto frames = static_cast<int>(count % fps);
    const auto hours = static_cast<int64_t>(totalSeconds / 3600);
    const auto minutes = static_cast<int>((totalSeconds / 60) % 60);
    const auto seconds = static_cast<int>(totalSeconds % 60);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02" PRId64 ":%02d:%02d%c%02d", hours, minutes, seconds,
                  separator, frames);
    return buffer;
}

// Optional sign, then one or more ASCII digits.
bool hasIntegerSyntax(std::string_view piece) {
    if (!piece.empty() && (piece.front() == '+' || piece.front() == '-')) {
        piece.remove_prefix(1);
    }
    return !piece.empty() && piece.find_first_not_of("0123456789") == std::string_view::npos;
}

char frameSeparator(FrameRate rate) {
    return rate.isDropFrame() ? ';' : ':';
}

} // namespace

Int128 TimecodeCalculator::adjustForDropFrameDisplay(int64_t totalFrames, int fps) {
    const int64_t dropped = fps == 30 ? 2 : 4;
    const int64_t perMinute = int64_t{fps} * 60;
    const int64_t perTenMinutes = int64_t{fps} * 600 - 9 * dropped;
    const int64_t tens = totalFrames / perTenMinutes;
    const int64_t rest = totalFrames - tens * perTenMinutes;
    int64_t k = 0;
    if (rest >= perMinute) {
        k = std::min<int64_t>(9, (rest - perMinute) / (perMinute - dropped) + 1);
    }
    return Int128{totalFrames} + Int128{dropped} * (Int128{9} * tens + k);
}

std::string TimecodeCalculator::framesToTimecode(int64_t frames, FrameRate rate) {
    const char separator = frameSeparator(rate);
    if (frames < 0) {
        return std::string("00:00:00") + separator + "00";
    }
    const int fps = rate.nominalFPS();
    const Int128 count = rate.isDropFrame() ? adjustForDropFrameDisplay(frames, fps) : frames;
    return formatTimecode(count, fps, separator);
}

std::optional<int64_t> TimecodeCalculator::timecodeToFrames(std::string_view timecode,
                                                            FrameRate rate) {
    std::string text(timecode);
    std::replace(text.begin(), text.end(), ';', ':');
    std::vector<int64_t> fields;
    for (std::string_view piece : splitNonEmpty(text, ":")) {
        if (!hasIntegerSyntax(piece)) {
            continue; // words between the numbers are skipped
        }
        // An integer too long for 64 bits would shift every later field if it were skipped.
        const auto value = parseDecimalInt64(piece);
        if (!value) {
            return std::nullopt;
        }
        fields.push_back(*value);
    }
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const Int128 h = fields[0], m = fields[1], s = fields[2], f = fields[3];
    const int fps = rate.nominalFPS();
    Int128 count = (h * 3600 + m * 60 + s) * fps + f;
    if (rate.isDropFrame()) {
        const Int128 dropped = fps == 30 ? 2 : 4;
        const Int128 totalMinutes = h * 60 + m;
        count -= dropped * (totalMinutes - totalMinutes / 10);
    }
    if (count > INT64_MAX || count < INT64_MIN) {
        return std::nullopt;
    }
    return static_cast<int64_t>(count);
}

std::string TimecodeCalculator::sourceTimecodeAtPosition(int64_t timelineFrame,
                                                         int64_t clipTimelineIn,
                                                         int64_t clipSourceIn,
                                                         int64_t sourceStartTC, FrameRate rate) {
    const Int128 frame =
        Int128{sourceStartTC} + clipSourceIn + (Int128{timelineFrame} - clipTimelineIn);
    const auto clamped = static_cast<int64_t>(std::clamp<Int128>(frame, INT64_MIN, INT64_MAX));
    return framesToTimecode(clamped, rate);
}

std::optional<std::string> TimecodeCalculator::addTimecodes(std::string_view a, std::string_view b,
                                                            FrameRate rate) {
    const auto first = timecodeToFrames(a, rate);
    const auto second = timecodeToFrames(b, rate);
    int64_t sum = 0;
    if (!first || !second || __builtin_add_overflow(*first, *second, &sum)) {
        return std::nullopt;
    }
    return framesToTimecode(sum, rate);
}

std::optional<std::string>
TimecodeCalculator::subtractTimecodes(std::string_view a, std::string_view b, FrameRate rate) {
    const auto first = timecodeToFrames(a, rate);
    const auto second = timecodeToFrames(b, rate);
    int64_t difference = 0;
    if (!first || !second || __builtin_sub_overflow(*first, *second, &difference)) {
        return std::nullopt;
    }
    return framesToTimecode(std::max<int64_t>(0, difference), rate);
}

std::optional<double> TimecodeCalculator::parseCMTimeString(std::string_view text) {
    // Read for every clip of a timeline: no allocation.
    std::array<std::string_view, 2> pieces;
    if (splitNonEmpty(text, "/", pieces) != pieces.size()) {
        return std::nullopt;
    }
    const auto value = parseDecimalInt64(pieces[0]);
    const auto timescale = parseDecimalInt64(pieces[1]);
    if (!value || !timescale || *timescale == 0 || *timescale > INT32_MAX ||
        *timescale < INT32_MIN) {
        return std::nullopt;
    }
    return static_cast<double>(*value) / static_cast<double>(*timescale);
}

std::optional<TimecodeCalculator::TimeRange>
TimecodeCalculator::parseCMTimeRangeString(std::string_view text) {
    const TextWithout stripped(text, "{}()");
    std::array<std::string_view, 2> pieces;
    if (splitNonEmpty(stripped.view(), ",", pieces) != pieces.size()) {
        return std::nullopt;
    }
    const auto start = parseCMTimeString(pieces[0]);
    const auto duration = parseCMTimeString(pieces[1]);
    if (!start || !duration) {
        return std::nullopt;
    }
    return TimeRange{*start, *duration};
}

std::optional<int64_t> TimecodeCalculator::cmTimeStringToFrames(std::string_view text,
                                                                FrameRate rate) {
    const auto seconds = parseCMTimeString(text);
    if (!seconds) {
        return std::nullopt;
    }
    return truncateToInt64(*seconds * rate.fps() + 0.5);
}

} // namespace tandrel
