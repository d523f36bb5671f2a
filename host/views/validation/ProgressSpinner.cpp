#include "host/views/validation/ProgressSpinner.h"

#include "designkit/Color.h"
#include "designkit/CorvaneClock.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <chrono>

namespace tandrel {

namespace {

constexpr int steps = 12;
constexpr std::chrono::milliseconds frame(1000 / steps);

} // namespace

ProgressSpinner::ProgressSpinner(QWidget *parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ProgressSpinner::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double width = 2;
    const QRectF ring = QRectF(rect()).adjusted(width, width, -width, -width);
    const QColor colour = corvane::foregroundOf(this);
    painter.setPen(QPen(corvane::withOpacity(colour, 0.2), width));
    painter.drawEllipse(ring);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    // Angles in sixteenths of a degree, counter-clockwise from three o'clock.
    const int start = 90 * 16 - step_ * (360 / steps) * 16;
    painter.drawArc(ring, start, -100 * 16);
}

void ProgressSpinner::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!turning_) {
        turning_ = true;
        corvane::CorvaneClock::shared().schedule(frame, this, [this] { turn(); });
    }
}

void ProgressSpinner::turn() {
    if (!isVisible()) {
        turning_ = false;
        return;
    }
    step_ = (step_ + 1) % steps;
    update();
    corvane::CorvaneClock::shared().schedule(frame, this, [this] { turn(); });
}

} // namespace tandrel
