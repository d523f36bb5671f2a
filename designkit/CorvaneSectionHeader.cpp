#include "designkit/CorvaneSectionHeader.h"

#include "designkit/Color.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"

namespace corvane {

CorvaneSectionHeader::CorvaneSectionHeader(const QString &title, QWidget *parent)
    : QLabel(title, parent) {
    setTextFormat(Qt::PlainText);
    corvaneSectionHeader(this);
}

void corvaneSectionHeader(QWidget *view) {
    view->setFont(systemFont(13, QFont::Medium));
    corvaneForeground(view, Color::corvaneTextSecondary());
}

} // namespace corvane
