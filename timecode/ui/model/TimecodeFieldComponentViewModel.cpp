#include "timecode/ui/model/TimecodeFieldComponentViewModel.h"

namespace timecode {

void TimecodeFieldComponentViewModel::setTimecodeProperties(const TimecodeProperties &properties) {
    if (properties == timecodeProperties_) {
        return;
    }
    timecodeProperties_ = properties;
    if (observer_) {
        observer_();
    }
}

TimecodeComponent::Set
TimecodeFieldComponentViewModel::invisibleComponents(TimecodeStringFormat timecodeFormat,
                                                     TimecodeUpperLimit upperLimit) {
    TimecodeComponent::Set invisible;
    if (!timecodeFormat.alwaysShowDays() && upperLimit != TimecodeUpperLimit::max100Days) {
        invisible.insert(TimecodeComponent::days);
    }
    if (!timecodeFormat.showSubFrames()) {
        invisible.insert(TimecodeComponent::subFrames);
    }
    return invisible;
}

// Hours to frames are always shown, so the navigation always finds a component.
TimecodeComponent
TimecodeFieldComponentViewModel::firstVisibleComponent(TimecodeStringFormat timecodeFormat) const {
    return TimecodeComponent::first(invisibleComponents(timecodeFormat)).value();
}

TimecodeComponent
TimecodeFieldComponentViewModel::previousComponent(TimecodeStringFormat timecodeFormat,
                                                   bool wrap) const {
    return component_.previous(invisibleComponents(timecodeFormat), wrap).value();
}

TimecodeComponent
TimecodeFieldComponentViewModel::nextComponent(TimecodeStringFormat timecodeFormat,
                                               bool wrap) const {
    return component_.next(invisibleComponents(timecodeFormat), wrap).value();
}

} // namespace timecode
