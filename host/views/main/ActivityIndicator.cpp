#include "host/views/main/ActivityIndicator.h"

#include "designkit/CorvaneClock.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <cmath>

namespace tandrel {

namespace {

constexpr int strokes = 12;
constexpr corvane::CorvaneClock::Duration stepInterval{80};

} // namespace

ActivityIndicator::ActivityIndicator(double diameter, QWidget *parent)
    : QWidget(parent), diameter_(diameter) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ActivityIndicator::sizeHint() const {
    const int side = static_cast<int>(std::ceil(diameter_));
    return {side, side};
}

void ActivityIndicator::paint(QPainter &painter, const QRectF &rect, int step,
                              const QColor &colour) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = std::min(rect.width(), rect.height()) / 2;
    painter.translate(rect.center());
    QPen pen(colour, std::max(1.2, radius * 0.22), Qt::SolidLine, Qt::RoundCap);
    for (int i = 0; i < strokes; ++i) {
        // The stroke at `step` is brightest; those behind it fade out.
        const int behind = (step - i + strokes) % strokes;
        QColor shade = colour;
        shade.setAlphaF(colour.alphaF() * (1.0 - 0.75 * behind / (strokes - 1)));
        pen.setColor(shade);
        painter.setPen(pen);
        const double angle = 2 * M_PI * i / strokes - M_PI / 2;
        const QPointF direction(std::cos(angle), std::sin(angle));
        painter.drawLine(direction * radius * 0.5, direction * radius * 0.88);
    }
    painter.restore();
}

void ActivityIndicator::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const double side = std::min<double>(diameter_, std::min(width(), height()));
    paint(painter, QRectF((width() - side) / 2, (height() - side) / 2, side, side), step_,
          corvane::foregroundOf(this));
}

void ActivityIndicator::showEvent(QShowEvent *) {
    visible_ = true;
    ++showing_;
    scheduleStep();
}

void ActivityIndicator::hideEvent(QHideEvent *) {
    visible_ = false;
}

void ActivityIndicator::scheduleStep() {
    corvane::CorvaneClock::shared().schedule(stepInterval, this, [this, showing = showing_] {
        if (!visible_ || showing != showing_) {
            return;
        }
        step_ = (step_ + 1) % strokes;
        update();
        scheduleStep();
    });
}

} // namespace tandrel
