// The layout editor pane, offscreen, on the state object with stand-ins: its panels, the
// validation window it opens, the preset row and the "Settings" panel per preset kind, and
// its texts.

#include "designkit/Color.h"
#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneElidingComboBox.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvanePanelToggleButton.h"
#include "designkit/CorvaneSymbolButton.h"
#include "designkit/CorvaneTooltip.h"
#include "designkit/Palette.h"
#include "host/views/common/tests/ViewTestSupport.h"
#include "host/views/layout/AspectRatioPickerView.h"
#include "host/views/layout/BulkStylePanel.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/ElementEditor.h"
#include "host/views/layout/PlainButton.h"
#include "host/views/layout/PresetPickerRow.h"
#include "host/views/layout/PresetSettingsPanel.h"
#include "host/views/layout/RolePickerModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace tandrel::testing {
namespace {

using corvane::CorvaneFloatingPanel;
using corvane::CorvaneFloatingPanelColumn;

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
                .makeElementEditor = [this](DisplaySettingsView &pane,
                                            const Uuid &id) -> QWidget * {
                    if (realEditors) {
                        return pane.makeElementEditor(id);
                    }
                    return new QLabel(QString::fromStdString(id.uuidString()));
                },
                .presetFiles = {},
                .confirmReset =
                    [this](QWidget *, const QString &title, const QString &message,
                           std::function<void(bool)> answer) {
                        asked.emplace_back(title, message);
                        answerReset = std::move(answer);
                    },
                .afterRenameDelay =
                    [this](QObject *context, std::function<void()> work) {
                        delayedContext = context;
                        delayed = std::move(work);
                    },
                .pickColor =
                    [this](QWidget *parent, const QColor &, ColorWell::Picked answer) {
                        colourAsker = parent;
                        answerColour = std::move(answer);
                        if (whilePicking) {
                            whilePicking();
                        }
                    },
            };
            services.roles = std::make_shared<RoleTable>(std::vector<RoleGroup>{});
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
    // The open reset question's answer.
    std::function<void(bool reset)> answerReset;
    // The "Editor" panel holds the real element editor, not a label naming the element.
    bool realEditors = false;
    // The open colour picker: the well that asked, its answer, and what happens while it is
    // open (before the picker's call returns, as under a dialog's loop of its own).
    QPointer<QWidget> colourAsker;
    ColorWell::Picked answerColour;
    std::function<void()> whilePicking;
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

TEST_F(EditorPaneTest, ASinglePanelComesAndGoesWithTheTransitionOnTheKitClock) {
    pane().show();
    QCoreApplication::sendPostedEvents();
    corvane::CorvaneFloatingPanelColumn *panels = pane().panelColumn();

    QPointer<CorvaneFloatingPanel> settingsPanel = pane().panelView(RightPanel::settings);
    press(RightPanel::settings);
    // Closed at once for the pane; on screen it fades out over 0.2 s.
    EXPECT_EQ(pane().panelView(RightPanel::settings), nullptr);
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Bulk Style"}));
    EXPECT_TRUE(panels->isRearranging());
    kitClock.advance(std::chrono::milliseconds(199));
    ASSERT_NE(settingsPanel, nullptr);
    EXPECT_TRUE(settingsPanel->isVisible());
    kitClock.advance(std::chrono::milliseconds(1));
    EXPECT_FALSE(panels->isRearranging());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(settingsPanel, nullptr);

    press(RightPanel::validate);
    EXPECT_EQ(column(), (std::vector<QString>{"Editor", "Bulk Style", "Validate"}));
    EXPECT_TRUE(panels->isRearranging());
    kitClock.advance(CorvaneFloatingPanelColumn::panelTransition);
    EXPECT_FALSE(panels->isRearranging());

    // Opened and closed by the preset row's buttons, not animated.
    addUserPreset("Mine", {});
    pane().presetPicker()->renameButton()->click();
    EXPECT_NE(pane().panelView(RightPanel::settings), nullptr);
    EXPECT_FALSE(panels->isRearranging());
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

    // An entered name renames the preset, in the picker too.
    enter(settings().nameField(), QStringLiteral("Trailer"));
    EXPECT_EQ(active().name, "Trailer");
    EXPECT_EQ(row.picker()->currentText(), QStringLiteral("Trailer"));

    // The picker chooses the active preset.
    emit row.picker()->activated(0);
    EXPECT_EQ(state().activePresetID(), state().presets().front().id);
}

