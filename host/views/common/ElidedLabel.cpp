#include "host/views/common/ElidedLabel.h"

#include "designkit/Palette.h"
#include "designkit/TextElision.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

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

void ElidedLabel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QString ElidedLabel::shownText() const {
    if (mode_ == Qt::ElideRight) {
        return corvane::TextElision::elidedRight(QFontMetricsF(font()), text_, width());
    }
    return fontMetrics().elidedText(text_, mode_, width());
}

QSize ElidedLabel::sizeHint() const {
    return {fontMetrics().horizontalAdvance(text_) + 1, fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QString ellipsis(QChar(0x2026));
    const QString shortest = mode_ == Qt::ElideMiddle ? text_.left(2) + ellipsis + text_.right(2)
                                                      : ellipsis;
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
