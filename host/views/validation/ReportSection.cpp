#include "host/views/validation/ReportSection.h"

#include "designkit/Color.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/views/common/PlatformStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tandrel {

using corvane::Color;
using corvane::FontTextStyle;

ReportSection::ReportSection(const QString &title, size_t count, const QColor &tint,
                             const QString &systemImage, QWidget *parent)
    : QWidget(parent), tint_(tint), rows_(new QVBoxLayout) {
    const QFont titleFont =
        textStyleFont(FontTextStyle::caption, corvane::CorvaneFontWeight::demiBold);
    auto *symbol = new corvane::CorvaneSymbolView(systemImage, corvane::kitPoints(titleFont));
    corvane::corvaneForeground(symbol, tint);
    auto *header = new QHBoxLayout;
    header->setSpacing(6);
    header->addWidget(symbol, 0, Qt::AlignVCenter);
    header->addWidget(styledLabel(title, titleFont, Color::primary()), 0, Qt::AlignVCenter);
    header->addWidget(styledLabel(QString::number(count), textStyleFont(FontTextStyle::caption2),
                                  Color::corvaneTextSecondary()),
                      0, Qt::AlignVCenter);
    header->addStretch(1);

    rows_->setSpacing(3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addLayout(rows_);
}

void ReportSection::addRow(QWidget *row) {
    rows_->addWidget(row);
}

void ReportSection::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    corvane::fillRounded(painter, rect(), 8, corvane::withOpacity(tint_, 0.06));
}

} // namespace tandrel
