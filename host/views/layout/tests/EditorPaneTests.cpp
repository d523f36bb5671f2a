// The layout editor pane, offscreen, on the state object with stand-ins: its panels, the
// validation window it opens, the preset row and the "Settings" panel per preset kind, and
// its texts.

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvanePanelToggleButton.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneTooltip.h"
#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/AspectRatioPickerView.h"
#include "host/views/layout/BulkStylePanel.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/PlainButton.h"
#include "host/views/layout/PresetPickerRow.h"
#include "host/views/layout/PresetSettingsPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>

namespace tandrel::testing {
namespace {

using corvane::CorvaneFloatingPanel;

class EditorPaneTest : public EditorTest {
protected:
    void TearDown() override {
        pane_.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EditorTest::TearDown();
    }

    DisplaySettingsView &pane() {
        if (!pane_) {
            DisplaySettingsView::Services services{
                .makeCanvas = [](AppState &) -> QWidget * { return new QWidget; },
                .makeValidationTile = [this](AppState &) -> QWidget * {
                    ++tilesMade;
                    return new QLabel(QStringLiteral("tile %1").arg(tilesMade));
                },
                .makeElementEditor = [](DisplaySettingsView &, const Uuid &id) -> QWidget * {
                    return new QLabel(QString::fromStdString(id.uuidString()));
                },
                .presetFiles = {},
                .confirmReset =
                    [this](QWidget *, const QString &title, const QString &message) {
                        asked.emplace_back(title, message);
                        askedWhileFlagSet = pane_->showResetPresetConfirm();
                        return confirm;
                    },
                .afterRenameDelay =
                    [this](QObject *context, std::function<void()> work) {
                        delayedContext = context;
                        delayed = std::move(work);
                    },
                .pickColor = [](QWidget *, const QColor &) { return std::nullopt; },
            };
            pane_ = std::make_unique<DisplaySettingsView>(
                state(), false, [this](const QString &id) { opened.push_back(id); },
                std::move(services));
            pane_->resize(1000, 800);
        }
        return *pane_;
    }

    // The open panels, top to bottom in the column.
    std::vector<QString> column() {
        std::vector<std::pair<int, QString>> placed;
        for (const RightPanel panel : RightPanel::allCases()) {
            if (CorvaneFloatingPanel *view = pane().panelView(panel)) {
                placed.emplace_back(view->parentWidget()->layout()->indexOf(view),
                                    QString::fromUtf8(panel.title().data()));
            }
        }
        std::ranges::sort(placed);
        std::vector<QString> titles;
        for (const auto &[index, title] : placed) {
            titles.push_back(title);
        }
        return titles;
    }
    void press(RightPanel panel) { pane().panelSwitches().at(panel)->click(); }
    PresetSettingsPanel &settings() { return *pane().settingsContent(); }
    QString tooltip(QWidget *widget) {
        auto *modifier = widget->findChild<corvane::CorvaneTooltipModifier *>();
        return modifier != nullptr ? modifier->text() : QString();
    }
    // The texts of the labels inside a widget.
    QStringList labels(QWidget *within) {
        QStringList texts;
        for (const QLabel *label : within->findChildren<QLabel *>()) {
            texts << label->text();
        }
        return texts;
    }
    // What the "Editor" panel shows: the element editor's text, or the hint.
    QStringList editorShows() {
        QStringList texts;
        for (const QLabel *label : pane().editorContent()->findChildren<QLabel *>()) {
            if (!label->isHidden()) {
                texts << label->text();
            }
        }
        return texts;
    }

