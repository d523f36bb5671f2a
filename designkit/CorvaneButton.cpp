#include "designkit/CorvaneButton.h"

#include "designkit/CorvaneSymbols.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace corvane {

namespace {

constexpr int symbolSpacing = 6;

// The text in lines of at most `width`, centred, from the top; its lines' widest and height.
QSizeF laidOut(QTextLayout &layout, double width) {
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    double height = 0;
    double widest = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
        widest = std::max(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return {widest, height};
}

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

void CorvaneButton::setWrapWidth(int width) {
    wrapWidth_ = std::max(0, width);
    updateGeometry();
    update();
}

QSize CorvaneButton::sizeHint() const {
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(text());
    int height = metrics.height();
    if (wrapWidth_ > 0 && width > wrapWidth_) {
        QTextLayout layout(text(), font());
        const QSizeF lines = laidOut(layout, wrapWidth_);
        width = static_cast<int>(std::ceil(lines.width()));
        height = static_cast<int>(std::ceil(lines.height()));
    }
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
    double side = 0;
    double symbolRoom = 0;
    if (!symbol_.isEmpty()) {
        side = std::ceil(CorvaneSymbols::side(kitPoints(font())));
        symbolRoom = side + (text().isEmpty() ? 0 : symbolSpacing);
    }
    // Wrapped, the text is a block of lines as wide as the widest of them.
    std::optional<QTextLayout> lines;
    double textWidth = metrics.horizontalAdvance(text());
    double textHeight = 0;
    if (wrapWidth_ > 0 && textWidth > wrapWidth_) {
        const double room =
            std::max(1.0, width() - 2.0 * CorvaneButtonStyle::horizontalPadding - symbolRoom);
        QTextLayout measure(text(), font());
        textWidth = std::ceil(laidOut(measure, room).width());
        lines.emplace(text(), font());
        textHeight = laidOut(*lines, textWidth).height();
    }
    double x = (width() - (symbolRoom + textWidth)) / 2.0;
    if (!symbol_.isEmpty()) {
        CorvaneSymbols::paint(painter, QRectF(x, (height() - side) / 2, side, side), symbol_,
                              font().weight(), foreground);
        x += symbolRoom;
    }
    painter.setPen(foreground);
    painter.setFont(font());
    if (lines) {
        lines->draw(&painter, QPointF(x, (height() - textHeight) / 2));
        return;
    }
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
