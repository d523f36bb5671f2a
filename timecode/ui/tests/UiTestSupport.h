#pragma once

// Seams and small helpers of the timecode view tests: a counting beep, a clipboard of the
// test's own, a clock moved by hand, a window that has the keyboard focus.

#include "timecode/ui/RejectionFeedback.h"
#include "timecode/ui/TimecodePaste.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QWidget>

#include <memory>

namespace timecode::test {

// Counts beeps while it lives.
class BeepCounter {
public:
    BeepCounter() : previous_(setTimecodeBeep([this] { ++beeps; })) {}
    ~BeepCounter() { setTimecodeBeep(previous_); }
    int beeps = 0;

private:
    TimecodeBeep previous_;
};

// The clipboard while it lives: its contents, and how often it was read.
class FakeClipboard {
public:
    FakeClipboard()
        : previous_(setTimecodeClipboardReader([this] {
              ++reads;
              return contents.get();
          })) {}
    ~FakeClipboard() { setTimecodeClipboardReader(previous_); }
    void setText(const QString &text) {
        contents = std::make_unique<QMimeData>();
        contents->setText(text);
    }
    std::unique_ptr<QMimeData> contents;
    int reads = 0;

private:
    TimecodeClipboardReader previous_;
};

// Seconds that move only when told.
struct FakeClock {
    double now = 100;
    AnimationClock clock() {
        return [this] { return now; };
    }
};

// Runs what was queued on the event loop: deferred focus moves, pastes, change signals.
inline void runQueued() {
    QCoreApplication::processEvents();
}

// A shown, active top-level window, so its widgets can take the keyboard focus.
class ActiveWindow : public QWidget {
public:
    ActiveWindow() {
        resize(400, 200);
        show();
        activateWindow();
        QApplication::setActiveWindow(this);
        runQueued();
    }
};

// Sends one key press through the application, as typing does; answers whether some widget
// accepted it.
inline bool press(QWidget *target, int key, const QString &text = {},
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &event);
    return event.isAccepted();
}

} // namespace timecode::test
