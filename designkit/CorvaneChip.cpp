#include "designkit/CorvaneChip.h"

#include "designkit/CorvaneSymbolView.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace corvane {

CorvaneChip::CorvaneChip(Config config, QWidget *parent)
    : QAbstractButton(parent), row_(new QWidget), label_(new QLabel(config.label)),
      trailing_(config.trailing) {
    auto *rowLayout = new QHBoxLayout(row_);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(CorvaneChipAppearance::spacing);
    if (config.icon) {
        icon_ = new CorvaneSymbolView(*config.icon, CorvaneChipAppearance::iconPointSize,
                                      QFont::Medium);
        rowLayout->addWidget(icon_, 0, Qt::AlignVCenter);
    }
    label_->setTextFormat(Qt::PlainText);
    rowLayout->addWidget(label_, 0, Qt::AlignVCenter);
    if (trailing_ != nullptr) {
        rowLayout->addWidget(trailing_, 0, Qt::AlignVCenter);
    }

    chrome_ = new CorvaneChipChrome(row_, config.isSelected, config.tint, config.style, config.size,
                                    this);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chrome_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setText(config.label);
    setEnabled(!config.isDisabled);
    if (config.action) {
        connect(this, &QAbstractButton::clicked, this,
                [action = std::move(config.action)] { action(); });
    }
    refresh();
}

QString CorvaneChip::label() const {
    return label_->text();
}

void CorvaneChip::setLabel(const QString &label) {
    label_->setText(label);
    setText(label);
}

void CorvaneChip::setSelected(bool isSelected) {
    chrome_->setSelected(isSelected);
    refresh();
}

void CorvaneChip::setTint(const QColor &tint) {
    chrome_->setTint(tint);
    refresh();
}

void CorvaneChip::setChipStyle(const CorvaneChipStyle &style) {
    chrome_->setChipStyle(style);
    refresh();
}

void CorvaneChip::setChipSize(CorvaneChipSize size) {
    chrome_->setChipSize(size);
}

void CorvaneChip::paintEvent(QPaintEvent *) {
    // The chrome and the row paint everything.
}

void CorvaneChip::changeEvent(QEvent *event) {
    if (event->type() == QEvent::EnabledChange) {
        refresh();
    }
    QAbstractButton::changeEvent(event);
}

void CorvaneChip::refresh() {
    const bool isSelected = chrome_->isSelected();
    label_->setFont(corvaneFont(CorvaneChipAppearance::labelSize,
                                CorvaneChipAppearance::labelWeight(isSelected),
                                FontTextStyle::footnote));
    corvaneForeground(row_, CorvaneChipAppearance::foreground(chrome_->chipStyle(), isSelected,
                                                              !isEnabled(), chrome_->tint()));
}

} // namespace corvane
