#include "host/views/layout/AspectRatioPickerView.h"

#include "host/views/common/QtText.h"
#include "host/views/layout/EditorStyle.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace tandrel {

using Preset = AspectRatioPicker::Preset;

AspectRatioPickerView::AspectRatioPickerView(Read read, Write write, QWidget *parent)
    : QWidget(parent), read_(std::move(read)), write_(std::move(write)), menu_(new QComboBox),
      customRow_(new QWidget), widthField_(new QLineEdit), heightField_(new QLineEdit) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);

    EditorStyle::popUpMenu(menu_, EditorStyle::caption2());
    menu_->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    menu_->setFixedWidth(menuWidth);
    menu_->setAccessibleName(QStringLiteral("Visible picture aspect ratio"));
    for (const Preset preset : Preset::allCases()) {
        menu_->addItem(qtText(preset.title()));
    }
    row->addWidget(menu_, 0, Qt::AlignVCenter);

    auto *custom = new QHBoxLayout(customRow_);
    custom->setContentsMargins(0, 0, 0, 0);
    custom->setSpacing(3);
    // Both numbers sit against the ":" between them.
    EditorStyle::roundedField(widthField_, EditorStyle::caption2(),
                              Qt::AlignRight | Qt::AlignVCenter);
    EditorStyle::roundedField(heightField_, EditorStyle::caption2());
    widthField_->setPlaceholderText(QStringLiteral("W"));
    heightField_->setPlaceholderText(QStringLiteral("H"));
    widthField_->setAccessibleName(QStringLiteral("Custom width"));
    heightField_->setAccessibleName(QStringLiteral("Custom height"));
    for (QLineEdit *field : {widthField_, heightField_}) {
        field->setFixedWidth(fieldWidth);
    }
    custom->addWidget(widthField_, 0, Qt::AlignVCenter);
    custom->addWidget(
        EditorStyle::label(QStringLiteral(":"), EditorStyle::caption2(), EditorStyle::secondary()),
        0, Qt::AlignVCenter);
    custom->addWidget(heightField_, 0, Qt::AlignVCenter);
    row->addWidget(customRow_, 0, Qt::AlignVCenter);
    customRow_->hide();

    connect(menu_, &QComboBox::activated, this, &AspectRatioPickerView::choose);
    for (QLineEdit *field : {widthField_, heightField_}) {
        connect(field, &QLineEdit::textEdited, this, &AspectRatioPickerView::edited);
        // Return, and leaving the field as well: texts that give no ratio do not stay.
        connect(field, &QLineEdit::editingFinished, this, &AspectRatioPickerView::submitted);
    }
    refresh();
}

AspectRatioPicker::Preset AspectRatioPickerView::selection() const {
    return AspectRatioPicker::presetSelection(read_());
}

void AspectRatioPickerView::refresh() {
    const std::optional<double> ratio = read_();
    const Preset selected = AspectRatioPicker::presetSelection(ratio);
    {
        const QSignalBlocker quiet(menu_);
        menu_->setCurrentIndex(static_cast<int>(selected));
    }
    const bool custom = selected == Preset::custom;
    if (custom && !customShown_) {
        fields_.appear(ratio);
    } else if (custom && ratio != shownRatio_) {
        fields_.ratioChanged(ratio);
    }
    customShown_ = custom;
    shownRatio_ = ratio;
    customRow_->setVisible(custom);
    showFields();
}

void AspectRatioPickerView::choose(int index) {
    if (index < 0 || index >= static_cast<int>(Preset::allCases().size())) {
        return;
    }
    write_(AspectRatioPicker::ratioForPreset(Preset::allCases()[index], read_()));
    // The owner may have dropped the write: show what is bound either way.
    refresh();
}

void AspectRatioPickerView::edited() {
    fields_.width = widthField_->text().toStdString();
    fields_.height = heightField_->text().toStdString();
    if (const std::optional<double> ratio = fields_.usableRatio()) {
        write_(ratio);
        refresh();
    }
}

void AspectRatioPickerView::submitted() {
    fields_.submit(read_());
    showFields();
}

void AspectRatioPickerView::showFields() {
    const auto show = [](QLineEdit *field, const std::string &text) {
        const QString shown = QString::fromStdString(text);
        // The field already holds what the user typed; setting it again would move the caret.
        if (field->text() != shown) {
            field->setText(shown);
        }
    };
    show(widthField_, fields_.width);
    show(heightField_, fields_.height);
}

} // namespace tandrel
