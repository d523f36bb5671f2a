#pragma once

namespace tandrel {

// One point of a clip's retime curve as the library stores it: where on the timeline (seconds)
// the point lies, which source second it shows there, and the curve's tangents around it.
struct TimeMapKeypoint {
    double timelineSeconds = 0;
    double sourceSeconds = 0;
    double inputTangentValue = 0;
    double outputTangentValue = 0;

    friend bool operator==(const TimeMapKeypoint &, const TimeMapKeypoint &) = default;
};

} // namespace tandrel