    corvane::ManualClock kitClock;
    corvane::ScopedClock scopedKitClock{kitClock};
    std::unique_ptr<DisplaySettingsView> pane_;
    std::vector<QString> opened;
    int tilesMade = 0;
    std::vector<std::pair<QString, QString>> asked;
    bool askedWhileFlagSet = false;
    bool confirm = false;
    QObject *delayedContext = nullptr;
    std::function<void()> delayed;
};

TEST_F(EditorPaneTest, ANewPaneOpensThreePanelsAndKeepsTheirOrderWhateverTheOpeningOrder) {
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Settings", "Bulk Style"}));
    std::vector<QString> helps;
    for (const auto &[panel, toggle] : pane().panelSwitches()) {
        helps.push_back(toggle->helpText());
        EXPECT_EQ(toggle->isActive(), panel != RightPanel::validate);
    }
    EXPECT_EQ(helps, (std::vector<QString>{"Editor", "Settings", "Bulk Style", "Validate"}));

    for (const RightPanel panel :
         {RightPanel::editor, RightPanel::settings, RightPanel::bulkStyle}) {
        press(panel);
    }
    kitClock.advance(std::chrono::seconds(1));
    EXPECT_TRUE(column().empty());
    EXPECT_TRUE(pane().panelColumn()->isHidden());
    EXPECT_EQ(pane().panelSwitches().size(), 4U);
    for (const auto &[panel, toggle] : pane().panelSwitches()) {
        EXPECT_FALSE(toggle->isActive());
    }

    press(RightPanel::validate);
    press(RightPanel::editor);
    EXPECT_FALSE(pane().panelColumn()->isHidden());
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Validate"}));
    press(RightPanel::bulkStyle);
    press(RightPanel::settings);
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Settings", "Bulk Style", "Validate"}));

    // A panel's own close button closes it.
    pane().panelView(RightPanel::settings)->closeButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Bulk Style", "Validate"}));
    EXPECT_FALSE(pane().panelSwitches().at(RightPanel::settings)->isActive());
}

TEST_F(EditorPaneTest, ValidateGetsANewTileEachTimeAndItsExpandButtonOpensTheWindow) {
    press(RightPanel::validate);
    EXPECT_EQ(tilesMade, 1);
    const QPointer<QWidget> first = pane().validationTile();
    ASSERT_TRUE(first);
    press(RightPanel::validate);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(pane().panelView(RightPanel::validate), nullptr);
    EXPECT_FALSE(first);
    press(RightPanel::validate);
    EXPECT_EQ(tilesMade, 2);
    EXPECT_EQ(qobject_cast<QLabel *>(pane().validationTile())->text(), QStringLiteral("tile 2"));

    CorvaneFloatingPanel *validate = pane().panelView(RightPanel::validate);
    ASSERT_NE(validate->expandButton(), nullptr);
    validate->expandButton()->click();
    EXPECT_EQ(opened, std::vector<QString>{"fcpxmlValidation"});
    EXPECT_EQ(pane().panelView(RightPanel::validate), validate);
    for (const RightPanel panel :
         {RightPanel::editor, RightPanel::settings, RightPanel::bulkStyle}) {
        EXPECT_FALSE(pane().onExpandAction(panel));
        EXPECT_EQ(pane().panelView(panel)->expandButton(), nullptr);
    }
}

TEST_F(EditorPaneTest, ADroppedFCPXMLOpensTheValidationWindowOnlyOnAChangeToAnotherFile) {
    state().setPendingXMLDropURL(std::filesystem::path("/drops/first.fcpxml"));
    pane();
    EXPECT_TRUE(opened.empty());
    state().setPendingXMLDropURL(std::filesystem::path("/drops/first.fcpxml"));
    EXPECT_TRUE(opened.empty());
    state().setPendingXMLDropURL(std::filesystem::path("/drops/second.fcpxml"));
    EXPECT_EQ(opened, std::vector<QString>{"fcpxmlValidation"});
    // The window takes the file and clears it: that opens nothing.
    state().setPendingXMLDropURL(std::nullopt);
    EXPECT_EQ(opened.size(), 1U);
    state().setPendingXMLDropURL(std::filesystem::path("/drops/second.fcpxml"));
    EXPECT_EQ(opened.size(), 2U);
}

TEST_F(EditorPaneTest, ButtonsFollowThePresetsKind) {
    activate("Conform");
    PresetPickerRow &row = *pane().presetPicker();
    EXPECT_EQ(row.picker()->currentText(), QStringLiteral("Conform"));
    EXPECT_TRUE(row.renameButton()->isHidden());
    EXPECT_FALSE(settings().resetButton()->isHidden());
    EXPECT_TRUE(settings().deleteButton()->isHidden());
    EXPECT_TRUE(settings().nameField()->isHidden());
    EXPECT_FALSE(settings().builtInCaption()->isHidden());
    EXPECT_EQ(settings().builtInCaption()->text(),
              QString::fromUtf8("Built-in preset \u2014 edits apply immediately; duplicate to "
                                "rename"));

    // "New Preset" makes a user copy and opens "Settings" for it.
    press(RightPanel::settings);
    row.newPresetButton()->click();
    EXPECT_EQ(active().name, "Conform Copy");
    EXPECT_EQ(row.picker()->currentText(), QStringLiteral("Conform Copy"));
    ASSERT_NE(pane().settingsContent(), nullptr);
    EXPECT_FALSE(row.renameButton()->isHidden());
    EXPECT_TRUE(settings().resetButton()->isHidden());
    EXPECT_FALSE(settings().deleteButton()->isHidden());
    EXPECT_FALSE(settings().nameField()->isHidden());
    EXPECT_TRUE(settings().builtInCaption()->isHidden());

    // Typing renames at once, in the picker too.
    settings().nameField()->setText(QStringLiteral("Trailer"));
    emit settings().nameField()->textEdited(QStringLiteral("Trailer"));
    EXPECT_EQ(active().name, "Trailer");
    EXPECT_EQ(row.picker()->currentText(), QStringLiteral("Trailer"));

    // The picker chooses the active preset.
    emit row.picker()->activated(0);
    EXPECT_EQ(state().activePresetID(), state().presets().front().id);
}

TEST_F(EditorPaneTest, TheDeleteButtonOfTheOnlyPresetDoesNothing) {
    const Uuid mine = addUserPreset("Mine", {});
    state().setPresets({active()});
    state().setActivePresetID(mine);
    PlainButton *remove = settings().deleteButton();
    EXPECT_FALSE(remove->isHidden());
    EXPECT_TRUE(remove->isEnabled());
    remove->click();
    EXPECT_EQ(presetNames(), std::vector<std::string>{"Mine"});
}

TEST_F(EditorPaneTest, ResetAsksFirstAndResetsOnlyWhenConfirmed) {
    activate("Conform");
    ActivePreset(state()).update([](DisplayConfig &preset) { preset.elements.clear(); });
    settings().resetButton()->click();
    ASSERT_EQ(asked.size(), 1U);
    EXPECT_EQ(asked[0].first, QString::fromUtf8("Reset \u201C"
                                                "Conform\u201D to its factory default?"));
    EXPECT_EQ(asked[0].second,
              QStringLiteral("This discards any changes you've made to this built-in preset. "
                             "This can't be undone."));
    EXPECT_TRUE(askedWhileFlagSet);
    EXPECT_FALSE(pane().showResetPresetConfirm());
    EXPECT_TRUE(active().elements.empty());

    confirm = true;
    settings().resetButton()->click();
    EXPECT_FALSE(active().elements.empty());
    EXPECT_TRUE(active().isBuiltIn);
}

TEST_F(EditorPaneTest, TheResetDialogSaysResetOrCancel) {
    const std::unique_ptr<QMessageBox> box = DisplaySettingsView::resetConfirmation(
        nullptr, QStringLiteral("Reset?"), QStringLiteral("Gone."));
    EXPECT_EQ(box->text(), QStringLiteral("Reset?"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("Gone."));
    QStringList buttons;
    for (QAbstractButton *button : box->buttons()) {
        buttons << button->text() + QLatin1Char(':') + QString::number(box->buttonRole(button));
    }
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Cancel:%1").arg(QMessageBox::RejectRole),
                                    QStringLiteral("Reset:%1").arg(QMessageBox::DestructiveRole)}));
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Cancel"));
}

