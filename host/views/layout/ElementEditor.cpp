#include "host/views/layout/ElementEditor.h"

#include "designkit/CorvaneScrollArea.h"
#include "host/views/common/QtText.h"

#include "host/state/AppState.h"
#include "host/views/layout/CommitOnReleaseSlider.h"
#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementOptions.h"
#include "host/views/layout/MarkerTypeFilterView.h"
#include "host/views/layout/RolePickerView.h"
#include "host/views/layout/StackedLayerOptionsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace tandrel {

namespace {

QString titleOf(ElementEditorRow row) {
    return qtText(ElementEditorRows::title(row));
}

QStringList fieldNames() {
    QStringList names;
    for (const MetadataField field : MetadataField::allCases()) {
        names.push_back(qtText(field.displayName()));
    }
    return names;
}

} // namespace

ElementEditor::ElementEditor(AppState &state, const Uuid &id, Services services, QWidget *parent)
    : QWidget(parent), state_(state), id_(id),
      field_(EditorControls::picker(titleOf(ElementEditorRow::field), fieldNames())),
      label_(new QLineEdit),
      alignment_(EditorControls::picker(titleOf(ElementEditorRow::textAlignment),
                                        EditorControls::titles(ElementOptions::alignmentChoices))),
      textColor_(new ColorWell(Qt::white, services.pickColor)),
      background_(new QCheckBox(titleOf(ElementEditorRow::background))),
      bgColor_(new ColorWell(Qt::black, services.pickColor)),
      markerTypes_(new MarkerTypeFilterView(state, id)),
      stackedLayers_(new StackedLayerOptionsView(state, id)),
      roles_(new RolePickerView(state, id, std::move(services.roles))) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    const ElementBinding binding(state, id);

    using enum ElementEditorRow;
    add(field, EditorControls::labelledRow(titleOf(field), field_));
    connect(field_, &QComboBox::activated, this, [binding](int index) {
        const MetadataField chosen = MetadataField::allCases().at(static_cast<std::size_t>(index));
        // The field only: the labels and everything else stay as they are.
        binding.update([chosen](BurnInElement &element) { element.field = chosen; });
    });
    add(markerTypeFilter, markerTypes_);
    add(rolePicker, roles_);

    EditorStyle::roundedField(label_, EditorStyle::caption());
    add(label, EditorControls::labelledRow(titleOf(label), label_));
    EditorControls::commitWhenDone(
        label_,
        [binding](const QString &text) {
            binding.update(
                [typed = text.toStdString()](BurnInElement &element) { element.label = typed; });
        },
        [this] { refresh(); });
    add(stackedLayerOptions, stackedLayers_);

    for (const ElementEditorRow number :
         {fontSize, fontOpacity, backgroundOpacity, positionX, positionY}) {
        const ElementEditorRows::Number edited = *ElementEditorRows::number(number);
        double BurnInElement::*member = edited.member;
        auto *slider = new CommitOnReleaseSlider(
            binding.get().*member, edited.scale, [binding, member](double value) {
                binding.update([&](BurnInElement &element) { element.*member = value; });
            });
        slider->field()->setAccessibleName(titleOf(number));
        sliders_.emplace(number, slider);
    }

    add(fontSize, EditorControls::labelledRow(titleOf(fontSize), sliders_.at(fontSize)));
    add(textAlignment, EditorControls::labelledRow(titleOf(textAlignment), alignment_));
    connect(alignment_, &QComboBox::activated, this, [binding](int index) {
        const BurnInTextAlignment chosen =
            ElementOptions::alignmentChoices.at(static_cast<std::size_t>(index)).value;
        binding.update([chosen](BurnInElement &element) { element.textAlignment = chosen; });
    });
    add(textColor, EditorControls::labelledRow(titleOf(textColor), textColor_));
    connect(
        textColor_, &ColorWell::colourPicked, this,
        [text = ElementColorBinding(binding, false)](const QColor &colour) { text.set(colour); });
    add(fontOpacity, EditorControls::labelledRow(titleOf(fontOpacity), sliders_.at(fontOpacity)));
    EditorStyle::toggle(background_, EditorStyle::caption());
    add(background, background_);
    connect(background_, &QCheckBox::clicked, this, [binding](bool on) {
        binding.update([on](BurnInElement &element) { element.showBackground = on; });
    });
    add(backgroundColor, EditorControls::labelledRow(titleOf(backgroundColor), bgColor_));
    connect(bgColor_, &ColorWell::colourPicked, this,
            [background = ElementColorBinding(binding, true)](const QColor &colour) {
                background.set(colour);
            });
    for (const ElementEditorRow number : {backgroundOpacity, positionX, positionY}) {
        add(number, EditorControls::labelledRow(titleOf(number), sliders_.at(number)));
    }

    // Where the panel scrolls, it does so by the rows of these sections too.
    for (QWidget *section :
         std::initializer_list<QWidget *>{markerTypes_, stackedLayers_, roles_}) {
        corvane::CorvaneScrollArea::markRowGroup(section);
    }

    for (const auto changed : {&AppState::presetsChanged, &AppState::activePresetIDChanged}) {
        connect(&state, changed, this, &ElementEditor::refresh);
    }
    refresh();
}

void ElementEditor::add(ElementEditorRow row, QWidget *widget) {
    rows_.emplace(row, widget);
    layout()->addWidget(widget);
}

QWidget *ElementEditor::row(ElementEditorRow row) const {
    return rows_.at(row);
}

std::vector<ElementEditorRow> ElementEditor::shownRows() const {
    std::vector<ElementEditorRow> shown;
    for (const auto &[row, widget] : rows_) {
        if (!widget->isHidden()) {
            shown.push_back(row);
        }
    }
    return shown;
}

CommitOnReleaseSlider *ElementEditor::slider(ElementEditorRow row) const {
    const auto found = sliders_.find(row);
    return found == sliders_.end() ? nullptr : found->second;
}

void ElementEditor::refresh() {
    const ElementBinding binding(state_, id_);
    const BurnInElement element = binding.get();
    const std::vector<ElementEditorRow> shown = ElementEditorRows::of(element.field);
    for (const auto &[row, widget] : rows_) {
        widget->setVisible(std::ranges::find(shown, row) != shown.end());
    }
    EditorControls::select(field_, element.field.value());
    EditorControls::showStored(label_, QString::fromStdString(element.label));
    for (const auto &[row, slider] : sliders_) {
        const double value = element.*ElementEditorRows::number(row)->member;
        if (value != slider->value()) {
            slider->setValue(value);
        }
    }
    EditorControls::select(alignment_,
                           choiceIndex(ElementOptions::alignmentChoices,
                                       BurnInTextAlignment::Case(element.textAlignment)));
    textColor_->setColour(ElementColorBinding(binding, false).get());
    bgColor_->setColour(ElementColorBinding(binding, true).get());
    {
        const QSignalBlocker quiet(background_);
        background_->setChecked(element.showBackground);
    }
}

} // namespace tandrel
