#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <vector>

namespace timecode {

// One screen of the timecode views, built in its state.
struct TimecodeDemoPage {
    // "timecode-field-default": area, view and state, as the screen's file is named.
    QString name;
    QSize size;
    // Owned by the caller.
    QWidget *widget;
};

// The screens of the timecode views: the field at its defaults, at a drop-frame rate, with
// days, with sub-frames, while editing and with invalid values; the styled text; the text
// field with its formatter.
std::vector<TimecodeDemoPage> timecodeDemoPages();

} // namespace timecode
