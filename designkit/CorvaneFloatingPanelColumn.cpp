#include "designkit/CorvaneFloatingPanelColumn.h"

#include "designkit/CorvaneAnimation.h"

#include <QVBoxLayout>

#include <cmath>

namespace corvane {

CorvaneFloatingPanelColumn::CorvaneFloatingPanelColumn(double width, HorizontalEdge edge,
                                                       QWidget *parent)
    : QWidget(parent), width_(width), edge_(edge), panels_(new QWidget(this)),
      stack_(new QVBoxLayout(panels_)), slide_(new CorvaneAnimation(this)) {
    const bool leading = edge_ == HorizontalEdge::leading;
    stack_->setContentsMargins(leading ? padding : 0, padding, leading ? 0 : padding, padding);
    stack_->setSpacing(spacing);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    setRevealed(1);
}

void CorvaneFloatingPanelColumn::addPanel(QWidget *panel, int stretch) {
    stack_->addWidget(panel, stretch);
    updateGeometry();
}

int CorvaneFloatingPanelColumn::fullWidth() const {
    return static_cast<int>(std::round(width_)) + padding;
}

QSize CorvaneFloatingPanelColumn::sizeHint() const {
    return {static_cast<int>(std::round(fullWidth() * revealed_)), panels_->sizeHint().height()};
}

QSize CorvaneFloatingPanelColumn::minimumSizeHint() const {
    return {sizeHint().width(), panels_->minimumSizeHint().height()};
}

QRect CorvaneFloatingPanelColumn::panelsGeometry() const {
    // The panels keep their full width; the column shows the part of them nearest its inner
    // side, so they move out through the edge they sit against.
    const int shown = width();
    const int x = edge_ == HorizontalEdge::leading ? shown - fullWidth() : 0;
    return QRect(x, 0, fullWidth(), height());
}

void CorvaneFloatingPanelColumn::resizeEvent(QResizeEvent *) {
    panels_->setGeometry(panelsGeometry());
}

void CorvaneFloatingPanelColumn::setRevealed(double revealed) {
    revealed_ = revealed;
    setFixedWidth(sizeHint().width());
    panels_->setGeometry(panelsGeometry());
}

void CorvaneFloatingPanelColumn::setVisible(bool visible) {
    slide_->stop();
    setRevealed(1);
    QWidget::setVisible(visible);
}

void CorvaneFloatingPanelColumn::setVisibleAnimated(bool visible, CorvaneClock::Duration duration) {
    double from = revealed_;
    if (visible && isHidden()) {
        from = 0;
        setRevealed(0);
        QWidget::setVisible(true);
    } else if (!visible && isHidden()) {
        return;
    }
    const double to = visible ? 1 : 0;
    slide_->start(
        duration, CorvaneAnimation::easeInOut(),
        [this, from, to](double progress) { setRevealed(from + (to - from) * progress); },
        [this, visible] {
            if (!visible) {
                QWidget::setVisible(false);
                setRevealed(1);
            }
        });
}

} // namespace corvane
