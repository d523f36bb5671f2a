#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace timecode {

// One screen of the timecode views.
struct TimecodeDemoPage {
    // "timecode-field-default": area, view and state, as the screen's file is named.
    QString name;
    // In points.
    QSize size;
    // Builds the page in its state; needs a QApplication.
    std::function<std::unique_ptr<QWidget>()> build;
};

// The screens of the timecode views: the field at its defaults, idle, hovered and disabled, at
// a drop-frame rate, with days, with sub-frames, while editing (with the standard and a custom
// highlight) and with invalid values; the styled text; the text field with its formatter. At
// most one field per page is being edited. Nothing is built until a page's builder runs.
std::vector<TimecodeDemoPage> timecodeDemoPages();

} // namespace timecode