// The preset row keeps its width whatever the names: the "+" stays where it is as a name
// grows, and a name of 616 characters is cut short with "…", its menu no wider than its bound.
TEST_F(EditorPaneTest, ThePresetPickerKeepsItsPlaceAndCutsLongNames) {
    const Uuid mine = addUserPreset("Mine", {});
    PresetPickerRow &row = *pane().presetPicker();
    pane().resize(1000, 700);
    pane().show();
    QCoreApplication::sendPostedEvents();
    const int plusAt = row.newPresetButton()->x();
    auto *picker = qobject_cast<corvane::CorvaneElidingComboBox *>(row.picker());
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->shownText(), QStringLiteral("Mine"));
    for (const std::string &name :
         {std::string("Mine, renamed for the trailer"), std::string(616, 'M')}) {
        SCOPED_TRACE(name.size());
        ActivePreset(state()).update([&name](DisplayConfig &preset) { preset.name = name; });
        QCoreApplication::sendPostedEvents();
        row.layout()->activate();
        EXPECT_EQ(row.newPresetButton()->x(), plusAt);
        // The name as every view shows it: 300 characters at most, elided in the middle.
        EXPECT_EQ(picker->currentText().toStdString(),
                  name.size() <= 300 ? name
                                     : std::string(150, 'M').append("\u2026").append(149, 'M'));
    }
    EXPECT_TRUE(picker->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(picker->popupWidth(), corvane::CorvaneElidingComboBox::maximumPopupWidth);
    EXPECT_EQ(state().activePresetID(), mine);
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
    EXPECT_TRUE(pane().showResetPresetConfirm());
    // One question at a time.
    settings().resetButton()->click();
    EXPECT_EQ(asked.size(), 1U);
    std::exchange(answerReset, nullptr)(false);
    EXPECT_FALSE(pane().showResetPresetConfirm());
    EXPECT_TRUE(active().elements.empty());

    settings().resetButton()->click();
    std::exchange(answerReset, nullptr)(true);
    EXPECT_FALSE(active().elements.empty());
    EXPECT_TRUE(active().isBuiltIn);
}

TEST_F(EditorPaneTest, TheResetDialogSaysResetOrCancel) {
    const std::unique_ptr<QMessageBox> box = DisplaySettingsView::resetConfirmation(
        nullptr, QStringLiteral("Reset \u201C<b>&\u201D?"), QStringLiteral("Gone."));
    // The question is the emphasised title, shown as it is written.
    QTextDocument title;
    title.setHtml(box->text());
    EXPECT_EQ(title.toPlainText(), QStringLiteral("Reset \u201C<b>&\u201D?"));
    EXPECT_GE(title.begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(box->textFormat(), Qt::RichText);
    EXPECT_EQ(box->informativeText(), QStringLiteral("Gone."));
    QStringList buttons;
    for (QAbstractButton *button : box->buttons()) {
        buttons << button->text() + QLatin1Char(':') + QString::number(box->buttonRole(button));
    }
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{QStringLiteral("Cancel:%1").arg(QMessageBox::RejectRole),
                                    QStringLiteral("Reset:%1").arg(QMessageBox::DestructiveRole)}));
    EXPECT_EQ(box->defaultButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(box->escapeButton(), box->defaultButton());
    // "Reset" is drawn as what cannot be undone; "Cancel" as any button.
    for (QAbstractButton *button : box->buttons()) {
        EXPECT_EQ(corvane::foregroundOf(button) == corvane::Color::red(),
                  box->buttonRole(button) == QMessageBox::DestructiveRole)
            << button->text().toStdString();
    }
}

// The editor panel (through the bridge) chooses another preset while the user is in a
// dialog: the dialog's answer must neither reach a view that is gone nor another preset.
TEST_F(EditorPaneTest, AColourChosenAfterTheEditorWentIsWrittenNowhere) {
    realEditors = true;
    for (const bool whileInThePickersCall : {false, true}) {
        SCOPED_TRACE(whileInThePickersCall ? "answered inside the picker's call"
                                           : "answered later");
        addUserPreset("Mine", {BurnInElement(MetadataField::sourceTC)});
        state().selectElement(active().elements.at(0).id, false);
        auto *editor = pane().editorContent()->findChild<ElementEditor *>();
        ASSERT_NE(editor, nullptr);
        const std::vector<DisplayConfig> before = state().presets();
        const auto switchElsewhere = [this] {
            activate("Conform");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            // The editor, its well and the element it edited are gone from the panel.
            EXPECT_EQ(colourAsker, nullptr);
            std::exchange(answerColour, nullptr)(QColor(Qt::red));
        };
        if (whileInThePickersCall) {
            whilePicking = switchElsewhere;
        }
        editor->textColor()->click();
        if (!whileInThePickersCall) {
            ASSERT_TRUE(answerColour);
            switchElsewhere();
        }
        whilePicking = nullptr;
        EXPECT_EQ(state().presets(), before);
        EXPECT_EQ(editorShows(), QStringList{QStringLiteral("Select an element to edit it.")});
    }
}

