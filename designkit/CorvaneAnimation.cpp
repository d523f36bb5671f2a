#include "designkit/CorvaneAnimation.h"

#include <QPointF>

#include <algorithm>

namespace corvane {

namespace {

QEasingCurve bezier(double x1, double y1, double x2, double y2) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(x1, y1), QPointF(x2, y2), QPointF(1, 1));
    return curve;
}

} // namespace

QEasingCurve CorvaneAnimation::easeOut() {
    return bezier(0, 0, 0.58, 1);
}

QEasingCurve CorvaneAnimation::easeInOut() {
    return bezier(0.42, 0, 0.58, 1);
}

CorvaneAnimation::CorvaneAnimation(QObject *parent) : QObject(parent) {}

void CorvaneAnimation::start(CorvaneClock::Duration duration, const QEasingCurve &curve,
                             Frame frame, std::function<void()> finished) {
    const uint64_t run = ++run_;
    clock_ = &CorvaneClock::shared();
    started_ = clock_->now();
    duration_ = duration;
    curve_ = curve;
    frame_ = std::move(frame);
    finished_ = std::move(finished);
    running_ = true;
    tick(run);
}

void CorvaneAnimation::stop() {
    ++run_;
    running_ = false;
}

void CorvaneAnimation::tick(uint64_t run) {
    if (run != run_) {
        return; // a later start or a stop replaced this run
    }
    const auto elapsed = clock_->now() - started_;
    const double linear =
        duration_.count() <= 0
            ? 1.0
            : std::clamp(double(elapsed.count()) / double(duration_.count()), 0.0, 1.0);
    // The frame may start a new run or stop this one; nothing below may then touch it.
    Frame frame = frame_;
    frame(linear >= 1 ? 1.0 : curve_.valueForProgress(linear));
    if (run != run_) {
        return;
    }
    if (linear >= 1) {
        running_ = false;
        if (auto finished = std::move(finished_)) {
            finished();
        }
        return;
    }
    // The last frame lands on the end itself, not up to a frame after it.
    clock_->schedule(std::min(frameInterval, duration_ - elapsed), this,
                     [this, run] { tick(run); });
}

} // namespace corvane
