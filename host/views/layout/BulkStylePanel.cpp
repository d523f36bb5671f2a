#include "host/views/layout/BulkStylePanel.h"

#include "host/views/common/QtText.h"
#include "host/views/layout/EditorStyle.h"
#include "host/views/layout/ElementEditorRows.h"
#include "host/views/layout/ElementOptions.h"
#include "host/views/layout/SliderField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tandrel {

namespace {

using ElementOptions::alignmentChoices;

// The element editor's scale of the row: the panel's sliders go as the editor's.
SliderScale scaleOf(ElementEditorRow row) {
    return ElementEditorRows::number(row)->scale;
}

QLabel *rowTitle(const QString &title) {
    return EditorStyle::label(title, EditorStyle::caption(), EditorStyle::secondary());
}

QHBoxLayout *row(QVBoxLayout *stack) {
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    stack->addLayout(layout);
    return layout;
}

} // namespace

BulkStylePanel::BulkStylePanel(AppState &state, BulkStyleValues &values, ColorWell::Pick pick,
                               QWidget *parent)
    : QWidget(parent), state_(state), values_(values),
      fontSize_(new SliderField(values.fontSize, scaleOf(ElementEditorRow::fontSize),
                                &BulkStyle::acceptedFontSize, fieldWidth)),
      alignment_(new QComboBox), textColor_(new ColorWell(values.textColor, pick)),
      textOpacity_(new SliderField(values.textOpacity, scaleOf(ElementEditorRow::fontOpacity),
                                   &BulkStyle::acceptedOpacity, fieldWidth)),
      background_(new QCheckBox(QStringLiteral("Background"))),
      bgColor_(new ColorWell(values.bgColor, pick)),
      bgOpacity_(new SliderField(values.bgOpacity, scaleOf(ElementEditorRow::backgroundOpacity),
                                 &BulkStyle::acceptedOpacity, fieldWidth)),
      caption_(EditorStyle::wrappingLabel(QString::fromUtf8(BulkStyle::caption),
                                          EditorStyle::caption2(), EditorStyle::tertiary())) {
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);

    // The "Apply" buttons line up at the trailing edge.
    addSliderRow(stack, QStringLiteral("Font Size"), fontSize_, values_.fontSize,
                 [this] { return BulkStyle::fontSize(values_.fontSize); });

    QHBoxLayout *align = row(stack);
    align->addWidget(rowTitle(QStringLiteral("Text Alignment")));
    EditorStyle::popUpMenu(alignment_, EditorStyle::caption());
    alignment_->setAccessibleName(QStringLiteral("Text Alignment"));
    for (const Choice<BurnInTextAlignment::Case> &choice : alignmentChoices) {
        alignment_->addItem(qtText(choice.title));
    }
    alignment_->setCurrentIndex(static_cast<int>(
        choiceIndex(alignmentChoices, BurnInTextAlignment::Case(values.textAlignment))));
    connect(alignment_, &QComboBox::activated, this, [this](int index) {
        values_.textAlignment = alignmentChoices.at(static_cast<std::size_t>(index)).value;
    });
    align->addWidget(alignment_);
    align->addStretch(1);
    align->addWidget(
        applyButton([this] { return BulkStyle::textAlignment(values_.textAlignment); }));

    QHBoxLayout *text = row(stack);
    text->addWidget(rowTitle(QStringLiteral("Text Color")));
    textColor_->setAccessibleName(QStringLiteral("Text Color"));
    text->addWidget(textColor_);
    text->addStretch(1);
    text->addWidget(applyButton([this] { return BulkStyle::textColor(values_.textColor); }));
    connect(textColor_, &ColorWell::colourPicked, this,
            [this](const QColor &colour) { values_.textColor = colour; });

    addSliderRow(stack, QStringLiteral("Font Opacity"), textOpacity_, values_.textOpacity,
                 [this] { return BulkStyle::textOpacity(values_.textOpacity); });

    QHBoxLayout *background = row(stack);
    EditorStyle::toggle(background_, EditorStyle::caption());
    background_->setChecked(values.showBackground);
    connect(background_, &QCheckBox::toggled, this,
            [this](bool on) { values_.showBackground = on; });
    background->addWidget(background_);
    background->addStretch(1);
    background->addWidget(
        applyButton([this] { return BulkStyle::showBackground(values_.showBackground); }));

    QHBoxLayout *backgroundColour = row(stack);
    backgroundColour->addWidget(rowTitle(QStringLiteral("Background Color")));
    bgColor_->setAccessibleName(QStringLiteral("Background Color"));
    backgroundColour->addWidget(bgColor_);
    bgOpacity_->field()->setAccessibleName(QStringLiteral("Background Opacity"));
    backgroundColour->addWidget(bgOpacity_, 1);
    backgroundColour->addWidget(applyButton(
        [this] { return BulkStyle::backgroundColor(values_.bgColor, values_.bgOpacity); }));
    connect(bgColor_, &ColorWell::colourPicked, this,
            [this](const QColor &colour) { values_.bgColor = colour; });
    connect(bgOpacity_, &SliderField::valueEdited, this,
            [this](double value) { values_.bgOpacity = value; });

    stack->addWidget(caption_);
    stack->addStretch(1);
}

void BulkStylePanel::addSliderRow(QVBoxLayout *stack, const QString &title, SliderField *field,
                                  double &value, std::function<BulkStyle::Mutation()> mutation) {
    QHBoxLayout *layout = row(stack);
    layout->addWidget(rowTitle(title));
    field->field()->setAccessibleName(title);
    layout->addWidget(field, 1);
    layout->addWidget(applyButton(std::move(mutation)));
    connect(field, &SliderField::valueEdited, this, [&value](double edited) { value = edited; });
}

QAbstractButton *BulkStylePanel::applyButton(std::function<BulkStyle::Mutation()> mutation) {
    auto *button = new QPushButton(QStringLiteral("Apply"));
    EditorStyle::borderedButton(button, EditorStyle::caption());
    // The mutation is made when the button is pressed, from the values in force then, and
    // applied to the preset that is active then.
    connect(button, &QAbstractButton::clicked, this, [this, mutation = std::move(mutation)] {
        BulkStyle::applyToAllElements(state_, mutation());
    });
    apply_.push_back(button);
    return button;
}

} // namespace tandrel
