#pragma once

#include "designkit/CorvaneClock.h"

#include <QEasingCurve>
#include <QObject>

#include <functional>

namespace corvane {

// A value running from 0 to 1 over a duration on the kit's clock, eased, handed to a frame
// function about sixty times a second. Starting again, or stopping, drops the run under way;
// its frames stop at once.
class CorvaneAnimation : public QObject {
    Q_OBJECT

public:
    using Frame = std::function<void(double progress)>;

    static constexpr CorvaneClock::Duration frameInterval{16};

    // The platform's standard curves, as cubic Béziers.
    static QEasingCurve easeOut();
    static QEasingCurve easeInOut();

    explicit CorvaneAnimation(QObject *parent = nullptr);

    // Calls `frame` with the eased progress at once (0), then on each tick, the last time
    // with 1, and then `finished`. A duration of 0 or less goes straight to 1.
    void start(CorvaneClock::Duration duration, const QEasingCurve &curve, Frame frame,
               std::function<void()> finished = {});
    void stop();
    bool isRunning() const { return running_; }

private:
    void tick(uint64_t run);

    CorvaneClock *clock_ = nullptr;
    CorvaneClock::Duration started_{0};
    CorvaneClock::Duration duration_{0};
    QEasingCurve curve_;
    Frame frame_;
    std::function<void()> finished_;
    uint64_t run_ = 0;
    bool running_ = false;
};

} // namespace corvane
