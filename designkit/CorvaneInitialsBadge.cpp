#include "designkit/CorvaneInitialsBadge.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"
#include "designkit/InitialsBadgeRules.h"
#include "designkit/Painting.h"

#include <QPainter>

#include <cmath>

namespace corvane {

CorvaneInitialsBadge::CorvaneInitialsBadge(const QString &name, double size,
                                           std::optional<QColor> tint, bool isHighlighted,
                                           QWidget *parent)
    : QWidget(parent), name_(name), size_(size), tint_(std::move(tint)),
      isHighlighted_(isHighlighted) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(InitialsBadgeRules::accessibilityLabel(name_));
}

QString CorvaneInitialsBadge::initials() const {
    return InitialsBadgeRules::initials(name_);
}

QColor CorvaneInitialsBadge::resolvedTint() const {
    return InitialsBadgeRules::resolvedTint(name_, tint_);
}

double CorvaneInitialsBadge::ringWidth() const {
    return isHighlighted_ ? 1.5 : 0;
}

QSize CorvaneInitialsBadge::sizeHint() const {
    const int side = static_cast<int>(std::ceil(size_));
    return {side, side};
}

void CorvaneInitialsBadge::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRectF circle((width() - size_) / 2, (height() - size_) / 2, size_, size_);
    const QColor tint = resolvedTint();
    fillRounded(painter, circle, size_ / 2, withOpacity(tint, 0.22));
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(corvaneFont(InitialsBadgeRules::fontSize(size_), CorvaneFontWeight::demiBold));
    painter.setPen(tint);
    painter.drawText(circle, Qt::AlignCenter, initials());
    // The ring is always the accent stroke: a tint recolours the badge, never its highlight.
    strokeRoundedInside(painter, circle, size_ / 2, Color::corvaneAccentStroke(), ringWidth());
}

} // namespace corvane
