#pragma once

#include "host/views/layout/SliderScale.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLineEdit;
class QSlider;

namespace tandrel {

// A slider and a number field bound to one value, both writing it as they move: the slider
// within its range, the field whatever `accept` takes of what is typed (a value beyond the
// range is kept, the slider then rests at its end). Text that is no number, or that `accept`
// refuses, leaves the value as it was, and the field shows that value again when the user
// leaves it.
class SliderField : public QWidget {
    Q_OBJECT

public:
    // What the field takes of a typed number: the value to keep, or nothing.
    using Accept = std::function<std::optional<double>(double typed)>;

    SliderField(double value, SliderScale scale, Accept accept, int fieldWidth,
                QWidget *parent = nullptr);

    double value() const { return value_; }
    QSlider *slider() const { return slider_; }
    QLineEdit *field() const { return field_; }

signals:
    void valueEdited(double value);

private:
    void setValue(double value, bool showInField);
    void showInField();

    double value_;
    SliderScale scale_;
    Accept accept_;
    QSlider *slider_;
    QLineEdit *field_;
};

} // namespace tandrel
