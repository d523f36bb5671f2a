// The layout editor's element list and element editor as a user meets them: chips in their
// states, and the editor of a timecode, a marker, a stacked-layer and a role element.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "tools/tandrel-screens/LayoutScreenWindow.h"

#include "designkit/CorvaneFloatingPanelColumn.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/ElementEditor.h"
#include "host/views/layout/ElementListView.h"
#include "host/views/layout/PlainButton.h"
#include "host/views/layout/RolePickerView.h"
#include "platform/runtime/MainQueue.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMetaObject>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

const std::vector<RoleGroup> roleGroups{
    {{"R-DIA", "Dialogue"}, {{"R-DIA-1", "Dialogue-1"}, {"R-DIA-2", "Dialogue-2"}}},
    {{"R-FX", "Effects"}, {}},
    {{"R-MUS", "Music"}, {{"R-MUS-1", "Score"}, {"R-MUS-2", "Source Music"}}},
    {{"R-VID", "Video"}, {}},
};

struct Scene {
    std::vector<BurnInElement> elements;
    // Selected, the first one primary.
    std::vector<std::size_t> selected = {};
    std::vector<RoleGroup> roles = roleGroups;
    // Runs on the shown pane.
    std::function<void(DisplaySettingsView &)> arrange = {};
};

BurnInElement element(MetadataField field, double y,
                      const std::function<void(BurnInElement &)> &edit = {}) {
    BurnInElement made(field);
    made.posY = y;
    if (edit) {
        edit(made);
    }
    return made;
}

// A user preset of the scene's elements in the pane, with the "Editor" panel open alone.
std::unique_ptr<QWidget> pane(Scene scene) {
    std::unique_ptr<AppState> state = screens::editorScreenState();
    DisplayConfig preset(Uuid::random(), "Dailies", false, scene.elements);
    std::vector<DisplayConfig> presets = state->presets();
    presets.push_back(preset);
    state->setPresets(presets);
    state->setActivePresetID(preset.id);
    std::set<Uuid> selection;
    for (const std::size_t index : scene.selected) {
        selection.insert(scene.elements[index].id);
    }
    state->setSelectedElementIDs(selection);
    if (!scene.selected.empty()) {
        state->setSelectedElementID(scene.elements[scene.selected.front()].id);
    }

    auto ground = std::make_unique<screens::LayoutScreenWindow>(std::move(state));
    DisplaySettingsView::Services paneServices = DisplaySettingsView::Services::standard();
    paneServices.roles = std::make_shared<RoleTable>(scene.roles);
    auto *view = new DisplaySettingsView(
        ground->state(), false, [](const QString &) {}, paneServices);
    for (const RightPanel panel : {RightPanel::settings, RightPanel::bulkStyle}) {
        view->togglePanel(panel);
    }
    view->panelColumn()->setVisible(true);
    ground->layout()->addWidget(view);
    platform::MainQueue::runPending();
    if (scene.arrange) {
        scene.arrange(*view);
    }
    return ground;
}

void openRoleGroup(DisplaySettingsView &view, const std::string &uuid) {
    if (auto *picker = view.findChild<RolePickerView *>()) {
        if (QAbstractButton *open = picker->disclosure(uuid)) {
            open->click();
        }
    }
}

const QSize size{940, 780};
// The pane as a main window of the opening size holds it beside the sidebar.
const QSize inMainWindow{924, 760};

// A custom text of 98 characters, as a user types a long one.
const char *longLabel = "Watermark applied by Ostrevale Post for the festival review copy of "
                        "reel five, not for release yet";

// Opens the "Add Element..." menu once the pane is on screen, and shows it where it opens,
// as part of the picture (a menu is a window of its own).
void showAddMenu(DisplaySettingsView &view) {
    QMetaObject::invokeMethod(
        &view,
        [&view] {
            view.elementList()->addButton()->click();
            QMenu *menu = view.elementList()->addMenu();
            const QPixmap shot = menu->grab();
            const QPoint at = view.window()->mapFromGlobal(menu->pos());
            menu->hide();
            auto *picture = new QLabel(view.window());
            picture->setPixmap(shot);
            picture->setGeometry(QRect(at, shot.size()));
            picture->show();
            picture->raise();
        },
        Qt::QueuedConnection);
}

const tandrel::screens::ScreenRegistration screens{
    {"editor-elements-chips", size,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05),
                                   element(MetadataField::clipName, 0.1),
                                   element(MetadataField::reel, 0.15,
                                           [](BurnInElement &e) { e.isEnabled = false; }),
                                   element(MetadataField::roleText, 0.2),
                                   element(MetadataField::projectTC, 0.25),
                                   element(MetadataField::stackedLayerReel, 0.3),
                                   element(MetadataField::markerNameAndNote, 0.35),
                                   element(MetadataField::speed, 0.4,
                                           [](BurnInElement &e) { e.isEnabled = false; })},
                      .selected = {0, 1, 2}});
     }},
    {"editor-elements-long-label", inMainWindow,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05),
                                   element(MetadataField::custom, 0.1,
                                           [](BurnInElement &e) { e.label = longLabel; }),
                                   element(MetadataField::clipName, 0.15)},
                      .selected = {1}});
     }},
    {"editor-elements-add-menu", inMainWindow,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05),
                                   element(MetadataField::clipName, 0.1)},
                      .arrange = showAddMenu});
     }},
    {"editor-element-sourcetc", size,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05,
                                           [](BurnInElement &e) {
                                               e.fontSize = 32;
                                               e.textR = 1;
                                               e.textG = 0.85;
                                               e.textB = 0.2;
                                           }),
                                   element(MetadataField::clipName, 0.1)},
                      .selected = {0}});
     }},
    {"editor-element-marker", size,
     [](const ScreenContext &) {
         return pane(
             {.elements = {element(MetadataField::sourceTC, 0.05),
                           element(MetadataField::markerName, 0.1,
                                   [](BurnInElement &e) {
                                       e.markerTypes = {MarkerType::chapter, MarkerType::standard};
                                   })},
              .selected = {1}});
     }},
    {"editor-element-stackedreel", size,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05),
                                   element(MetadataField::stackedLayerReel, 0.1,
                                           [](BurnInElement &e) {
                                               e.stackedLayerPrefixPosition =
                                                   StackedLayerPrefixPosition::afterValue;
                                               e.stackedLayerV1OnTop = false;
                                           })},
                      .selected = {1}});
     }},
    {"editor-element-roles", size,
     [](const ScreenContext &) {
         return pane({.elements = {element(MetadataField::sourceTC, 0.05),
                                   element(MetadataField::roleText, 0.1,
                                           [](BurnInElement &e) {
                                               e.label = "DX";
                                               e.roleFilterUIDs = {"R-DIA-1", "R-MUS"};
                                               e.roleDisplayMode = RoleDisplayMode::roleName;
                                           })},
                      .selected = {1},
                      .arrange = [](DisplaySettingsView &view) { openRoleGroup(view, "R-DIA"); }});
     }},
    {"editor-element-roles-empty", size,
     [](const ScreenContext &) {
         return pane(
             {.elements = {element(MetadataField::roleText, 0.05)}, .selected = {0}, .roles = {}});
     }},
};

} // namespace
