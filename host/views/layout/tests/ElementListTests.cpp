#include "host/views/common/tests/ViewTestSupport.h"

#include "designkit/Color.h"
#include "designkit/CorvaneChipChrome.h"
#include "designkit/CorvaneSymbolView.h"
#include "designkit/Palette.h"
#include "host/views/common/ElidedLabel.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/ElementChip.h"
#include "host/views/layout/ElementEditor.h"
#include "host/views/layout/ElementList.h"
#include "host/views/layout/ElementListView.h"
#include "host/views/layout/PlainButton.h"
#include "host/views/layout/RolePickerView.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <ranges>

namespace tandrel::testing {
namespace {

BurnInElement made(MetadataField field, const std::string &label) {
    BurnInElement element(field);
    element.label = label;
    return element;
}

QStringList titles(QMenu *menu) {
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction *action : menu->actions()) {
        texts.push_back(action->isSeparator() ? QStringLiteral("—") : action->text());
    }
    return texts;
}

void trigger(QMenu *menu, const QString &title) {
    emit menu->aboutToShow();
    for (QAction *action : menu->actions()) {
        if (action->text() == title) {
            action->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no item " << title.toStdString();
}

TEST(ElementListNewElement, StacksUpwardsWithTheBulkStyleButNotItsAlignment) {
    const BulkStyleValues initial;
    const BurnInElement tenth = ElementList::newElement(MetadataField::sourceTC, 9, initial);
    EXPECT_DOUBLE_EQ(tenth.posX, 0.05);
    EXPECT_DOUBLE_EQ(tenth.posY, 0.5);
    // Not kept inside the picture.
    EXPECT_DOUBLE_EQ(ElementList::newElement(MetadataField::sourceTC, 19, initial).posY, 1.0);
    EXPECT_DOUBLE_EQ(ElementList::newElement(MetadataField::sourceTC, 30, initial).posY, 1.55);

    // With the bulk style at its start, a new element is the element defaults.
    BurnInElement expected(MetadataField::sourceTC);
    expected.id = tenth.id;
    expected.posY = tenth.posY;
    EXPECT_EQ(tenth, expected);
    EXPECT_EQ(tenth.label, "TC:");

    BulkStyleValues styled;
    styled.fontSize = 40;
    styled.textAlignment = BurnInTextAlignment::right;
    styled.textColor = QColor::fromRgbF(1, 0.5, 0, 0.5);
    styled.textOpacity = 0.8;
    styled.showBackground = false;
    styled.bgColor = QColor::fromCmykF(0, 0, 0, 0.5);
    styled.bgOpacity = 0.25;
    const BurnInElement seeded = ElementList::newElement(MetadataField::clipName, 0, styled);
    EXPECT_EQ(seeded.fontSize, 40);
    EXPECT_EQ(seeded.textAlignment, BurnInTextAlignment::left);
    EXPECT_EQ(seeded.textR, 1.0);
    EXPECT_NEAR(seeded.textG, 0.5, 1e-4);
    EXPECT_EQ(seeded.textB, 0.0);
    EXPECT_EQ(seeded.textOpacity, 0.8);
    EXPECT_FALSE(seeded.showBackground);
    EXPECT_NEAR(seeded.bgR, 0.5, 0.01);
    EXPECT_EQ(seeded.bgR, seeded.bgG);
    EXPECT_EQ(seeded.bgG, seeded.bgB);
    EXPECT_EQ(seeded.bgOpacity, 0.25);
    // A colour that cannot be read keeps white text.
    styled.textColor = QColor();
    const BurnInElement unreadable = ElementList::newElement(MetadataField::clipName, 0, styled);
    EXPECT_EQ((std::array{unreadable.textR, unreadable.textG, unreadable.textB}),
              (std::array{1.0, 1.0, 1.0}));
}

TEST(ElementListNewElement, LabelsAndChipNames) {
    const struct {
        MetadataField field;
        std::string label;
        std::string secondaryLabel;
        std::string chipName;
    } cases[] = {
        {MetadataField::stackedLayerReel, "REEL", "SRC FRM#", "REEL"},
        {MetadataField::stackedLayerSlate, "SLATE", "SRC", "SLATE"},
        {MetadataField::sourceTC, "TC:", "", "TC:"},
        {MetadataField::clipName, "", "", "Clip Name"},
        {MetadataField::roleText, "", "", "Role Text"},
        {MetadataField::markerNameAndNote, "", "", "Marker Name + Note"},
    };
    for (const auto &[field, label, secondaryLabel, chipName] : cases) {
        SCOPED_TRACE(std::string(field.rawValue()));
        const BurnInElement element = ElementList::newElement(field, 0, BulkStyleValues());
        EXPECT_EQ(element.label, label);
        EXPECT_EQ(element.secondaryLabel, secondaryLabel);
        EXPECT_EQ(ElementList::chipName(element), chipName);
        EXPECT_EQ(ElementList::removeLabel(element), "Remove " + chipName);
    }
}

TEST(ElementListNewElement, RoleWarningOnlyForRoleTextWithoutRoles) {
    BurnInElement role(MetadataField::roleText);
    EXPECT_TRUE(ElementList::showsRoleWarning(role));
    role.roleFilterUIDs = {"R1"};
    EXPECT_FALSE(ElementList::showsRoleWarning(role));
    EXPECT_FALSE(ElementList::showsRoleWarning(BurnInElement(MetadataField::custom)));
}

using ElementListAdd = ElementTest;

TEST_F(ElementListAdd, AppendsInOneWriteAndSelectsTheNewElementAlone) {
    usePreset({made(MetadataField::sourceTC, "TC:"), made(MetadataField::clipName, "")});
    state().setSelectedElementIDs({element(0).id, element(1).id});
    const std::optional<Uuid> added = ElementList::addElement(state(), MetadataField::reel, bulk);
    ASSERT_TRUE(added);
    EXPECT_EQ(presetWrites, 1);
    ASSERT_EQ(elements().size(), 3u);
    EXPECT_EQ(element(2).id, *added);
    EXPECT_DOUBLE_EQ(element(2).posY, 0.15);
    EXPECT_EQ(state().selectedElementID(), added);
    EXPECT_EQ(state().selectedElementIDs(), std::set<Uuid>{*added});
}

TEST_F(ElementListAdd, WithoutAnActivePresetNothingHappens) {
    usePreset({});
    state().setActivePresetID(Uuid::random());
    EXPECT_FALSE(ElementList::addElement(state(), MetadataField::reel, bulk));
    EXPECT_EQ(presetWrites, 0);
    EXPECT_FALSE(state().selectedElementID());
}

class ElementListChips : public ElementTest {
protected:
    // The list on a preset of A ("TC:"), B (no label, clip name) and C ("Reel:").
    ElementListView &list() {
        if (!list_) {
            usePreset({made(MetadataField::sourceTC, "TC:"), made(MetadataField::clipName, ""),
                       made(MetadataField::reel, "Reel:")});
            list_ = std::make_unique<ElementListView>(state(), bulk, [this] { ++editorOpened; });
        }
        return *list_;
    }
    ElementChip &chip(std::size_t index) { return *list().chips().at(index); }
    void click(std::size_t index, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(chip(index).selectButton(), Qt::LeftButton, modifiers);
    }
    std::set<Uuid> ids(std::initializer_list<std::size_t> indexes) {
        std::set<Uuid> selected;
        for (const std::size_t index : indexes) {
            selected.insert(element(index).id);
        }
        return selected;
    }

    int editorOpened = 0;
    std::unique_ptr<ElementListView> list_;
};

TEST_F(ElementListChips, ShowsAChipPerElementThenTheAddMenu) {
    ASSERT_EQ(list().chips().size(), 3u);
    EXPECT_EQ(chip(0).nameLabel()->text(), QStringLiteral("TC:"));
    EXPECT_EQ(chip(1).nameLabel()->text(), QStringLiteral("Clip Name"));
    EXPECT_EQ(chip(1).removeButton()->accessibleName(), QStringLiteral("Remove Clip Name"));
    EXPECT_EQ(list().addButton()->text(), QStringLiteral("Add Element..."));
    EXPECT_EQ(list().layout()->indexOf(list().addButton()->parentWidget()), 3);
}

TEST_F(ElementListChips, TheAddMenuStandsInTheRowAsAChipOfTheirSizeAndLine) {
    list().resize(900, 200);
    list().show();
    QCoreApplication::sendPostedEvents();
    list().layout()->activate();
    QWidget *add = list().addButton()->parentWidget();
    const QRect first = chip(0).geometry();
    EXPECT_EQ(add->geometry().top(), first.top());
    EXPECT_EQ(add->height(), first.height());
    // The label's text sits on the chip name's line.
    const auto textCentre = [this](const QWidget *widget) {
        return widget->mapTo(&list(), widget->rect().center()).y();
    };
    EXPECT_NEAR(textCentre(list().addButton()), textCentre(chip(0).nameLabel()), 1);
    EXPECT_EQ(list().addButton()->font(), chip(1).nameLabel()->font());
}

TEST_F(ElementListChips, ClicksAndShiftClicksSelect) {
    click(0);
    EXPECT_EQ(state().selectedElementIDs(), ids({0}));
    EXPECT_TRUE(chip(0).chrome()->isSelected());
    EXPECT_EQ(chip(0).nameLabel()->font().weight(), QFont::DemiBold);
    EXPECT_EQ(chip(1).nameLabel()->font().weight(), QFont::Medium);
    EXPECT_EQ(editorOpened, 1);

    // A second plain click deselects, and still opens the editor panel.
    click(0);
    EXPECT_TRUE(state().selectedElementIDs().empty());
    EXPECT_FALSE(state().selectedElementID());
    EXPECT_FALSE(chip(0).chrome()->isSelected());
    EXPECT_EQ(editorOpened, 2);

    click(0);
    click(1, Qt::ShiftModifier);
    click(2, Qt::ShiftModifier);
    EXPECT_EQ(state().selectedElementIDs(), ids({0, 1, 2}));
    EXPECT_EQ(state().selectedElementID(), element(2).id);
    // Shift-click on the primary takes it out; another selected element becomes primary.
    click(2, Qt::ShiftModifier);
    EXPECT_EQ(state().selectedElementIDs(), ids({0, 1}));
    ASSERT_TRUE(state().selectedElementID());
    EXPECT_TRUE(ids({0, 1}).contains(*state().selectedElementID()));
    // Shift-click on one that is not the primary keeps the primary.
    const Uuid primary = *state().selectedElementID();
    const std::size_t other = primary == element(0).id ? 1 : 0;
    click(other, Qt::ShiftModifier);
    EXPECT_EQ(state().selectedElementID(), primary);
    click(primary == element(0).id ? 0 : 1, Qt::ShiftModifier);
    EXPECT_TRUE(state().selectedElementIDs().empty());
    EXPECT_FALSE(state().selectedElementID());

    // A plain click on one chip of a multi-selection leaves it selected alone.
    click(0);
    click(1, Qt::ShiftModifier);
    click(0);
    EXPECT_EQ(state().selectedElementIDs(), ids({0}));
    EXPECT_EQ(state().selectedElementID(), element(0).id);
    EXPECT_EQ(presetWrites, 0);
}

TEST_F(ElementListChips, RemovingThePrimaryMovesThePrimary) {
    click(0);
    click(1, Qt::ShiftModifier);
    const Uuid removed = element(1).id;
    const Uuid kept = element(0).id;
    chip(1).removeButton()->click();
    EXPECT_EQ(presetWrites, 1);
    ASSERT_EQ(elements().size(), 2u);
    EXPECT_EQ(state().selectedElementIDs(), std::set<Uuid>{kept});
    EXPECT_EQ(state().selectedElementID(), kept);
    EXPECT_EQ(list().chip(removed), nullptr);
    EXPECT_EQ(list().chips().size(), 2u);

    chip(0).removeButton()->click();
    EXPECT_TRUE(state().selectedElementIDs().empty());
    EXPECT_FALSE(state().selectedElementID());
}

TEST_F(ElementListChips, TheSwitchWritesTheElementAndDimsTheChip) {
    chip(1).enableSwitch()->click();
    EXPECT_EQ(presetWrites, 1);
    EXPECT_FALSE(element(1).isEnabled);
    EXPECT_FALSE(chip(1).enableSwitch()->isChecked());
    EXPECT_EQ(corvane::foregroundOf(chip(1).nameLabel()), corvane::Color::corvaneTextTertiary());
    // Selected while disabled: the selected chrome stays.
    click(1);
    EXPECT_TRUE(chip(1).chrome()->isSelected());
}

TEST_F(ElementListChips, CopyThenPasteTwiceAddsTwoElementsAtTheCopiedPlace) {
    const QString fieldName = QStringLiteral("Source TC");
    // Nothing to paste before a copy.
    EXPECT_EQ(titles(chip(0).contextMenu()), QStringList{QStringLiteral("Copy")});
    EXPECT_EQ(titles(list().addMenu()).front(), fieldName);
    EXPECT_EQ(titles(list().addMenu()).size(), 23);

    std::vector<BurnInElement> edited = elements();
    edited[2].posX = 0.4;
    edited[2].posY = 0.7;
    std::vector<DisplayConfig> presets = state().presets();
    presets.front().elements = edited;
    state().setPresets(presets);
    trigger(chip(2).contextMenu(), QStringLiteral("Copy"));
    EXPECT_EQ(titles(chip(0).contextMenu()),
              (QStringList{QStringLiteral("Copy"), QStringLiteral("Paste")}));
    const QStringList addItems = titles(list().addMenu());
    EXPECT_EQ(addItems.mid(0, 3),
              (QStringList{QStringLiteral("Paste Element"), QStringLiteral("—"), fieldName}));

    presetWrites = 0;
    trigger(list().addMenu(), QStringLiteral("Paste Element"));
    trigger(chip(0).contextMenu(), QStringLiteral("Paste"));
    EXPECT_EQ(presetWrites, 2);
    ASSERT_EQ(elements().size(), 5u);
    EXPECT_NE(element(3).id, element(4).id);
    EXPECT_NE(element(3).id, element(2).id);
    for (const std::size_t pasted : {3, 4}) {
        EXPECT_EQ(element(pasted).label, "Reel:");
        EXPECT_EQ(element(pasted).posX, 0.4);
        EXPECT_EQ(element(pasted).posY, 0.7);
    }
    EXPECT_EQ(state().selectedElementIDs(), std::set<Uuid>{element(4).id});
    EXPECT_EQ(list().chips().size(), 5u);
}

TEST_F(ElementListChips, AddingSelectsWithoutOpeningTheEditor) {
    list();
    bulk.fontSize = 40;
    trigger(list().addMenu(), QStringLiteral("Role Text"));
    ASSERT_EQ(elements().size(), 4u);
    EXPECT_EQ(element(3).field, MetadataField::roleText);
    EXPECT_EQ(element(3).fontSize, 40);
    EXPECT_EQ(editorOpened, 0);
    EXPECT_EQ(state().selectedElementID(), element(3).id);
    EXPECT_EQ(chip(3).nameLabel()->text(), QStringLiteral("Role Text"));
}

TEST_F(ElementListChips, TheRoleWarningComesAndGoes) {
    BurnInElement role(MetadataField::roleText);
    usePreset({role});
    ElementListView view(state(), bulk, {});
    ElementChip &roleChip = *view.chips().front();
    EXPECT_FALSE(roleChip.warningIcon()->isHidden());
    // The kit's tooltip names the icon with its text.
    EXPECT_EQ(roleChip.warningIcon()->accessibleName(),
              QStringLiteral("No roles selected — won't show anything"));
    RolePickerView picker(
        state(), role.id,
        std::make_shared<RoleTable>(std::vector<RoleGroup>{{{"R1", "Music"}, {}}}));
    platform::MainQueue::runPending();
    picker.row("R1")->click();
    EXPECT_TRUE(roleChip.warningIcon()->isHidden());
    picker.row("R1")->click();
    EXPECT_FALSE(roleChip.warningIcon()->isHidden());
}

TEST_F(ElementListChips, WithoutAnActivePresetTheDefaultChipsShowAndWritesAreDropped) {
    list();
    state().setActivePresetID(Uuid::random());
    ASSERT_EQ(list().chips().size(), 2u);
    EXPECT_EQ(chip(0).nameLabel()->text(), QStringLiteral("TC:"));
    EXPECT_EQ(chip(1).nameLabel()->text(), QStringLiteral("Clip Name"));
    presetWrites = 0;
    chip(0).enableSwitch()->click();
    chip(0).removeButton()->click();
    trigger(list().addMenu(), QStringLiteral("Reel"));
    EXPECT_EQ(presetWrites, 0);
}

using ElementListPane = ElementTest;

// A chip wider than its row: alone on it, its name cut short with "…" and its ✕ whole, the
// chips after it and the add menu on the rows below, all inside the list's width; the list
// asks for no more width than its narrowest chip can be.
TEST_F(ElementListPane, ALongLabelsChipIsElidedOnARowOfItsOwnAndTheRestStaysInReach) {
    const std::string label = "Watermark applied by Ostrevale Post for the festival review copy "
                              "of reel five, not for release yet";
    ASSERT_EQ(label.size(), 98u);
    usePreset({made(MetadataField::sourceTC, "TC:"), made(MetadataField::custom, label),
               made(MetadataField::clipName, "")});
    const BulkStyleValues bulk;
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *list = new ElementListView(state(), bulk, {});
    column->addWidget(list);
    column->addStretch(1);
    window.resize(480, 400);
    window.show();
    QCoreApplication::sendPostedEvents();
    window.layout()->activate();

    EXPECT_LT(list->layout()->minimumSize().width(), 240);
    ElementChip &long_ = *list->chips().at(1);
    const QRect inList(QPoint(0, 0), list->size());
    ASSERT_LE(long_.sizeHint().width(), 2000);
    ASSERT_GT(long_.sizeHint().width(), list->width());
    EXPECT_TRUE(inList.contains(long_.geometry())) << long_.geometry().width();
    EXPECT_EQ(long_.x(), 0);
    EXPECT_GT(long_.y(), list->chips().at(0)->geometry().bottom());
    EXPECT_TRUE(long_.nameLabel()->isElided());
    EXPECT_TRUE(long_.nameLabel()->shownText().endsWith(QChar(0x2026)));
    EXPECT_FALSE(long_.nameLabel()->shownText().endsWith(QStringLiteral(" \u2026")));
    // The ✕ whole, inside the chip.
    QAbstractButton *remove = long_.removeButton();
    EXPECT_TRUE(remove->isVisible());
    EXPECT_TRUE(long_.rect().contains(QRect(remove->mapTo(&long_, QPoint(0, 0)), remove->size())));
    for (QWidget *after :
         {static_cast<QWidget *>(list->chips().at(2)), list->addButton()->parentWidget()}) {
        EXPECT_TRUE(after->isVisible());
        EXPECT_TRUE(inList.contains(after->geometry()));
        EXPECT_GT(after->y(), long_.geometry().bottom());
    }
}

TEST_F(ElementListPane, AChipClickOpensTheEditorPanelAndAddingDoesNot) {
    usePreset({made(MetadataField::sourceTC, "TC:")});
    DisplaySettingsView::Services services = DisplaySettingsView::Services::standard();
    services.pickColor = [](QWidget *, const QColor &, const ColorWell::Picked &) {};
    services.roles = std::make_shared<RoleTable>(std::vector<RoleGroup>{});
    DisplaySettingsView pane(state(), false, {}, services);
    pane.togglePanel(RightPanel::editor);
    ASSERT_FALSE(pane.activePanels().contains(RightPanel::editor));
    trigger(pane.elementList()->addMenu(), QStringLiteral("Reel"));
    EXPECT_FALSE(pane.activePanels().contains(RightPanel::editor));
    QTest::mouseClick(pane.elementList()->chips().front()->selectButton(), Qt::LeftButton);
    EXPECT_TRUE(pane.activePanels().contains(RightPanel::editor));
    EXPECT_EQ(state().selectedElementID(), element(0).id);
    EXPECT_NE(pane.editorContent()->findChild<ElementEditor *>(), nullptr);
}

} // namespace
} // namespace tandrel::testing
