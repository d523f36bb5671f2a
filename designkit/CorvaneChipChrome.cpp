#include "designkit/CorvaneChipChrome.h"

#include "designkit/Painting.h"

#include <QPainter>

namespace corvane {

CorvaneChipChrome::CorvaneChipChrome(QWidget *content, bool isSelected, const QColor &tint,
                                     CorvaneChipStyle style, CorvaneChipSize size, QWidget *parent)
    : ContentWrapper(content, parent), isSelected_(isSelected), tint_(tint), style_(style),
      size_(size) {
    setPadding(size_.horizontalPadding(), size_.verticalPadding());
}

void CorvaneChipChrome::setSelected(bool isSelected) {
    isSelected_ = isSelected;
    update();
}

void CorvaneChipChrome::setTint(const QColor &tint) {
    tint_ = tint;
    update();
}

void CorvaneChipChrome::setChipStyle(const CorvaneChipStyle &style) {
    style_ = style;
    update();
}

void CorvaneChipChrome::setChipSize(CorvaneChipSize size) {
    size_ = size;
    setPadding(size_.horizontalPadding(), size_.verticalPadding());
}

ChipColors CorvaneChipChrome::colors() const {
    return CorvaneChipAppearance::chrome(style_, isSelected_, tint_);
}

void CorvaneChipChrome::paintEvent(QPaintEvent *) {
    const ChipColors colours = colors();
    QPainter painter(this);
    fillRounded(painter, rect(), CorvaneChipAppearance::cornerRadius, colours.fill);
    strokeRoundedInside(painter, rect(), CorvaneChipAppearance::cornerRadius, colours.stroke);
}

CorvaneChipChrome *corvaneChipChrome(QWidget *content, bool isSelected, const QColor &tint,
                                     CorvaneChipStyle style, CorvaneChipSize size) {
    return new CorvaneChipChrome(content, isSelected, tint, style, size);
}

} // namespace corvane