TEST_F(EditorPaneTest, RenameOpensSettingsAndMovesIntoTheNameFieldAfterTheDelay) {
    addUserPreset("Mine", {});
    press(RightPanel::settings);
    ASSERT_EQ(pane().settingsContent(), nullptr);
    pane().show();
    QApplication::setActiveWindow(&pane());
    pane().presetPicker()->renameButton()->click();
    ASSERT_NE(pane().settingsContent(), nullptr);
    EXPECT_TRUE(pane().panelSwitches().at(RightPanel::settings)->isActive());
    EXPECT_FALSE(settings().nameField()->hasFocus());
    ASSERT_TRUE(delayed);
    EXPECT_EQ(delayedContext, &pane());
    delayed();
    EXPECT_TRUE(settings().nameField()->hasFocus());
    EXPECT_EQ(DisplaySettingsView::renameFocusDelay, std::chrono::milliseconds(50));
}

TEST_F(EditorPaneTest, WithoutAnActivePresetTheCanvasAndTheEditorGiveWay) {
    activate("Conform");
    state().selectElement(active().elements.at(0).id, false);
    EXPECT_FALSE(pane().canvas()->parentWidget()->isHidden());
    EXPECT_TRUE(pane().noPresetLabel()->isHidden());
    EXPECT_EQ(editorShows(),
              QStringList{QString::fromStdString(active().elements.at(0).id.uuidString())});

    deactivate();
    EXPECT_TRUE(pane().canvas()->parentWidget()->isHidden());
    EXPECT_FALSE(pane().noPresetLabel()->isHidden());
    EXPECT_EQ(pane().noPresetLabel()->text(), QStringLiteral("No preset selected."));
    EXPECT_EQ(editorShows(), QStringList{QStringLiteral("Select an element to edit it.")});
    EXPECT_EQ(pane().activePreset().name, "Custom");
    EXPECT_EQ(pane().activePreset().elements.size(), 2U);

    // A switch turned on without a preset is off again at once, and nothing is stored.
    const std::vector<DisplayConfig> before = state().presets();
    settings().stackedLayersToggle()->click();
    EXPECT_FALSE(settings().stackedLayersToggle()->isChecked());
    EXPECT_EQ(state().presets(), before);
    EXPECT_EQ(settings().aspectRatioPicker()->menu()->currentText(), QStringLiteral("Full Frame"));
    EXPECT_EQ(settings().stackOrderPicker()->currentText(), QStringLiteral("Default"));
}

