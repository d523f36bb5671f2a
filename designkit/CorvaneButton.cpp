#include "designkit/CorvaneButton.h"

#include "designkit/CorvaneSymbols.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <cmath>

namespace corvane {

namespace {

constexpr int symbolSpacing = 6;

// The look's fill and its border inside the edge.
void paintChrome(QPainter &painter, const QRectF &bounds, const ButtonLook &look, double radius) {
    fillRounded(painter, bounds, radius, look.fill);
    strokeRoundedInside(painter, bounds, radius, look.border);
}

} // namespace

CorvaneButton::CorvaneButton(const QString &text, CorvaneButtonStyle style, QWidget *parent)
    : QAbstractButton(parent), style_(style) {
    setText(text);
    setFont(CorvaneButtonStyle::font());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CorvaneButton::setButtonStyle(CorvaneButtonStyle style) {
    style_ = style;
    update();
}

void CorvaneButton::setSymbol(const QString &name) {
    symbol_ = CorvaneSymbols::contains(name) ? name : QString();
    updateGeometry();
    update();
}

QSize CorvaneButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(text());
    int height = metrics.height();
    if (!symbol_.isEmpty()) {
        const int side = static_cast<int>(std::ceil(CorvaneSymbols::side(kitPoints(font()))));
        width += side + (text().isEmpty() ? 0 : symbolSpacing);
        height = std::max(height, side);
    }
    return {width + 2 * CorvaneButtonStyle::horizontalPadding,
            height + 2 * CorvaneButtonStyle::verticalPadding};
}

void CorvaneButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const ButtonLook look = style_.look(isDown());
    painter.setOpacity(look.opacity);
    paintChrome(painter, rect(), look, CorvaneButtonStyle::cornerRadius);

    const QColor foreground = foregroundOf(this);
    const QFontMetrics metrics(font());
    const int textWidth = metrics.horizontalAdvance(text());
    double side = 0;
    int contentWidth = textWidth;
    if (!symbol_.isEmpty()) {
        side = std::ceil(CorvaneSymbols::side(kitPoints(font())));
        contentWidth += static_cast<int>(side) + (text().isEmpty() ? 0 : symbolSpacing);
    }
    double x = (width() - contentWidth) / 2.0;
    if (!symbol_.isEmpty()) {
        CorvaneSymbols::paint(painter, QRectF(x, (height() - side) / 2, side, side), symbol_,
                              font().weight(), foreground);
        x += side + symbolSpacing;
    }
    painter.setPen(foreground);
    painter.setFont(font());
    painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     text());
}

CorvaneIconButton::CorvaneIconButton(const QString &symbol, CorvaneIconButtonStyle style,
                                     QWidget *parent)
    : QAbstractButton(parent), style_(style) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSymbol(symbol);
}

void CorvaneIconButton::setSymbol(const QString &name) {
    symbol_ = CorvaneSymbols::contains(name) ? name : QString();
    update();
}

void CorvaneIconButton::setSymbolFont(double pointSize, int weight) {
    symbolPointSize_ = pointSize;
    symbolWeight_ = weight;
    update();
}

QSize CorvaneIconButton::sizeHint() const {
    const int side = static_cast<int>(std::ceil(style_.size));
    return {side, side};
}

void CorvaneIconButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const ButtonLook look = style_.look(isDown());
    painter.setOpacity(look.opacity);
    const double size = std::min({style_.size, double(width()), double(height())});
    const QRectF square((width() - size) / 2, (height() - size) / 2, size, size);
    paintChrome(painter, square, look, size / 2);
    const double side = CorvaneSymbols::side(symbolPointSize_);
    CorvaneSymbols::paint(
        painter, QRectF(square.center().x() - side / 2, square.center().y() - side / 2, side, side),
        symbol_, symbolWeight_, foregroundOf(this));
}

} // namespace corvane
