#include "designkit/CorvaneScrollIndicators.h"

#include "designkit/Color.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace corvane {

namespace {

constexpr const char *lookProperty = "corvaneScrollIndicators";

} // namespace

void corvaneScrollIndicators(QAbstractScrollArea *area) {
    area->setProperty(lookProperty, true);
    const QString idle = styleSheetColor(withOpacity(Color::white(), 0.18));
    const QString hovered = styleSheetColor(withOpacity(Color::white(), 0.35));
    area->verticalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 2px 2px 0; }"
            "QScrollBar::handle:vertical { background: %1; border-radius: 3px;"
            " min-height: 24px; }"
            "QScrollBar::handle:vertical:hover { background: %2; }"
            "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
            "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
            .arg(idle, hovered));
    area->horizontalScrollBar()->setStyleSheet(
        QStringLiteral(
            "QScrollBar:horizontal { background: transparent; height: 8px; margin: 0 2px 2px 2px; }"
            "QScrollBar::handle:horizontal { background: %1; border-radius: 3px;"
            " min-width: 24px; }"
            "QScrollBar::handle:horizontal:hover { background: %2; }"
            "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal { width: 0; }"
            "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal { background: none; "
            "}")
            .arg(idle, hovered));
}

bool hasCorvaneScrollIndicators(const QAbstractScrollArea *area) {
    return area->property(lookProperty).toBool();
}

} // namespace corvane
