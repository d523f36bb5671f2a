#pragma once

#include "host/views/main/StatusBarContent.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/Timer.h"

#include <QWidget>

#include <memory>

class QAbstractButton;
class QLabel;

namespace corvane {
class CorvaneStatusDot;
}

namespace tandrel {

class AppState;
class ElidedLabel;

// The one-line bar at the foot of a main window: whether the snapshot for the plug-in is
// written, the state object's status line, how long ago the snapshot was written, and a
// button that scans the watched libraries again. The time since the write is told in words
// that keep themselves current: the bar redraws them when they change, on the given clock.
class StatusBarView : public QWidget {
    Q_OBJECT

public:
    StatusBarView(AppState &state, std::shared_ptr<const platform::Clock> clock,
                  platform::TimerFactory timers, QWidget *parent = nullptr);
    ~StatusBarView() override;

    const StatusBarContent &content() const { return content_; }
    // Shows `content` (the bar takes its content from the state object on every change).
    void display(const StatusBarContent &content);

    corvane::CorvaneStatusDot *dot() const { return dot_; }
    ElidedLabel *statusLabel() const { return status_; }
    QLabel *updatedLabel() const { return updated_; }
    QAbstractButton *refreshButton() const;

private:
    void refresh();

    AppState &state_;
    std::shared_ptr<const platform::Clock> clock_;
    std::unique_ptr<platform::Timer> recount_;
    StatusBarContent content_;
    corvane::CorvaneStatusDot *dot_ = nullptr;
    ElidedLabel *status_;
    QLabel *updated_;
    class RefreshButton *refresh_;
};

} // namespace tandrel
