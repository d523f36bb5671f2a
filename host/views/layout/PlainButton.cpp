#include "host/views/layout/PlainButton.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbols.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"

#include <QPainter>

#include <cmath>

namespace tandrel {

namespace {

constexpr int symbolSpacing = 4;
constexpr double cornerRadius = 5;

} // namespace

PlainButton::PlainButton(const QString &symbol, const QString &text, const QFont &font,
                         QWidget *parent)
    : QAbstractButton(parent),
      symbol_(!symbol.isEmpty() && corvane::CorvaneSymbols::contains(symbol) ? symbol : QString()) {
    setText(text);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PlainButton::setBare(bool bare) {
    bare_ = bare;
    updateGeometry();
    update();
}

double PlainButton::symbolSide() const {
    if (symbol_.isEmpty()) {
        return 0;
    }
    const double side = corvane::CorvaneSymbols::side(corvane::kitPoints(font()));
    return bare_ && !text().isEmpty() ? std::min<double>(side, fontMetrics().height()) : side;
}

QSize PlainButton::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const int side = static_cast<int>(std::ceil(symbolSide()));
    const int textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    const int gap = side > 0 && textWidth > 0 ? symbolSpacing : 0;
    const int padX = bare_ ? 0 : horizontalPadding;
    const int padY = bare_ ? 0 : verticalPadding;
    return {side + gap + textWidth + 2 * padX, std::max(side, metrics.height()) + 2 * padY};
}

void PlainButton::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (hovering_ && isEnabled() && !bare_) {
        corvane::fillRounded(painter, rect(), cornerRadius,
                             corvane::withOpacity(corvane::Color::white(), 0.08));
    }
    if (!isEnabled()) {
        painter.setOpacity(0.35);
    } else if (isDown()) {
        painter.setOpacity(0.5);
    }
    const QColor colour = corvane::foregroundOf(this);
    double x = bare_ ? 0 : horizontalPadding;
    if (const double side = symbolSide(); side > 0) {
        corvane::CorvaneSymbols::paint(painter, QRectF(x, (height() - side) / 2, side, side),
                                       symbol_, font().weight(), colour);
        x += side + symbolSpacing;
    }
    if (!text().isEmpty()) {
        painter.setPen(colour);
        painter.setFont(font());
        painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter,
                         text());
    }
}

void PlainButton::enterEvent(QEnterEvent *) {
    hovering_ = true;
    update();
}

void PlainButton::leaveEvent(QEvent *) {
    hovering_ = false;
    update();
}

PlainButton *plainButton(const QString &symbol, const QString &text, const QFont &font,
                         const QString &tooltip, const QString &accessibleName) {
    auto *button = new PlainButton(symbol, text, font);
    corvane::corvaneTooltip(button, tooltip, std::nullopt, corvane::Edge::bottom);
    // The tooltip names the button after its text; the label the user hears is its own.
    button->setAccessibleName(accessibleName);
    return button;
}

} // namespace tandrel
