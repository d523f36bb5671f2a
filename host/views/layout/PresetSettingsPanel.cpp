#include "host/views/layout/PresetSettingsPanel.h"

#include "designkit/Color.h"
#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneScrollArea.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/AspectRatioPickerView.h"
#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/PlainButton.h"
#include "host/views/layout/PresetManagement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace tandrel {

using corvane::Color;

namespace {

QCheckBox *toggle(const char *title) {
    auto *box = new QCheckBox(qtText(title));
    EditorStyle::toggle(box, EditorStyle::caption2());
    return box;
}

// An option: its control row, and its help text under it.
QWidget *optionRow(QLayout *controls, const char *help) {
    auto *row = new QWidget;
    auto *stack = new QVBoxLayout(row);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(2);
    stack->addLayout(controls);
    stack->addWidget(
        EditorStyle::wrappingLabel(qtText(help), EditorStyle::caption2(), EditorStyle::tertiary()));
    return row;
}

QHBoxLayout *controlRow() {
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    return row;
}

} // namespace

PresetSettingsPanel::PresetSettingsPanel(AppState &state, Actions actions, QWidget *parent)
    : QWidget(parent), state_(state), options_(state) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(4, 4, 4, 4);
    stack->setSpacing(4);
    stack->addWidget(makeActionRow(std::move(actions)));
    stack->addWidget(makeNameRow());
    stack->addSpacing(2);
    stack->addWidget(new corvane::CorvaneDivider(0));
    stack->addSpacing(2);
    stack->addWidget(makeOptionRows());
    stack->addStretch(1);

    connect(&state, &AppState::presetsChanged, this, &PresetSettingsPanel::refresh);
    connect(&state, &AppState::activePresetIDChanged, this, &PresetSettingsPanel::refresh);
    refresh();
}

QWidget *PresetSettingsPanel::makeActionRow(Actions actions) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    const QFont font = EditorStyle::caption();
    duplicate_ = plainButton(QStringLiteral("plus.square.on.square"), QStringLiteral("Duplicate"),
                             font, QStringLiteral("Duplicate preset"), QStringLiteral("Duplicate"));
    export_ = plainButton(QStringLiteral("square.and.arrow.up"), {}, font,
                          QStringLiteral("Export preset as .json — e.g. to ship as a factory "
                                         "default"),
                          QStringLiteral("Export Preset"));
    import_ =
        plainButton(QStringLiteral("square.and.arrow.down"), {}, font,
                    QStringLiteral("Import preset from .json"), QStringLiteral("Import Preset"));
    reset_ = plainButton(QStringLiteral("arrow.counterclockwise"), {}, font,
                         QStringLiteral("Reset to factory default"),
                         QStringLiteral("Reset to Factory Default"));
    delete_ = plainButton(QStringLiteral("trash"), {}, font, QStringLiteral("Delete preset"),
                          QStringLiteral("Delete Preset"));
    const std::pair<PlainButton *, std::function<void()> *> buttons[] = {
        {duplicate_, &actions.duplicate}, {export_, &actions.exportPreset},
        {import_, &actions.importPreset}, {reset_, &actions.reset},
        {delete_, &actions.remove},
    };
    for (const auto &[button, action] : buttons) {
        corvane::corvaneForeground(button, button == delete_ ? Color::red() : Color::primary());
        if (*action) {
            connect(button, &QAbstractButton::clicked, this, std::move(*action));
        }
        layout->addWidget(button, 0, Qt::AlignVCenter);
    }
    layout->addStretch(1);
    return row;
}

QWidget *PresetSettingsPanel::makeNameRow() {
    auto *row = new QWidget;
    auto *layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    nameField_ = new QLineEdit;
    EditorStyle::roundedField(nameField_, EditorStyle::caption());
    nameField_->setPlaceholderText(QStringLiteral("Name"));
    nameField_->setAccessibleName(QStringLiteral("Name"));
    // The preset is renamed once the name is typed (Return, or leaving the field), not at
    // every keystroke: each rename is saved, written into the snapshot and published.
    EditorControls::commitWhenDone(
        nameField_, [this](const QString &name) { rename(namedPreset_, name); },
        [this] { refresh(); });
    layout->addWidget(nameField_);
    builtInCaption_ = EditorStyle::wrappingLabel(qtText(PresetManagement::builtInCaption),
                                                 EditorStyle::caption2(), EditorStyle::tertiary());
    layout->addWidget(builtInCaption_);
    return row;
}

