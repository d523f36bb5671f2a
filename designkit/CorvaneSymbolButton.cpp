#include "designkit/CorvaneSymbolButton.h"

#include "designkit/CorvaneSymbols.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <cmath>

namespace corvane {

CorvaneSymbolButton::CorvaneSymbolButton(const QString &symbol, double pointSize, int weight,
                                         QWidget *parent)
    : QAbstractButton(parent), pointSize_(pointSize), weight_(weight) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    setSymbol(symbol);
}

void CorvaneSymbolButton::setSymbol(const QString &name) {
    symbol_ = CorvaneSymbols::contains(name) ? name : QString();
    update();
}

QSize CorvaneSymbolButton::sizeHint() const {
    const int side = static_cast<int>(std::ceil(CorvaneSymbols::side(pointSize_)));
    return {side, side};
}

void CorvaneSymbolButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (isDown()) {
        painter.setOpacity(0.5);
    }
    const double side =
        std::min({CorvaneSymbols::side(pointSize_), double(width()), double(height())});
    CorvaneSymbols::paint(painter, QRectF((width() - side) / 2, (height() - side) / 2, side, side),
                          symbol_, weight_, foregroundOf(this));
}

} // namespace corvane
