#include "designkit/CorvaneDivider.h"

#include "designkit/Color.h"

#include <QPainter>

namespace corvane {

CorvaneDivider::CorvaneDivider(QWidget *parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(1);
}

void CorvaneDivider::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(QRect(inset, 0, std::max(0, width() - 2 * inset), 1), Color::corvaneDivider());
}

} // namespace corvane
