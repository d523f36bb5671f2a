#include "designkit/CorvaneToggle.h"

#include "designkit/Color.h"

#include <QCheckBox>

namespace corvane {

void corvaneToggle(QCheckBox *box) {
    box->setCursor(Qt::PointingHandCursor);
    box->setStyleSheet(
        QStringLiteral("QCheckBox { spacing: 6px; }"
                       "QCheckBox::indicator { width: 12px; height: 12px; border-radius: 3px;"
                       " border: 1px solid %1; background: %2; }"
                       "QCheckBox::indicator:hover { border-color: %3; }"
                       "QCheckBox::indicator:checked { background: %4; border-color: %4;"
                       " image: url(:/corvane/controls/ToggleCheck.svg); }"
                       "QCheckBox::indicator:disabled { border-color: %2; }")
            .arg(styleSheetColor(withOpacity(Color::white(), 0.35)),
                 styleSheetColor(withOpacity(Color::white(), 0.06)),
                 styleSheetColor(withOpacity(Color::white(), 0.55)),
                 styleSheetColor(Color::corvaneAccent())));
}

} // namespace corvane
