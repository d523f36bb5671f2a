#pragma once

#include "timecode/ui/RejectionAnimator.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"

#include <QWidget>

#include <functional>

namespace timecode {

// The system's alert sound. A seam: tests install their own and get the previous one back; an
// empty one restores the application's beep.
using TimecodeBeep = std::function<void()>;
TimecodeBeep setTimecodeBeep(TimecodeBeep beep);
void timecodeBeep();

// The rejection feedback of the settings at `view` for one refusal: a custom handler is called
// with it; the validation-based feedback beeps, then plays its animation on the animator.
void giveRejectionFeedback(QWidget *view, RejectionAnimator &animator,
                           const TimecodeFieldInputRejectionFeedback::UserAction &action);

} // namespace timecode
