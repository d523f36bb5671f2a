#include "host/views/preview/GridStepper.h"

#include "designkit/CorvaneSymbolButton.h"

#include <QHBoxLayout>
#include <QLabel>

#include <algorithm>

namespace tandrel {

GridStepper::GridStepper(int value, QWidget *parent)
    : QWidget(parent), value_(std::clamp(value, minimum, maximum)), label_(new QLabel(this)) {
    const auto stepButton = [this](const char *symbol, const char *name, int step) {
        auto *button = new corvane::CorvaneSymbolButton(QString::fromLatin1(symbol), 10,
                                                        QFont::DemiBold, this);
        button->setAccessibleName(QString::fromLatin1(name));
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QAbstractButton::clicked, this, [this, step] { setValue(value_ + step); });
        return button;
    };
    decrement_ = stepButton("minus", "Decrement", -1);
    increment_ = stepButton("plus", "Increment", +1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(label_);
    layout->addWidget(decrement_);
    layout->addWidget(increment_);
    setValue(value_);
}

void GridStepper::setValue(int value) {
    const int kept = std::clamp(value, minimum, maximum);
    const bool changed = kept != value_;
    value_ = kept;
    label_->setText(text());
    decrement_->setEnabled(value_ > minimum);
    increment_->setEnabled(value_ < maximum);
    if (changed) {
        emit valueChanged(value_);
    }
}

QString GridStepper::text() const {
    return QStringLiteral("%1×%1").arg(value_);
}

} // namespace tandrel
