#include "designkit/CorvaneCountBadge.h"

#include "designkit/Fonts.h"
#include "designkit/Palette.h"

#include <QCoreApplication>

namespace corvane {

CorvaneCountBadge::CorvaneCountBadge(qint64 count, const QColor &tint, QWidget *parent)
    : QLabel(displayText(count), parent) {
    setTextFormat(Qt::PlainText);
    setFont(systemFont(12, QFont::DemiBold));
    corvaneForeground(this, tint);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QString CorvaneCountBadge::displayText(qint64 count) {
    return QCoreApplication::translate("CorvaneCountBadge", "%1").arg(count);
}

} // namespace corvane
