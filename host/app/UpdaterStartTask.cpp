#include "host/app/UpdaterStartTask.h"

#include "host/update/Updater.h"

#include <QEvent>
#include <QWidget>

namespace tandrel {

UpdaterStartTask::UpdaterStartTask(QWidget *window, Updater &updater,
                                   const platform::TimerFactory &timers)
    : QObject(window), updater_(updater), wait_(timers()) {
    window->installEventFilter(this);
    if (window->isVisible()) {
        begin();
    }
}

UpdaterStartTask::~UpdaterStartTask() {
    // The window went without being hidden first: its task ends as if cut short.
    cutShort();
}

bool UpdaterStartTask::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
    case QEvent::Show:
        begin();
        break;
    case QEvent::Hide:
        cutShort();
        break;
    default:
        break;
    }
    return false;
}

void UpdaterStartTask::begin() {
    if (wait_->isActive()) {
        return;
    }
    wait_->start(delay, [this] { updater_.startUpdater(); });
}

void UpdaterStartTask::cutShort() {
    if (!wait_->isActive()) {
        return;
    }
    wait_->stop();
    updater_.startUpdater();
}

} // namespace tandrel
