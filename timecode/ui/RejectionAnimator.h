#pragma once

#include "timecode/ui/model/RejectionAnimationCurve.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

namespace timecode {

// Seconds on a steady clock; only differences are read.
using AnimationClock = std::function<double()>;

// Plays the rejection animations on one view: a shake offsets it horizontally, a pulse
// brightens it (RejectionAnimationCurve). It draws through a graphics effect that is on the
// view only while an animation runs. A frame timer drives it; the clock can be replaced, and
// tick() advances it by hand.
class RejectionAnimator : public QObject {
    Q_OBJECT
public:
    using RejectionAnimation = RejectionAnimationCurve::RejectionAnimation;

    explicit RejectionAnimator(QWidget *view);

    void setClock(AnimationClock clock) { clock_ = std::move(clock); }

    // Starts (or restarts) the animation at its jump.
    void perform(RejectionAnimation animation);
    // Reads the clock and redraws; stops once both animations are at rest.
    void tick();

    bool isRunning() const { return shakeStart_ || pulseStart_; }
    double offset() const { return offset_; }
    double brightness() const { return brightness_; }

private:
    void apply();

    QPointer<QWidget> view_;
    QTimer frames_;
    QElapsedTimer elapsed_;
    AnimationClock clock_;
    std::optional<double> shakeStart_;
    std::optional<double> pulseStart_;
    double offset_ = 0;
    double brightness_ = 0;
};

} // namespace timecode
