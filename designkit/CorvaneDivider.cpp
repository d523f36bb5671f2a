#include "designkit/CorvaneDivider.h"

#include "designkit/Color.h"

#include <QPainter>

namespace corvane {

CorvaneDivider::CorvaneDivider(QWidget *parent) : CorvaneDivider(standardInset, parent) {}

CorvaneDivider::CorvaneDivider(int inset, QWidget *parent) : QWidget(parent), inset_(inset) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(1);
}

void CorvaneDivider::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(QRect(inset_, 0, std::max(0, width() - 2 * inset_), 1),
                     Color::corvaneDivider());
}

} // namespace corvane
