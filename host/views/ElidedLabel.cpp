#include "host/views/ElidedLabel.h"

#include "designkit/Palette.h"

#include <QPainter>

namespace tandrel {

ElidedLabel::ElidedLabel(const QString &text, Qt::TextElideMode mode, QWidget *parent)
    : QWidget(parent), text_(text), mode_(mode) {
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

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text_, mode_, width());
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(text_), metrics.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("…")), fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setPen(corvane::foregroundOf(this));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

} // namespace tandrel