TEST_F(EditorPaneTest, TheEditorShowsOnlyAnElementOfTheActivePreset) {
    activate("Conform");
    const Uuid element = active().elements.at(0).id;
    state().selectElement(element, false);
    activate("Colorist");
    EXPECT_EQ(editorShows(), QStringList{QStringLiteral("Select an element to edit it.")});
    activate("Conform");
    EXPECT_EQ(editorShows(), QStringList{QString::fromStdString(element.uuidString())});
}

TEST_F(EditorPaneTest, OptionRowsWriteOnceAndFollowThePreset) {
    addUserPreset("Mine", {});
    const int writes = presetWrites;
    settings().stackedLayersToggle()->click();
    EXPECT_EQ(presetWrites, writes + 1);
    EXPECT_EQ(active().showStackedLayers, true);
    settings().stackedLayersToggle()->click();
    EXPECT_EQ(active().showStackedLayers, false);
    emit settings().stackOrderPicker()->activated(1);
    EXPECT_EQ(active().stackedLayersV1OnTop, true);
    emit settings().aspectRatioPicker()->menu()->activated(1);
    EXPECT_EQ(active().visiblePictureAspectRatio, 2.39);

    activate("Conform");
    EXPECT_FALSE(settings().stackedLayersToggle()->isChecked());
    EXPECT_EQ(settings().stackOrderPicker()->currentText(), QStringLiteral("Default"));
}