QWidget *PresetSettingsPanel::makeOptionRows() {
    auto *rows = new QWidget;
    // The panel scrolls by the option rows.
    corvane::CorvaneScrollArea::markRowGroup(rows);
    auto *layout = new QVBoxLayout(rows);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    // Each write is followed by a redraw from the preset: a write without an active preset is
    // dropped, and the control must not show a value that was never stored.
    const auto writeThenShow = [this](auto write) {
        return [this, write](auto value) {
            write(value);
            refresh();
        };
    };

    QHBoxLayout *ratio = controlRow();
    ratio->addWidget(EditorStyle::label(qtText(PresetOptions::visiblePictureTitle),
                                        EditorStyle::caption2(), EditorStyle::secondary()));
    aspectRatio_ = new AspectRatioPickerView(
        [this] { return options_.visiblePictureAspectRatio(); },
        [this](std::optional<double> value) { options_.setVisiblePictureAspectRatio(value); });
    ratio->addWidget(aspectRatio_);
    ratio->addStretch(1);
    layout->addWidget(optionRow(ratio, PresetOptions::visiblePictureHelp));

    const auto switchRow = [&](QCheckBox *&box, const char *title, const char *help,
                               void (PresetOptions::*set)(bool)) {
        box = toggle(title);
        connect(box, &QCheckBox::clicked, this,
                writeThenShow([this, set](bool on) { (options_.*set)(on); }));
        QHBoxLayout *row = controlRow();
        row->addWidget(box);
        row->addStretch(1);
        layout->addWidget(optionRow(row, help));
    };
    switchRow(constrain_, PresetOptions::constrainTitle, PresetOptions::constrainHelp,
              &PresetOptions::setConstrainToVisiblePicture);
    switchRow(stackedLayers_, PresetOptions::stackedLayersTitle, PresetOptions::stackedLayersHelp,
              &PresetOptions::setShowStackedLayers);

    QHBoxLayout *order = controlRow();
    order->addWidget(EditorStyle::label(qtText(PresetOptions::stackOrderTitle),
                                        EditorStyle::caption2(), EditorStyle::secondary()));
    stackOrder_ = new QComboBox;
    EditorStyle::popUpMenu(stackOrder_, EditorStyle::caption2());
    stackOrder_->setFixedWidth(160);
    stackOrder_->setAccessibleName(qtText(PresetOptions::stackOrderTitle));
    for (const StackOrderChoice choice : StackOrderChoice::allCases()) {
        stackOrder_->addItem(qtText(choice.title()));
    }
    connect(stackOrder_, &QComboBox::activated, this, writeThenShow([this](int index) {
                const auto choices = StackOrderChoice::allCases();
                if (index >= 0 && index < static_cast<int>(choices.size())) {
                    options_.setStackedLayerOrder(choices[index]);
                }
            }));
    order->addWidget(stackOrder_);
    order->addStretch(1);
    layout->addWidget(optionRow(order, PresetOptions::stackOrderHelp));

    switchRow(hideOnGenerators_, PresetOptions::hideOnGeneratorsTitle,
              PresetOptions::hideOnGeneratorsHelp, &PresetOptions::setHideOnGeneratorClips);
    return rows;
}

void PresetSettingsPanel::focusNameField() {
    if (!nameField_->isHidden()) {
        nameField_->setFocus(Qt::OtherFocusReason);
    }
}

void PresetSettingsPanel::rename(const Uuid &id, const QString &name) {
    std::vector<DisplayConfig> presets = state_.presets();
    const auto named = std::ranges::find(presets, id, &DisplayConfig::id);
    if (named == presets.end()) {
        return;
    }
    named->name = name.toStdString();
    state_.setPresets(std::move(presets));
}

void PresetSettingsPanel::refresh() {
    if (const Uuid &active = state_.activePresetID(); active != namedPreset_) {
        // Another preset became active while a name was being typed (the editor panel chose
        // it, say): the name is the one typed for the preset that was shown.
        const Uuid typedFor = std::exchange(namedPreset_, active);
        if (nameField_->isModified()) {
            nameField_->setModified(false);
            rename(typedFor, nameField_->text());
        }
    }
    const DisplayConfig preset = ActivePreset(state_).preset();
    const PresetActions actions = PresetActions::of(preset);
    reset_->setVisible(actions.reset);
    delete_->setVisible(actions.remove);
    nameField_->setVisible(actions.rename);
    builtInCaption_->setVisible(!actions.rename);
    EditorControls::showStored(nameField_, QString::fromStdString(preset.name));

    aspectRatio_->refresh();
    const std::pair<QCheckBox *, bool> switches[] = {
        {constrain_, options_.constrainToVisiblePicture()},
        {stackedLayers_, options_.showStackedLayers()},
        {hideOnGenerators_, options_.hideOnGeneratorClips()},
    };
    for (const auto &[box, on] : switches) {
        const QSignalBlocker quiet(box);
        box->setChecked(on);
    }
    const QSignalBlocker quiet(stackOrder_);
    stackOrder_->setCurrentIndex(static_cast<int>(options_.stackedLayerOrder()));
}

} // namespace tandrel
