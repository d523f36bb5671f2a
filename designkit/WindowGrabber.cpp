#include "designkit/WindowGrabber.h"

#include "designkit/CorvaneTransparentWindow.h"

#include <QEvent>
#include <QWidget>

namespace corvane {

WindowGrabber::WindowGrabber(QWidget *view) : QObject(view), view_(view) {
    view_->installEventFilter(this);
    grabLater();
}

bool WindowGrabber::eventFilter(QObject *watched, QEvent *event) {
    if (watched == view_ &&
        (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)) {
        grabLater();
    }
    return false;
}

void WindowGrabber::grabLater() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            QWidget *window = hostingWindow(view_);
            if (window != window_) {
                window_ = window;
                emit windowChanged(window);
            }
        },
        Qt::QueuedConnection);
}

} // namespace corvane
