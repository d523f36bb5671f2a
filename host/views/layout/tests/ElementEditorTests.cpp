#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/ActivePreset.h"

#include "designkit/CorvaneElidingComboBox.h"
#include "host/views/layout/CommitOnReleaseSlider.h"
#include "host/views/layout/ElementBinding.h"
#include "host/views/layout/ElementEditor.h"
#include "host/views/layout/ElementEditorRows.h"
#include "host/views/layout/MarkerTypeFilterView.h"
#include "host/views/layout/RolePickerView.h"
#include "host/views/layout/StackedLayerOptionsView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include <functional>
#include <string>

namespace tandrel::testing {
namespace {

using enum ElementEditorRow;

TEST(ElementEditorRows, SectionsOfEveryField) {
    const std::set<MetadataField> markerKinds{MetadataField::marker, MetadataField::markerName,
                                              MetadataField::markerNote};
    const std::set<MetadataField> blocks{MetadataField::stackedLayerReel,
                                         MetadataField::stackedLayerSlate};
    const std::vector<ElementEditorRow> style{fontSize,          textAlignment, textColor,
                                              fontOpacity,       background,    backgroundColor,
                                              backgroundOpacity, positionX,     positionY};
    for (const MetadataField field : MetadataField::allCases()) {
        SCOPED_TRACE(std::string(field.rawValue()));
        std::vector<ElementEditorRow> expected{ElementEditorRow::field};
        if (markerKinds.contains(field)) {
            expected.push_back(markerTypeFilter);
        }
        if (field == MetadataField::roleText) {
            expected.push_back(rolePicker);
        }
        expected.push_back(label);
        if (blocks.contains(field)) {
            expected.push_back(stackedLayerOptions);
        }
        expected.insert(expected.end(), style.begin(), style.end());
        EXPECT_EQ(ElementEditorRows::of(field), expected);
    }
}

TEST(ElementEditorRows, TitlesAndNumbers) {
    const std::vector<std::string_view> titles{"Field",
                                               "",
                                               "",
                                               "Label",
                                               "",
                                               "Font Size",
                                               "Text Alignment",
                                               "Text Color",
                                               "Font Opacity",
                                               "Background",
                                               "Background Color",
                                               "Background Opacity",
                                               "Position X",
                                               "Position Y"};
    for (std::size_t row = 0; row < titles.size(); ++row) {
        EXPECT_EQ(ElementEditorRows::title(static_cast<ElementEditorRow>(row)), titles[row]);
    }
    const struct {
        ElementEditorRow row;
        double BurnInElement::*member;
        double lower, upper, step;
    } numbers[] = {
        {fontSize, &BurnInElement::fontSize, 12, 72, 1},
        {fontOpacity, &BurnInElement::textOpacity, 0, 1, 0.05},
        {backgroundOpacity, &BurnInElement::bgOpacity, 0, 1, 0.05},
        {positionX, &BurnInElement::posX, 0, 1, 0.01},
        {positionY, &BurnInElement::posY, 0, 1, 0.01},
    };
    for (const auto &[row, member, lower, upper, step] : numbers) {
        const std::optional<ElementEditorRows::Number> number = ElementEditorRows::number(row);
        ASSERT_TRUE(number);
        EXPECT_EQ(number->member, member);
        EXPECT_EQ(number->scale.lower(), lower);
        EXPECT_EQ(number->scale.upper(), upper);
        EXPECT_EQ(number->scale.step(), step);
    }
    EXPECT_FALSE(ElementEditorRows::number(textColor));
}

using ElementEditorBinding = ElementTest;

TEST_F(ElementEditorBinding, AMissingElementReadsAPlaceholderAndDropsWrites) {
    usePreset({BurnInElement(MetadataField::sourceTC)});
    const ElementBinding gone(state(), Uuid::random());
    const BurnInElement placeholder = gone.get();
    BurnInElement expected(MetadataField::clipName);
    expected.id = placeholder.id;
    EXPECT_EQ(placeholder, expected);
    EXPECT_NE(gone.get().id, placeholder.id);
    EXPECT_EQ(gone.color(false), QColor::fromRgbF(1, 1, 1));
    EXPECT_EQ(gone.color(true), QColor::fromRgbF(1, 1, 1));
    EXPECT_FALSE(gone.set(placeholder));
    EXPECT_FALSE(gone.setColor(Qt::red, false));
    EXPECT_EQ(presetWrites, 0);
    EXPECT_EQ(state().presets().front().elements.size(), 1u);

    // Nor with another preset active.
    const ElementBinding binding(state(), element(0).id);
    state().setActivePresetID(Uuid::random());
    EXPECT_FALSE(binding.update([](BurnInElement &e) { e.label = "x"; }));
    EXPECT_EQ(binding.get().field, MetadataField::clipName);
}

TEST_F(ElementEditorBinding, TheColourRule) {
    BurnInElement stored(MetadataField::sourceTC);
    stored.textOpacity = 0.6;
    usePreset({stored});
    const ElementBinding binding(state(), stored.id);
    const struct {
        const char *name;
        QColor picked;
        std::array<double, 3> rgb;
    } cases[] = {
        // The picked colour's own opacity is not taken.
        {"half opaque", QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.5f), {0.2, 0.4, 0.6}},
        {"grey", QColor::fromRgbF(0.5f, 0.5f, 0.5f).toHsv(), {0.5, 0.5, 0.5}},
        {"cmyk cyan", QColor::fromCmykF(1, 0, 0, 0), {0, 1, 1}},
        {"extended", QColor::fromRgbF(1.5f, -0.25f, 0.5f), {1, 0, 0.5}},
    };
    for (const auto &[name, picked, rgb] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(binding.setColor(picked, false));
        EXPECT_NEAR(element(0).textR, rgb[0], 1e-4);
        EXPECT_NEAR(element(0).textG, rgb[1], 1e-4);
        EXPECT_NEAR(element(0).textB, rgb[2], 1e-4);
        EXPECT_EQ(element(0).textOpacity, 0.6);
        EXPECT_EQ(binding.color(false).alphaF(), 1.0f);
    }
    EXPECT_TRUE(binding.setColor(QColor::fromRgbF(0, 0, 1), true));
    EXPECT_EQ((std::array{element(0).bgR, element(0).bgG, element(0).bgB}),
              (std::array{0.0, 0.0, 1.0}));
    EXPECT_EQ(element(0).bgOpacity, 0.7);
    // A cancelled picker hands over no colour: nothing is written.
    presetWrites = 0;
    EXPECT_FALSE(binding.setColor(QColor(), true));
    EXPECT_EQ(presetWrites, 0);
}

class ElementEditorView : public ElementTest {
protected:
    ElementEditor &editor(const BurnInElement &edited) {
        usePreset({edited});
        editor_ = std::make_unique<ElementEditor>(
            state(), edited.id,
            ElementEditor::Services{
                .pickColor =
                    [this](QWidget *, const QColor &, const ColorWell::Picked &answer) {
                        if (picked) {
                            answer(*picked);
                        }
                    },
                .roles = std::make_shared<RoleTable>(std::vector<RoleGroup>{})});
        return *editor_;
    }
    int position(ElementEditorRow row) { return editor_->layout()->indexOf(editor_->row(row)); }
    // Shows the editor in `window`, active, above another field, which it returns: where the
    // keyboard goes when a test leaves the editor's fields.
    QLineEdit *showBesideAnotherField(QWidget &window) {
        auto *stack = new QVBoxLayout(&window);
        stack->addWidget(editor_.release());
        auto *elsewhere = new QLineEdit;
        stack->addWidget(elsewhere);
        window.show();
        QApplication::setActiveWindow(&window);
        return elsewhere;
    }

