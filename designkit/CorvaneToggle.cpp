#include "designkit/CorvaneToggle.h"

#include "designkit/Color.h"

#include <QCheckBox>

namespace corvane {

namespace {

QString rgba(const QColor &colour) {
    return colour.name(QColor::HexArgb);
}

} // namespace

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
            .arg(rgba(withOpacity(Color::white(), 0.35)), rgba(withOpacity(Color::white(), 0.06)),
                 rgba(withOpacity(Color::white(), 0.55)), rgba(Color::corvaneAccent())));
}

} // namespace corvane