TEST_F(EditorPaneTest, TheResetConfirmationResetsThePresetItNamedOrNothing) {
    const auto named = [this](const std::string &name) {
        return *std::ranges::find(state().presets(), name, &DisplayConfig::name);
    };
    const auto edit = [this](const std::string &name) {
        activate(name);
        ActivePreset(state()).update([](DisplayConfig &preset) { preset.elements.clear(); });
    };
    edit("Colorist");
    edit("Conform");
    const Uuid conform = named("Conform").id;

    // Asked about "Conform"; "Colorist" is chosen elsewhere before the answer.
    settings().resetButton()->click();
    ASSERT_EQ(asked.size(), 1U);
    EXPECT_EQ(asked.back().first, QString::fromUtf8("Reset \u201CConform\u201D to its factory "
                                                    "default?"));
    activate("Colorist");
    std::exchange(answerReset, nullptr)(true);
    EXPECT_FALSE(named("Conform").elements.empty());
    EXPECT_EQ(named("Conform").id, conform);
    EXPECT_TRUE(named("Colorist").elements.empty());
    EXPECT_EQ(active().name, "Colorist");
    EXPECT_FALSE(pane().showResetPresetConfirm());

    // Asked about "Colorist", which is deleted before the answer: nothing is reset.
    settings().resetButton()->click();
    std::vector<DisplayConfig> rest = state().presets();
    std::erase_if(rest, [](const DisplayConfig &preset) { return preset.name == "Colorist"; });
    state().setPresets(rest, conform);
    edit("Conform");
    const std::vector<DisplayConfig> before = state().presets();
    std::exchange(answerReset, nullptr)(true);
    EXPECT_EQ(state().presets(), before);

    // The pane went before the answer: nothing happens.
    settings().resetButton()->click();
    pane_.reset();
    std::exchange(answerReset, nullptr)(true);
    EXPECT_EQ(state().presets(), before);
}

// A panel that scrolls never shows a row cut by its edge (a line of text cut mid-glyph).
TEST_F(EditorPaneTest, AScrollingPanelShowsWholeRowsOnly) {
    activate("Conform");
    pane().resize(1000, 560);
    pane().show();
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
    }
    auto *scroll = pane().panelView(RightPanel::settings)->findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    QScrollBar *bar = scroll->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the panel does not scroll at this size";
    for (const int value : {0, bar->maximum() / 3, bar->maximum() / 2, bar->maximum()}) {
        SCOPED_TRACE(value);
        bar->setValue(value);
        QCoreApplication::sendPostedEvents();
        QWidget *viewport = scroll->viewport();
        const QRegion shown =
            viewport->mask().isEmpty() ? QRegion(viewport->rect()) : viewport->mask();
        int whole = 0;
        for (QWidget *part : scroll->widget()->findChildren<QWidget *>()) {
            const bool leaf = qobject_cast<QLabel *>(part) || qobject_cast<QCheckBox *>(part) ||
                              qobject_cast<QComboBox *>(part) || qobject_cast<QLineEdit *>(part);
            if (!leaf || !part->isVisibleTo(scroll->widget())) {
                continue;
            }
            const QRect at(part->mapTo(viewport, QPoint(0, 0)), part->size());
            const QRegion inView = shown.intersected(at);
            EXPECT_TRUE(inView.isEmpty() || inView == QRegion(at))
                << part->metaObject()->className() << " at " << at.y();
            whole += inView.isEmpty() ? 0 : 1;
        }
        EXPECT_GT(whole, 0);
    }
}

TEST_F(EditorPaneTest, ANameIsWrittenOnceItIsTypedAndToThePresetItWasTypedFor) {
    const Uuid mine = addUserPreset("Mine", {});
    pane().show();
    QApplication::setActiveWindow(&pane());
    QLineEdit *name = settings().nameField();
    QComboBox *picker = pane().presetPicker()->picker();
    const auto named = [this](const Uuid &id) {
        return std::ranges::find(state().presets(), id, &DisplayConfig::id)->name;
    };

    name->setFocus(Qt::OtherFocusReason);
    name->clear();
    presetWrites = 0;
    QTest::keyClicks(name, QStringLiteral("Trailer"));
    EXPECT_EQ(presetWrites, 0);
    EXPECT_EQ(picker->currentText(), QStringLiteral("Mine"));
    // Left with a click elsewhere: written once.
    picker->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(named(mine), "Trailer");
    EXPECT_EQ(presetWrites, 1);
    EXPECT_EQ(picker->currentText(), QStringLiteral("Trailer"));

    // Another preset is chosen elsewhere while a name is typed: the name is the one typed for
    // the preset that was shown, and the field shows the new preset's.
    name->setFocus(Qt::OtherFocusReason);
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Teaser"));
    const Uuid other = addUserPreset("Other", {});
    EXPECT_EQ(named(mine), "Teaser");
    EXPECT_EQ(named(other), "Other");
    EXPECT_EQ(name->text(), QStringLiteral("Other"));
    activate("Conform");
    EXPECT_EQ(named(other), "Other");
    EXPECT_EQ(active().name, "Conform");
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
