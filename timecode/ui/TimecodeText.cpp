#include "timecode/ui/TimecodeText.h"

#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeStyledText.h"

namespace timecode {

TimecodeText::TimecodeText(const Timecode &timecode, QWidget *parent)
    : QLabel(parent), timecode_(timecode) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::NoTextInteraction);
    refresh();
}

void TimecodeText::setTimecode(const Timecode &timecode) {
    if (timecode.isIdentical(timecode_)) {
        return;
    }
    timecode_ = timecode;
    refresh();
}

StyledText TimecodeText::styledText() const {
    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    return timecode::text(timecode_, environment.timecodeFormat, environment.timecodeSeparatorStyle,
                          environment.timecodeSubFramesStyle.style,
                          environment.timecodeSubFramesStyle.scale,
                          environment.timecodeValidationStyle);
}

bool TimecodeText::event(QEvent *event) {
    const bool handled = QLabel::event(event);
    if (TimecodeEnvironment::isChange(event) || event->type() == QEvent::FontChange) {
        refresh();
    }
    return handled;
}

void TimecodeText::refresh() {
    const QString html = styledText().toHtml(font());
    if (html != text()) {
        setText(html);
    }
}

} // namespace timecode
