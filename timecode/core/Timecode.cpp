#include "timecode/core/Timecode.h"

namespace timecode {

ClosedRange<int64_t> Timecode::validRange(Component component) const {
    return components_.validRange(component, properties_);
}

Timecode::Component::Set Timecode::invalidComponents() const {
    return components_.invalidComponents(properties_);
}

void Timecode::clampComponents() {
    Components &c = components_;
    c.days = clamped(c.days, validRange(Component::days));
    c.hours = clamped(c.hours, validRange(Component::hours));
    c.minutes = clamped(c.minutes, validRange(Component::minutes));
    c.seconds = clamped(c.seconds, validRange(Component::seconds));
    // The frames range reads the minutes and seconds already clamped.
    c.frames = clamped(c.frames, validRange(Component::frames));
    c.subFrames = clamped(c.subFrames, validRange(Component::subFrames));
}

bool Timecode::isWithinValidComponentDigitCounts() const {
    return components_.isWithinValidDigitCounts(frameRate(), subFramesBase());
}

Timecode::FrameCount Timecode::maxFrameCountExpressible() const {
    return FrameCount(FrameCount::Value::split(frameRate().maxTotalFramesExpressible(upperLimit()),
                                               maxSubFramesExpressible()),
                      subFramesBase());
}

int64_t Timecode::maxSubFrameCountExpressible() const {
    return frameRate().maxSubFrameCountExpressible(upperLimit(), subFramesBase());
}

} // namespace timecode
