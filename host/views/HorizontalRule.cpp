#include "host/views/HorizontalRule.h"

#include "designkit/Color.h"

#include <QPainter>

namespace tandrel {

HorizontalRule::HorizontalRule(int inset, QWidget *parent) : QWidget(parent), inset_(inset) {
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HorizontalRule::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect().adjusted(inset_, 0, -inset_, 0), corvane::Color::corvaneDivider());
}

} // namespace tandrel
