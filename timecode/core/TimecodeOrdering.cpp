// Timecode equality, ordering, stepping and coding.
#include "timecode/core/Timecode.h"

#include <cmath>

namespace timecode {

double Timecode::comparableRealTime() const {
    // rounded(value, 9 places, halves away from zero), without computing 10^9 each time.
    constexpr double scale = 1e9;
    return std::round(realTimeValue() * scale) / scale;
}

// Equality with the rounded real times already at hand.
static bool equal(const Timecode &lhs, double lhsTime, const Timecode &rhs, double rhsTime) {
    if (lhs.frameRate() != rhs.frameRate()) {
        return false;
    }
    // The bases matter only when both values carry sub-frames.
    if (lhs.subFrames() != 0 && rhs.subFrames() != 0 &&
        lhs.subFramesBase() != rhs.subFramesBase()) {
        return false;
    }
    return lhsTime == rhsTime;
}

bool operator==(const Timecode &lhs, const Timecode &rhs) {
    return lhs.frameRate() == rhs.frameRate() &&
           equal(lhs, lhs.comparableRealTime(), rhs, rhs.comparableRealTime());
}

bool operator<(const Timecode &lhs, const Timecode &rhs) {
    return lhs.comparableRealTime() < rhs.comparableRealTime();
}

std::size_t Timecode::hashValue() const {
    // Equal values have the same rate and the same rounded real time.
    const double time = comparableRealTime();
    const std::size_t seed = std::hash<TimecodeFrameRate>{}(frameRate());
    return seed ^ (std::hash<double>{}(time == 0 ? 0.0 : time) + 0x9e3779b97f4a7c15ULL +
                   (seed << 6) + (seed >> 2));
}

ComparisonResult Timecode::compare(const Timecode &to,
                                   const std::optional<Timecode> &timelineStart) const {
    const double time = comparableRealTime();
    const double otherTime = to.comparableRealTime();
    if (equal(*this, time, to, otherTime)) {
        return ComparisonResult::same;
    }
    if (timelineStart && !timelineStart->frameCount().isZero()) {
        return timelineCount(*timelineStart) < to.timelineCount(*timelineStart)
                   ? ComparisonResult::ascending
                   : ComparisonResult::descending;
    }
    return time < otherTime ? ComparisonResult::ascending : ComparisonResult::descending;
}

Timecode::ExactFrameCount Timecode::timelineCount(const Timecode &timelineStart) const {
    // Counts are compared as exact numbers, as decimals would be, across bases.
    ExactFrameCount count = exactFrameCount(components_);
    if (count < timelineStart.exactFrameCount(timelineStart.components_)) {
        return count;
    }
    // One day at this value's rate and base, drop-frame numbering included.
    count.subFrames -= exactFrameCount({1, 0, 0, 0, 0, 0}).subFrames;
    return count;
}

Timecode Timecode::advanced(int64_t by) const {
    Components step;
    step.frames = by;
    return adding(step, ValidationRule::clamping);
}

int64_t Timecode::distance(const Timecode &to) const {
    return saturatingInt64(static_cast<Int128>(to.frameCount().wholeFrames()) -
                           frameCount().wholeFrames());
}

void to_json(Json &json, const Timecode &timecode) {
    json = Json::object();
    json["frameRate"] = timecode.frameRate();
    json["upperLimit"] = timecode.upperLimit();
    json["subFramesBase"] = timecode.subFramesBase();
    for (const auto &pair : timecode.components()) {
        json[std::string(pair.component.nameLowerCamelCase())] = pair.value;
    }
}

} // namespace timecode

timecode::Timecode
nlohmann::adl_serializer<timecode::Timecode>::from_json(const timecode::Json &json) {
    using namespace timecode;
    const auto rate = decodeRawValue<TimecodeFrameRate>(decodeRequired(json, "frameRate"));
    const auto base = decodeRawValue<TimecodeSubFramesBase>(decodeRequired(json, "subFramesBase"));
    const auto limit = decodeRawValue<TimecodeUpperLimit>(decodeRequired(json, "upperLimit"));
    // Components as they were written, valid or not.
    Timecode timecode(Timecode::Properties(rate, base, limit));
    timecode.setComponents(json.get<TimecodeComponents>());
    return timecode;
}
