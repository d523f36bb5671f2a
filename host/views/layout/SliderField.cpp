#include "host/views/layout/SliderField.h"

#include "host/views/layout/EditorStyle.h"

#include <QLineEdit>
#include <QSlider>

namespace tandrel {

SliderField::SliderField(double value, SliderScale scale, Accept accept, int fieldWidth,
                         QWidget *parent)
    : QWidget(parent), value_(value), scale_(scale), accept_(std::move(accept)),
      slider_(new QSlider), field_(new QLineEdit) {
    EditorStyle::sliderAndField(this, slider_, scale_.positionCount(), field_, fieldWidth);

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
