#pragma once

#include "platform/runtime/Timer.h"

#include <QObject>

#include <chrono>
#include <memory>

class QWidget;

namespace tandrel {

class Updater;

// Starts the host's updater for a main window: 3 s after the window comes on screen, or at
// once when it leaves the screen (closed, hidden) before then. Every showing runs a task of its
// own, so the updater is never started before a main window has been shown. Lives as long as
// its window.
class UpdaterStartTask : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::seconds delay{3};

    UpdaterStartTask(QWidget *window, Updater &updater, const platform::TimerFactory &timers);
    ~UpdaterStartTask() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void begin();
    void cutShort();

    Updater &updater_;
    std::unique_ptr<platform::Timer> wait_;
};

} // namespace tandrel
