#include "host/views/SliderField.h"

#include "host/views/EditorStyle.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>

namespace tandrel {

SliderField::SliderField(double value, SliderScale scale, Accept accept, int fieldWidth,
                         QWidget *parent)
    : QWidget(parent), value_(value), scale_(scale), accept_(std::move(accept)),
      slider_(new QSlider), field_(new QLineEdit) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    EditorStyle::slider(slider_);
    slider_->setRange(0, scale_.positionCount());
    slider_->setPageStep(std::max(1, scale_.positionCount() / 10));
    slider_->setMinimumWidth(48);
    row->addWidget(slider_, 1, Qt::AlignVCenter);
    EditorStyle::roundedField(field_, EditorStyle::caption(), Qt::AlignRight | Qt::AlignVCenter);
    field_->setFixedWidth(fieldWidth);
    row->addWidget(field_, 0, Qt::AlignVCenter);

    connect(slider_, &QSlider::valueChanged, this,
            [this](int position) { setValue(scale_.value(position), true); });
    connect(field_, &QLineEdit::textEdited, this, [this](const QString &text) {
        const std::optional<double> typed = SliderScale::parse(text, locale());
        const std::optional<double> taken = typed && accept_ ? accept_(*typed) : typed;
        if (taken) {
            setValue(*taken, false);
        }
    });
    connect(field_, &QLineEdit::editingFinished, this, &SliderField::showInField);

    setValue(value, true);
}

void SliderField::setValue(double value, bool showField) {
    const bool changed = value != value_;
    value_ = value;
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(scale_.position(value_));
    }
    if (showField) {
        showInField();
    }
    if (changed) {
        emit valueEdited(value_);
    }
}

void SliderField::showInField() {
    const QString text = scale_.format(value_, locale());
    if (field_->text() != text) {
        field_->setText(text);
    }
}

} // namespace tandrel
