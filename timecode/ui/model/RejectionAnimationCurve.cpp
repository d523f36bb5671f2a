#include "timecode/ui/model/RejectionAnimationCurve.h"

#include <cmath>
#include <numbers>

namespace timecode {

namespace {

// An underdamped spring of unit mass released from the intensity with no speed: the natural
// angular frequency follows from the response (the period of the undamped spring).
struct Spring {
    double decay;     // damping fraction × natural frequency
    double frequency; // damped angular frequency
    double phase;     // weight of the sine term that makes the start speed 0
    Spring() {
        const double natural = 2 * std::numbers::pi / RejectionAnimationCurve::springResponse;
        const double damping = RejectionAnimationCurve::springDampingFraction;
        decay = damping * natural;
        frequency = natural * std::sqrt(1 - damping * damping);
        phase = decay / frequency;
    }
    // The largest offset still possible at the time.
    double envelope(double seconds) const {
        return RejectionAnimationCurve::shakeIntensity * std::exp(-decay * seconds) *
               std::sqrt(1 + phase * phase);
    }
    double restTime() const {
        return std::log(envelope(0) / RejectionAnimationCurve::restThreshold) / decay;
    }
};

const Spring &spring() {
    static const Spring instance;
    return instance;
}

} // namespace

double RejectionAnimationCurve::shakeOffset(double seconds) {
    const Spring &s = spring();
    if (seconds < 0 || seconds >= s.restTime()) {
        return 0;
    }
    return shakeIntensity * std::exp(-s.decay * seconds) *
           (std::cos(s.frequency * seconds) + s.phase * std::sin(s.frequency * seconds));
}

double RejectionAnimationCurve::pulseBrightness(double seconds) {
    if (seconds < 0 || seconds >= pulseDuration) {
        return 0;
    }
    return pulseIntensity * (1 - seconds / pulseDuration);
}

double RejectionAnimationCurve::duration(RejectionAnimation animation) {
    return animation == RejectionAnimation::shake ? spring().restTime() : pulseDuration;
}

} // namespace timecode
