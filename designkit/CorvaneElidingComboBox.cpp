#include "designkit/CorvaneElidingComboBox.h"

#include "designkit/TextElision.h"

#include <QAbstractItemView>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>

namespace corvane {

CorvaneElidingComboBox::CorvaneElidingComboBox(QWidget *parent) : QComboBox(parent) {
    view()->setTextElideMode(Qt::ElideRight);
}

QRect CorvaneElidingComboBox::textRect() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                   this);
}

QString CorvaneElidingComboBox::shownText() const {
    return TextElision::elidedRight(QFontMetricsF(font()), currentText(), textRect().width());
}

int CorvaneElidingComboBox::popupWidth() const {
    // The choices' texts and the room a row gives around its text.
    const QFontMetrics metrics(view()->font());
    int longest = 0;
    for (int row = 0; row < count(); ++row) {
        longest = std::max(longest, metrics.horizontalAdvance(itemText(row)));
    }
    const int room = 2 * view()->frameWidth() + 2 * metrics.averageCharWidth() + 16;
    return std::max(width(), std::min(longest + room, maximumPopupWidth));
}

void CorvaneElidingComboBox::showPopup() {
    // The menu lists the choices whole where it can, however narrow the button.
    // The menu's window, which Qt sizes as it opens, takes exactly that width.
    const int wide = popupWidth();
    QWidget *container = view()->window();
    container->setMinimumWidth(wide);
    container->setMaximumWidth(wide);
    QComboBox::showPopup();
}

void CorvaneElidingComboBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace corvane
