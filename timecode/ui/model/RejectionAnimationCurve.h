#pragma once

#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"

namespace timecode {

// The two rejection animations of the timecode field as functions of the time since they
// started. A shake jumps the view 5 points to the right at once and lets a spring (response
// 0.2 s, damping fraction 0.2) pull it back to rest; a pulse adds 0.7 brightness at once and
// takes it away linearly over 0.08 s. A new rejection restarts its animation from the jump.
struct RejectionAnimationCurve {
    using RejectionAnimation = TimecodeFieldInputRejectionFeedback::RejectionAnimation;

    static constexpr double shakeIntensity = 5.0;
    static constexpr double pulseIntensity = 0.7;
    static constexpr double springResponse = 0.2;
    static constexpr double springDampingFraction = 0.2;
    static constexpr double pulseDuration = 0.08;
    // Within this many points of rest the shake counts as over.
    static constexpr double restThreshold = 0.01;

    // Horizontal offset in points, `seconds` after the shake started (0 before it and once at
    // rest).
    static double shakeOffset(double seconds);
    // Brightness added, `seconds` after the pulse started.
    static double pulseBrightness(double seconds);
    // How long each runs until it is at rest.
    static double duration(RejectionAnimation animation);
};

} // namespace timecode