    std::optional<QColor> picked;
    std::unique_ptr<ElementEditor> editor_;
};

TEST_F(ElementEditorView, SectionsStandWhereTheirFieldsPutThem) {
    BurnInElement role(MetadataField::roleText);
    ElementEditor &view = editor(role);
    EXPECT_EQ(view.shownRows(), ElementEditorRows::of(MetadataField::roleText));
    EXPECT_LT(position(field), position(rolePicker));
    EXPECT_LT(position(rolePicker), position(label));

    const auto choose = [&](MetadataField field) {
        const int index = static_cast<int>(field.value());
        view.fieldPicker()->setCurrentIndex(index);
        emit view.fieldPicker()->activated(index);
    };
    choose(MetadataField::stackedLayerReel);
    EXPECT_EQ(view.shownRows(), ElementEditorRows::of(MetadataField::stackedLayerReel));
    EXPECT_LT(position(label), position(stackedLayerOptions));
    EXPECT_LT(position(stackedLayerOptions), position(fontSize));
    choose(MetadataField::markerName);
    EXPECT_FALSE(view.markerTypeFilter()->isHidden());
    choose(MetadataField::markerNameAndNote);
    EXPECT_TRUE(view.markerTypeFilter()->isHidden());
    EXPECT_TRUE(view.rolePicker()->isHidden());
    EXPECT_TRUE(view.stackedLayerOptions()->isHidden());
    // The marker kinds it was made with stay.
    EXPECT_EQ(element(0).markerTypes, std::set<MarkerType>{MarkerType::chapter});
}

TEST_F(ElementEditorView, AFieldSwitchKeepsTheLabel) {
    BurnInElement tc(MetadataField::sourceTC);
    ElementEditor &view = editor(tc);
    EXPECT_EQ(view.labelField()->text(), QStringLiteral("TC:"));
    const int clipName = static_cast<int>(MetadataField::clipName);
    view.fieldPicker()->setCurrentIndex(clipName);
    emit view.fieldPicker()->activated(clipName);
    EXPECT_EQ(presetWrites, 1);
    EXPECT_EQ(element(0).field, MetadataField::clipName);
    EXPECT_EQ(element(0).label, "TC:");
    EXPECT_EQ(view.labelField()->text(), QStringLiteral("TC:"));
}

TEST_F(ElementEditorView, ASliderDragWritesOnce) {
    ElementEditor &view = editor(BurnInElement(MetadataField::sourceTC));
    CommitOnReleaseSlider *size = view.slider(fontSize);
    QSlider *slider = size->slider();
    slider->setSliderDown(true);
    for (int position = slider->value(); position <= size->scale().position(40); ++position) {
        slider->setValue(position);
    }
    EXPECT_EQ(size->draft(), 40);
    EXPECT_EQ(element(0).fontSize, 24);
    EXPECT_EQ(presetWrites, 0);
    slider->setSliderDown(false);
    EXPECT_EQ(presetWrites, 1);
    EXPECT_EQ(element(0).fontSize, 40);
    EXPECT_EQ(size->value(), 40);

    // A typed value beyond the range is clamped on Return.
    size->field()->setText(QStringLiteral("200"));
    emit size->field()->returnPressed();
    EXPECT_EQ(element(0).fontSize, 72);
    // A change made elsewhere reaches the draft.
    ElementBinding(state(), element(0).id).update([](BurnInElement &e) { e.posX = 0.3; });
    EXPECT_EQ(view.slider(positionX)->draft(), 0.3);
}

TEST_F(ElementEditorView, WhatIsTypedIsStoredOnceWhenTheFieldIsLeftOrEntered) {
    ElementEditor &view = editor(BurnInElement(MetadataField::stackedLayerReel));
    QWidget window;
    QLineEdit *elsewhere = showBesideAnotherField(window);

    const auto stored = [this](std::string BurnInElement::*text) { return element(0).*text; };
    const auto number = [this](double BurnInElement::*member) {
        return std::to_string(element(0).*member);
    };
    const struct {
        const char *name;
        QLineEdit *field;
        const char *typed;
        std::function<std::string()> read;
        std::string kept;
    } cases[] = {
        {"label", view.labelField(), "Reel:", [&] { return stored(&BurnInElement::label); },
         "Reel:"},
        {"right prefix", view.stackedLayerOptions()->rightPrefix(), "FRM",
         [&] { return stored(&BurnInElement::secondaryLabel); }, "FRM"},
        {"font size", view.slider(fontSize)->field(), "40",
         [&] { return number(&BurnInElement::fontSize); }, std::to_string(40.0)},
        // Clamped on the way, as on Return.
        {"position", view.slider(positionX)->field(), "1.5",
         [&] { return number(&BurnInElement::posX); }, std::to_string(1.0)},
    };
    for (const bool tab : {true, false}) {
        for (const auto &[name, field, typed, read, kept] : cases) {
            SCOPED_TRACE(std::string(name) + (tab ? " left with Tab" : " left with a click"));
            field->setFocus(Qt::OtherFocusReason);
            ASSERT_TRUE(field->hasFocus());
            presetWrites = 0;
            // Keystroke by keystroke: nothing is written while typing.
            field->clear();
            QTest::keyClicks(field, QString::fromUtf8(typed));
            EXPECT_EQ(presetWrites, 0);
            if (tab) {
                QTest::keyClick(field, Qt::Key_Tab);
            } else {
                elsewhere->setFocus(Qt::MouseFocusReason);
            }
            EXPECT_FALSE(field->hasFocus());
            EXPECT_EQ(read(), kept);
            EXPECT_EQ(presetWrites, tab ? 1 : 0); // the second time, the value is stored already
        }
    }
    // Entered with Return, then left: one write.
    QLineEdit *label = view.labelField();
    label->setFocus(Qt::OtherFocusReason);
    presetWrites = 0;
    label->clear();
    QTest::keyClicks(label, QStringLiteral("TC"));
    QTest::keyClick(label, Qt::Key_Return);
    elsewhere->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(element(0).label, "TC");
    EXPECT_EQ(presetWrites, 1);
}

// Escape drops what was typed: the field shows what is stored again and nothing is written,
// also when the field is left afterwards.
TEST_F(ElementEditorView, EscapeInAnEditedFieldPutsBackTheStoredValue) {
    BurnInElement reel(MetadataField::stackedLayerReel);
    reel.label = "REEL";
    reel.secondaryLabel = "SRC";
    reel.fontSize = 30;
    ElementEditor &view = editor(reel);
    QWidget window;
    QLineEdit *elsewhere = showBesideAnotherField(window);

    const struct {
        const char *name;
        QLineEdit *field;
        QString stored;
    } cases[] = {
        {"label", view.labelField(), QStringLiteral("REEL")},
        {"right prefix", view.stackedLayerOptions()->rightPrefix(), QStringLiteral("SRC")},
        {"font size", view.slider(fontSize)->field(), QStringLiteral("30")},
    };
    for (const auto &[name, field, stored] : cases) {
        SCOPED_TRACE(name);
        field->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(field->hasFocus());
        presetWrites = 0;
        QTest::keyClicks(field, QStringLiteral("99"));
        ASSERT_NE(field->text(), stored);
        QTest::keyClick(field, Qt::Key_Escape);
        EXPECT_EQ(field->text(), stored);
        elsewhere->setFocus(Qt::MouseFocusReason);
        EXPECT_EQ(field->text(), stored);
        EXPECT_EQ(presetWrites, 0);
    }
    EXPECT_EQ(element(0).label, "REEL");
    EXPECT_EQ(element(0).secondaryLabel, "SRC");
    EXPECT_EQ(element(0).fontSize, 30);
    QApplication::setActiveWindow(nullptr);
}

// A label longer than its field shows its beginning when it is shown and when the field is
// left, not the end the caret stood at ("atermark applied by…" for "Watermark applied by…").
TEST_F(ElementEditorView, ALongLabelShowsItsBeginningOutsideTyping) {
    BurnInElement custom(MetadataField::custom);
    custom.label = "Watermark applied by Ostrevale for the screening copy of reel four";
    ElementEditor &view = editor(custom);
    QWidget window;
    window.resize(340, 600);
    QLineEdit *elsewhere = showBesideAnotherField(window);
    QLineEdit *label = view.labelField();
    ASSERT_GT(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    EXPECT_EQ(label->cursorPosition(), 0);

    // Typed at its end and left: written, and shown from the beginning again.
    label->setFocus(Qt::OtherFocusReason);
    label->end(false);
    QTest::keyClicks(label, QStringLiteral(" (DRAFT)"));
    EXPECT_EQ(label->cursorPosition(), label->text().size());
    elsewhere->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(element(0).label, custom.label + " (DRAFT)");
    EXPECT_EQ(label->cursorPosition(), 0);
    // A change from elsewhere too.
    ActivePreset(state()).update([](DisplayConfig &preset) {
        preset.elements[0].label =
            "Watermark applied by Ostrevale for the festival copy of reel five";
    });
    EXPECT_EQ(label->text().left(9), QStringLiteral("Watermark"));
    EXPECT_EQ(label->cursorPosition(), 0);
}

TEST_F(ElementEditorView, ALongFieldNameIsCutWithAnEllipsisAndListedWhole) {
    ElementEditor &view = editor(BurnInElement(MetadataField::stackedLayerReel));
    auto *picker = qobject_cast<corvane::CorvaneElidingComboBox *>(view.fieldPicker());
    ASSERT_NE(picker, nullptr);
    const QString name = picker->currentText();
    EXPECT_EQ(name, QString::fromUtf8("Stacked Layers \u2014 Reel/File + Frame # Block"));
    // As wide as the editor panel makes it.
    picker->resize(190, picker->sizeHint().height());
    const QString shown = picker->shownText();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(name.startsWith(shown.chopped(1)));
    picker->resize(600, picker->sizeHint().height());
    EXPECT_EQ(picker->shownText(), name);

    // The menu lists it whole.
    picker->resize(190, picker->sizeHint().height());
    picker->showPopup();
    EXPECT_GE(picker->view()->width(), picker->view()->sizeHintForColumn(0));
    picker->hidePopup();
}

TEST_F(ElementEditorView, ControlsWriteTheirMember) {
    BurnInElement edited(MetadataField::sourceTC);
    ElementEditor &view = editor(edited);
    // The label is written once it is entered, not at each keystroke.
    type(view.labelField(), QStringLiteral("Sou"));
    EXPECT_EQ(element(0).label, "TC:");
    enter(view.labelField(), QStringLiteral("Source:"));
    EXPECT_EQ(element(0).label, "Source:");
    view.alignmentPicker()->setCurrentIndex(2);
    emit view.alignmentPicker()->activated(2);
    EXPECT_EQ(element(0).textAlignment, BurnInTextAlignment::right);
    view.backgroundSwitch()->click();
    EXPECT_FALSE(element(0).showBackground);
    // The background's colour and opacity stay, and stay editable.
    EXPECT_FALSE(view.row(backgroundColor)->isHidden());
    EXPECT_FALSE(view.row(backgroundOpacity)->isHidden());
    EXPECT_EQ(element(0).bgOpacity, 0.7);
    EXPECT_EQ(presetWrites, 3);

    picked = QColor::fromCmykF(0, 1, 1, 0, 0.5);
    view.textColor()->click();
    EXPECT_EQ((std::array{element(0).textR, element(0).textG, element(0).textB}),
              (std::array{1.0, 0.0, 0.0}));
    EXPECT_EQ(element(0).textOpacity, 1.0);
    EXPECT_EQ(view.textColor()->colour(), QColor::fromRgbF(1, 0, 0));
    picked.reset();
    presetWrites = 0;
    view.backgroundColor()->click();
    EXPECT_EQ(presetWrites, 0);
}

} // namespace
} // namespace tandrel::testing
