#include "designkit/CorvanePillBadge.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QPainter>

namespace corvane {

CorvanePillBadge::CorvanePillBadge(const QString &text, const QColor &tint,
                                   CorvanePillBadgeStyle style, QWidget *parent)
    : QLabel(displayText(text), parent), tint_(tint), style_(style) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setContentsMargins(6, 2, 6, 2);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QFont font = systemFont(12, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
    setFont(font);
    corvaneForeground(this, colors().foreground);
}

QString CorvanePillBadge::displayText(const QString &text) {
    return text.toUpper();
}

CorvanePillBadge::Colors CorvanePillBadge::colors(CorvanePillBadgeStyle style, const QColor &tint) {
    if (style == CorvanePillBadgeStyle::solid) {
        return {tint, Color::white()};
    }
    return {withOpacity(tint, 0.18), tint};
}

void CorvanePillBadge::paintEvent(QPaintEvent *event) {
    {
        QPainter painter(this);
        fillRounded(painter, rect(), height() / 2.0, colors().fill);
    }
    QLabel::paintEvent(event);
}

} // namespace corvane
