#include "designkit/CorvaneSymbolView.h"

#include "designkit/CorvaneSymbols.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <cmath>

namespace corvane {

CorvaneSymbolView::CorvaneSymbolView(const QString &name, double pointSize, int weight,
                                     QWidget *parent)
    : QWidget(parent), pointSize_(pointSize), weight_(weight) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSymbol(name);
}

void CorvaneSymbolView::setSymbol(const QString &name) {
    symbol_ = CorvaneSymbols::contains(name) ? name : QString();
    update();
}

void CorvaneSymbolView::setPointSize(double pointSize) {
    pointSize_ = pointSize;
    updateGeometry();
    update();
}

void CorvaneSymbolView::setWeight(int weight) {
    weight_ = weight;
    update();
}

void CorvaneSymbolView::setPaletteColours(const QColor &primary, const QColor &secondary) {
    paletteColours_ = std::make_pair(primary, secondary);
    update();
}

QSize CorvaneSymbolView::sizeHint() const {
    const int side = static_cast<int>(std::ceil(CorvaneSymbols::side(pointSize_)));
    return {side, side};
}

void CorvaneSymbolView::paintEvent(QPaintEvent *) {
    if (symbol_.isEmpty()) {
        return;
    }
    QPainter painter(this);
    // The symbol keeps its square, centred, however the view is stretched.
    const double side =
        std::min({CorvaneSymbols::side(pointSize_), double(width()), double(height())});
    const QRectF square((width() - side) / 2, (height() - side) / 2, side, side);
    if (paletteColours_) {
        CorvaneSymbols::paint(painter, square, symbol_, weight_, paletteColours_->first,
                              paletteColours_->second);
    } else {
        CorvaneSymbols::paint(painter, square, symbol_, weight_, foregroundOf(this));
    }
}

} // namespace corvane
