#include "host/views/layout/ColorWell.h"

#include "designkit/Color.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

namespace tandrel {

using corvane::Color;
using corvane::withOpacity;

ColorWell::Pick ColorWell::systemPicker() {
    return [](QWidget *parent, const QColor &initial, Picked picked) {
        // Not getColor(): its loop of its own would run while the well's owner is torn down.
        auto *dialog = new QColorDialog(initial, parent);
        dialog->setOption(QColorDialog::ShowAlphaChannel);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QColorDialog::colorSelected, dialog,
                         [picked = std::move(picked)](const QColor &colour) {
                             if (colour.isValid()) {
                                 picked(colour);
                             }
                         });
        dialog->open();
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
        pick_(this, colour_, [well = QPointer<ColorWell>(this)](const QColor &picked) {
            if (well == nullptr || !picked.isValid()) {
                return;
            }
            well->setColour(picked);
            emit well->colourPicked(picked);
        });
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
