#include "host/views/layout/ElidingComboBox.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace tandrel {

ElidingComboBox::ElidingComboBox(QWidget *parent) : QComboBox(parent) {}

QRect ElidingComboBox::textRect() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                   this);
}

QString ElidingComboBox::shownText() const {
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect().width());
}

void ElidingComboBox::showPopup() {
    // The menu lists every choice whole, however narrow the button.
    const int frame = 2 * view()->frameWidth() + 8;
    view()->setMinimumWidth(std::max(width(), view()->sizeHintForColumn(0) + frame));
    QComboBox::showPopup();
}

void ElidingComboBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace tandrel
