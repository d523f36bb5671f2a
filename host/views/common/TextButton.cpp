#include "host/views/common/TextButton.h"

#include "designkit/Color.h"
#include "designkit/CorvaneTextStyle.h"
#include "designkit/Palette.h"

#include <QPainter>

namespace tandrel {

TextButton::TextButton(const QString &text, QWidget *parent) : QAbstractButton(parent) {
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TextButton::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text()) + 2, metrics.height()};
}

void TextButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (isDown() || !isEnabled()) {
        painter.setOpacity(0.5);
    }
    QFont font = this->font();
    font.setUnderline(hovering_ && isEnabled());
    painter.setFont(font);
    painter.setPen(corvane::foregroundOf(this));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
}

void TextButton::enterEvent(QEnterEvent *) {
    hovering_ = true;
    update();
}

void TextButton::leaveEvent(QEvent *) {
    hovering_ = false;
    update();
}

TextButton *linkButton(const QString &text, QWidget *parent) {
    auto *button = new TextButton(text, parent);
    corvane::corvaneMicro(button);
    corvane::corvaneForeground(button, corvane::Color::corvaneAccent());
    return button;
}

} // namespace tandrel
