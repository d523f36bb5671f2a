#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/StyledText.h"

#include <QLabel>

namespace timecode {

// A timecode as one styled text (timecode::text of TimecodeStyledText.h), drawn with the
// display settings of TimecodeEnvironment.h around it: the format, the separator style, the
// sub-frames style and scale, the validation style.
class TimecodeText : public QLabel {
    Q_OBJECT
public:
    explicit TimecodeText(const Timecode &timecode, QWidget *parent = nullptr);

    const Timecode &timecode() const { return timecode_; }
    void setTimecode(const Timecode &timecode);
    // What it shows, with the settings in force.
    StyledText styledText() const;

protected:
    bool event(QEvent *event) override;

private:
    void refresh();

    Timecode timecode_;
};

} // namespace timecode