TEST_F(EditorPaneTest, HeaderMovesClearOfTheWindowControlsWhileTheSidebarIsCollapsed) {
    EXPECT_EQ(pane().headerInset(), 0);
    pane().setSidebarCollapsed(true);
    EXPECT_EQ(pane().headerInset(), 162);
    EXPECT_EQ(pane().headerIcon()->parentWidget()->layout()->contentsMargins().left(), 162);
    pane().setSidebarCollapsed(false);
    EXPECT_EQ(pane().headerIcon()->parentWidget()->layout()->contentsMargins().left(), 0);
}

TEST_F(EditorPaneTest, TextsTooltipsAndAccessibleNames) {
    activate("Conform");
    EXPECT_TRUE(labels(&pane()).contains(QStringLiteral("Display Settings")));
    QAbstractButton *separate = pane().separateWindowButton();
    EXPECT_EQ(tooltip(separate), QStringLiteral("Open as a separate, freely-movable window"));
    EXPECT_EQ(separate->accessibleName(), QStringLiteral("Open in Separate Window"));
    separate->click();
    EXPECT_EQ(opened, std::vector<QString>{"positionPreview"});

    const struct {
        QWidget *button;
        const char *tooltip;
        const char *name;
    } buttons[] = {
        {pane().presetPicker()->newPresetButton(), "New preset (duplicates the current one)",
         "New Preset"},
        {pane().presetPicker()->renameButton(), "Rename preset", "Rename Preset"},
        {settings().duplicateButton(), "Duplicate preset", "Duplicate"},
        {settings().exportButton(),
         "Export preset as .json \u2014 e.g. to ship as a factory default", "Export Preset"},
        {settings().importButton(), "Import preset from .json", "Import Preset"},
        {settings().resetButton(), "Reset to factory default", "Reset to Factory Default"},
        {settings().deleteButton(), "Delete preset", "Delete Preset"},
    };
    for (const auto &[button, tip, name] : buttons) {
        SCOPED_TRACE(name);
        EXPECT_EQ(tooltip(button), QString::fromUtf8(tip));
        EXPECT_EQ(button->accessibleName(), QString::fromUtf8(name));
    }
    EXPECT_EQ(settings().duplicateButton()->text(), QStringLiteral("Duplicate"));

    const QStringList shown = labels(&settings());
    for (const char *text : {
             "Visible Picture",
             "a visual reference line in the Position Preview \u2014 positioning stays free "
             "unless \"Constrain\" below is on",
             "off by default \u2014 lets you deliberately place titles in the letterbox/pillarbox "
             "bars",
             "adds Source TC/Frame/Reel/Scene-Shot/Source File for every stacked layer, directly "
             "below",
             "Stack order",
             "only affects the Stacked Layers \u2014 Reel/File and \u2014 Slate/TC composite "
             "elements",
             "off by default \u2014 when on, hides all burn-in elements while the playhead is "
             "over a title/generator placeholder (e.g. a black FILLER slate) with no real source "
             "clip",
         }) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_EQ(settings().constrainToggle()->text(), QStringLiteral("Constrain to visible picture"));
    EXPECT_EQ(settings().stackedLayersToggle()->text(),
              QString::fromUtf8("Show stacked video layers (V2, V3, \u2026)"));
    EXPECT_EQ(settings().hideOnGeneratorsToggle()->text(),
              QStringLiteral("Hide on generator/filler clips"));
    QStringList orders;
    for (int i = 0; i < settings().stackOrderPicker()->count(); ++i) {
        orders << settings().stackOrderPicker()->itemText(i);
    }
    EXPECT_EQ(orders, (QStringList{"Default", "V1 on top", "V1 on bottom"}));
    EXPECT_EQ(settings().stackOrderPicker()->maximumWidth(), 160);

    const QStringList bulk = labels(pane().bulkStyleContent());
    for (const char *title :
         {"Font Size", "Text Alignment", "Text Color", "Font Opacity", "Background Color"}) {
        EXPECT_TRUE(bulk.contains(QString::fromUtf8(title))) << title;
    }
}

} // namespace
} // namespace tandrel::testing
