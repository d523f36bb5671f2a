#include "host/views/ElidedLabel.h"

#include "designkit/Palette.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tandrel {

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QWidget(parent), text_(text) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ElidedLabel::setText(const QString &text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    updateGeometry();
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text_, Qt::ElideMiddle, width());
}

QSize ElidedLabel::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + 1, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QString shortest = text_.left(2) + QChar(0x2026) + text_.right(2);
    return {std::min(fontMetrics().horizontalAdvance(shortest), sizeHint().width()),
            fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(corvane::foregroundOf(this));
    painter.drawText(rect(), static_cast<int>(alignment_), shownText());
}

void ElidedLabel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    QWidget::changeEvent(event);
}

} // namespace tandrel
