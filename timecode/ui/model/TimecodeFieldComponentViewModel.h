#pragma once

#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeStringFormat.h"

#include <functional>

namespace timecode {

// Which components of the timecode field are shown, and where focus goes from one of them.
// Known in the field as `TimecodeField::ComponentView::ViewModel`.
class TimecodeFieldComponentViewModel {
public:
    TimecodeFieldComponentViewModel(TimecodeComponent component,
                                    const TimecodeProperties &initialTimecodeProperties)
        : component_(component), timecodeProperties_(initialTimecodeProperties) {}

    // Hears of a change of the properties (an equal store is silent).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    TimecodeComponent component() const { return component_; }
    const TimecodeProperties &timecodeProperties() const { return timecodeProperties_; }
    void setTimecodeProperties(const TimecodeProperties &properties);
    TimecodeFrameRate frameRate() const { return timecodeProperties_.frameRate; }
    TimecodeSubFramesBase subFramesBase() const { return timecodeProperties_.subFramesBase; }
    TimecodeUpperLimit upperLimit() const { return timecodeProperties_.upperLimit; }

    // Days, unless the format always shows them or the limit is 100 days; sub-frames, unless
    // the format shows them. Hours to frames are always shown.
    static TimecodeComponent::Set invisibleComponents(TimecodeStringFormat timecodeFormat,
                                                      TimecodeUpperLimit upperLimit);
    TimecodeComponent::Set invisibleComponents(TimecodeStringFormat timecodeFormat) const {
        return invisibleComponents(timecodeFormat, upperLimit());
    }

    // Focus moves among the shown components only.
    TimecodeComponent firstVisibleComponent(TimecodeStringFormat timecodeFormat) const;
    TimecodeComponent previousComponent(TimecodeStringFormat timecodeFormat, bool wrap) const;
    TimecodeComponent nextComponent(TimecodeStringFormat timecodeFormat, bool wrap) const;

private:
    TimecodeComponent component_;
    TimecodeProperties timecodeProperties_;
    std::function<void()> observer_;
};

} // namespace timecode
