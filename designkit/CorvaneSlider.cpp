#include "designkit/CorvaneSlider.h"

#include "designkit/Color.h"
#include "designkit/Palette.h"

#include <QSlider>

namespace corvane {

namespace {

QString rgba(const QColor &colour) {
    return colour.name(QColor::HexArgb);
}

} // namespace

void corvaneSlider(QSlider *slider) {
    slider->setOrientation(Qt::Horizontal);
    slider->setCursor(Qt::PointingHandCursor);
    slider->setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { height: 4px; border-radius: 2px;"
                       " background: %1; }"
                       "QSlider::sub-page:horizontal { height: 4px; border-radius: 2px;"
                       " background: %2; }"
                       "QSlider::handle:horizontal { width: 14px; height: 14px;"
                       " margin: -5px 0; border-radius: 7px; background: %3;"
                       " border: 1px solid %4; }"
                       "QSlider::handle:horizontal:disabled { background: %5; }")
            .arg(rgba(withOpacity(Color::white(), 0.14)), rgba(Color::corvaneAccent()),
                 rgba(Color::sRGB(0.86, 0.86, 0.86)), rgba(withOpacity(Color::black(), 0.3)),
                 rgba(Color::corvaneTextTertiary())));
}

} // namespace corvane
