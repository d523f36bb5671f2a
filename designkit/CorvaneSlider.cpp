#include "designkit/CorvaneSlider.h"

#include "designkit/Color.h"
#include "designkit/Palette.h"

#include <QSlider>

namespace corvane {

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
            .arg(styleSheetColor(withOpacity(Color::white(), 0.14)),
                 styleSheetColor(Color::corvaneAccent()),
                 styleSheetColor(Color::sRGB(0.86, 0.86, 0.86)),
                 styleSheetColor(withOpacity(Color::black(), 0.3)),
                 styleSheetColor(Color::corvaneTextTertiary())));
}

} // namespace corvane
