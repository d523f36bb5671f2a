#include "host/views/layout/ColorWell.h"

#include "designkit/Color.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>

namespace tandrel {

using corvane::Color;
using corvane::withOpacity;

ColorWell::Pick ColorWell::systemPicker() {
    return [](QWidget *parent, const QColor &initial) -> std::optional<QColor> {
        const QColor picked =
            QColorDialog::getColor(initial, parent, QString(), QColorDialog::ShowAlphaChannel);
        if (!picked.isValid()) {
            return std::nullopt;
        }
        return picked;
    };
}

ColorWell::ColorWell(const QColor &colour, Pick pick, QWidget *parent)
    : QAbstractButton(parent), colour_(colour), pick_(std::move(pick)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (!pick_) {
            return;
        }
        if (const std::optional<QColor> picked = pick_(this, colour_);
            picked && picked->isValid()) {
            setColour(*picked);
            emit colourPicked(*picked);
        }
    });
}

void ColorWell::setColour(const QColor &colour) {
    colour_ = colour;
    update();
}

void ColorWell::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(frame, 5, 5);
    painter.save();
    painter.setClipPath(shape);
    // A checkerboard that a translucent colour lets through.
    constexpr int square = 5;
    painter.fillRect(frame, Color::sRGB(0.85, 0.85, 0.85));
    for (int y = 0; y < height(); y += square) {
        for (int x = (y / square) % 2 == 0 ? 0 : square; x < width(); x += 2 * square) {
            painter.fillRect(QRect(x, y, square, square), Color::sRGB(0.6, 0.6, 0.6));
        }
    }
    painter.fillRect(frame, colour_);
    painter.restore();
    painter.setPen(QPen(withOpacity(Color::white(), isDown() ? 0.5 : 0.25), 1));
    painter.drawPath(shape);
}

} // namespace tandrel
