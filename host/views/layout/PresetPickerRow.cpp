#include "host/views/layout/PresetPickerRow.h"

#include "designkit/Color.h"
#include "designkit/CorvaneElidingComboBox.h"
#include "designkit/Painting.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/ActivePreset.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/PlainButton.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>

namespace tandrel {

using corvane::Color;

namespace {

constexpr double cornerRadius = 8;

} // namespace

PresetPickerRow::PresetPickerRow(AppState &state, std::function<void()> newPreset,
                                 std::function<void()> rename, QWidget *parent)
    : QWidget(parent), state_(state), picker_(new corvane::CorvaneElidingComboBox),
      newPreset_(plainButton(QStringLiteral("plus"), {}, EditorStyle::body(),
                             QString::fromUtf8(newPresetTooltip),
                             QString::fromUtf8(newPresetLabel))),
      rename_(plainButton(QStringLiteral("pencil"), {}, EditorStyle::body(),
                          QString::fromUtf8(renameTooltip), QString::fromUtf8(renameLabel))) {
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 8, 10, 8);
    row->setSpacing(8);

    EditorStyle::popUpMenu(picker_, EditorStyle::caption());
    picker_->setAccessibleName(QStringLiteral("Preset"));
    picker_->setFixedWidth(pickerWidth);
    row->addWidget(picker_, 0, Qt::AlignVCenter);
    for (PlainButton *button : {newPreset_, rename_}) {
        corvane::corvaneForeground(button, Color::primary());
        row->addWidget(button, 0, Qt::AlignVCenter);
    }
    row->addStretch(1);

    connect(picker_, &QComboBox::activated, this, [this](int index) {
        if (const std::optional<Uuid> id =
                Uuid::fromString(picker_->itemData(index).toString().toStdString())) {
            state_.setActivePresetID(*id);
        }
    });
    connect(newPreset_, &QAbstractButton::clicked, this, std::move(newPreset));
    connect(rename_, &QAbstractButton::clicked, this, std::move(rename));
    connect(&state, &AppState::presetsChanged, this, &PresetPickerRow::refresh);
    connect(&state, &AppState::activePresetIDChanged, this, &PresetPickerRow::refresh);
    refresh();
}

void PresetPickerRow::refresh() {
    {
        const QSignalBlocker quiet(picker_);
        picker_->clear();
        for (const DisplayConfig &preset : state_.presets()) {
            // A preset's name may come from a file someone else wrote.
            picker_->addItem(shownText(preset.name),
                             QString::fromStdString(preset.id.uuidString()));
        }
        const std::optional<std::size_t> active = state_.activePresetIndex();
        picker_->setCurrentIndex(active ? static_cast<int>(*active) : -1);
    }
    rename_->setVisible(!ActivePreset(state_).preset().isBuiltIn);
}

void PresetPickerRow::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    corvane::fillRounded(painter, rect(), cornerRadius,
                         corvane::withOpacity(Color::corvaneTextSecondary(), 0.07));
}

} // namespace tandrel
