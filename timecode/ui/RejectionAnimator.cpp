#include "timecode/ui/RejectionAnimator.h"

#include <QGraphicsEffect>
#include <QImage>
#include <QPainter>

#include <algorithm>

namespace timecode {

namespace {

constexpr int frameInterval = 16;

// Draws a view moved to the right and with brightness added to its colours.
class RejectionEffect : public QGraphicsEffect {
public:
    using QGraphicsEffect::QGraphicsEffect;

    void set(double offset, double brightness);
    QRectF boundingRectFor(const QRectF &rect) const override;

protected:
    void draw(QPainter *painter) override;

private:
    double offset_ = 0;
    double brightness_ = 0;
};

void RejectionEffect::set(double offset, double brightness) {
    offset_ = offset;
    brightness_ = brightness;
    updateBoundingRect();
    update();
}

QRectF RejectionEffect::boundingRectFor(const QRectF &rect) const {
    // Room for the jump to the right and the swing back past rest.
    const double reach = RejectionAnimationCurve::shakeIntensity;
    return rect.adjusted(-reach, 0, reach, 0);
}

void RejectionEffect::draw(QPainter *painter) {
    if (offset_ == 0 && brightness_ == 0) {
        drawSource(painter);
        return;
    }
    QPoint origin;
    const QPixmap source = sourcePixmap(Qt::LogicalCoordinates, &origin);
    QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (brightness_ > 0) {
        // Premultiplied: brightness adds in proportion to coverage, never past it.
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = line[x];
                const int alpha = qAlpha(pixel);
                const int add = static_cast<int>(brightness_ * alpha);
                line[x] =
                    qRgba(std::min(alpha, qRed(pixel) + add), std::min(alpha, qGreen(pixel) + add),
                          std::min(alpha, qBlue(pixel) + add), alpha);
            }
        }
    }
    painter->drawImage(QPointF(origin) + QPointF(offset_, 0), image);
}

} // namespace

RejectionAnimator::RejectionAnimator(QWidget *view) : QObject(view), view_(view) {
    elapsed_.start();
    clock_ = [this] { return static_cast<double>(elapsed_.nsecsElapsed()) / 1e9; };
    frames_.setInterval(frameInterval);
    connect(&frames_, &QTimer::timeout, this, &RejectionAnimator::tick);
}

void RejectionAnimator::perform(RejectionAnimation animation) {
    const double now = clock_();
    (animation == RejectionAnimation::shake ? shakeStart_ : pulseStart_) = now;
    tick();
    frames_.start();
}

void RejectionAnimator::tick() {
    using Curve = RejectionAnimationCurve;
    const double now = clock_();
    auto running = [now](std::optional<double> &start, RejectionAnimation animation) {
        if (start && now - *start >= Curve::duration(animation)) {
            start.reset();
        }
        return start ? now - *start : -1.0;
    };
    const double shakeTime = running(shakeStart_, RejectionAnimation::shake);
    const double pulseTime = running(pulseStart_, RejectionAnimation::pulse);
    offset_ = shakeStart_ ? Curve::shakeOffset(shakeTime) : 0;
    brightness_ = pulseStart_ ? Curve::pulseBrightness(pulseTime) : 0;
    if (!isRunning()) {
        frames_.stop();
    }
    apply();
}

void RejectionAnimator::apply() {
    if (!view_) {
        return;
    }
    auto *effect = dynamic_cast<RejectionEffect *>(view_->graphicsEffect());
    // A view drawn through an effect of someone else's keeps it; the animation then only
    // runs in numbers.
    if (effect == nullptr && view_->graphicsEffect() != nullptr) {
        return;
    }
    if (!isRunning()) {
        if (effect) {
            view_->setGraphicsEffect(nullptr);
        }
        return;
    }
    if (!effect) {
        effect = new RejectionEffect(view_);
        view_->setGraphicsEffect(effect);
    }
    effect->set(offset_, brightness_);
}

} // namespace timecode
