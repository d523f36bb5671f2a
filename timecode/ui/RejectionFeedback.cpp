#include "timecode/ui/RejectionFeedback.h"

#include "timecode/ui/TimecodeEnvironment.h"

#include <QApplication>

namespace timecode {

namespace {

TimecodeBeep &beepSeam() {
    static TimecodeBeep beep;
    return beep;
}

} // namespace

TimecodeBeep setTimecodeBeep(TimecodeBeep beep) {
    return std::exchange(beepSeam(), std::move(beep));
}

void timecodeBeep() {
    if (const TimecodeBeep &beep = beepSeam()) {
        beep();
    } else {
        QApplication::beep();
    }
}

void giveRejectionFeedback(QWidget *view, RejectionAnimator &animator,
                           const TimecodeFieldInputRejectionFeedback::UserAction &action) {
    using Feedback = TimecodeFieldInputRejectionFeedback;
    const std::optional<Feedback> feedback =
        TimecodeEnvironment::of(view).timecodeFieldInputRejectionFeedback;
    const Feedback::Response response = Feedback::response(feedback, action);
    if (response.callsAction && feedback->action()) {
        feedback->action()(action);
    }
    if (response.beep) {
        timecodeBeep();
    }
    if (response.animation) {
        animator.perform(*response.animation);
    }
}

} // namespace timecode
