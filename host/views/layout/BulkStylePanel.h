#pragma once

#include "host/views/layout/BulkStyle.h"
#include "host/views/layout/ColorWell.h"

#include <QWidget>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QVBoxLayout;

namespace tandrel {

class AppState;
class SliderField;

// The content of the layout editor's "Bulk Style" panel: one row per style property, each
// with its own "Apply" that writes that property, and only it, into every element of the
// active preset at once; then a caption that says so. The values live in the pane (`values`),
// so they outlive the panel being closed and seed new elements.
class BulkStylePanel : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 44;

    BulkStylePanel(AppState &state, BulkStyleValues &values, ColorWell::Pick pickColor,
                   QWidget *parent = nullptr);

    SliderField *fontSize() const { return fontSize_; }
    QComboBox *alignment() const { return alignment_; }
    ColorWell *textColor() const { return textColor_; }
    SliderField *textOpacity() const { return textOpacity_; }
    QCheckBox *background() const { return background_; }
    ColorWell *backgroundColor() const { return bgColor_; }
    SliderField *backgroundOpacity() const { return bgOpacity_; }
    QLabel *caption() const { return caption_; }
    // The "Apply" buttons, top to bottom.
    const std::vector<QAbstractButton *> &applyButtons() const { return apply_; }

private:
    // A row of a title, a slider with its number field editing `value`, and "Apply".
    void addSliderRow(QVBoxLayout *stack, const QString &title, SliderField *field, double &value,
                      std::function<BulkStyle::Mutation()> mutation);
    QAbstractButton *applyButton(std::function<BulkStyle::Mutation()> mutation);

    AppState &state_;
    BulkStyleValues &values_;
    SliderField *fontSize_;
    QComboBox *alignment_;
    ColorWell *textColor_;
    SliderField *textOpacity_;
    QCheckBox *background_;
    ColorWell *bgColor_;
    SliderField *bgOpacity_;
    QLabel *caption_;
    std::vector<QAbstractButton *> apply_;
};

} // namespace tandrel
