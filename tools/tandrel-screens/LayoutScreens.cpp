// The layout editor pane as a user meets it: its panels on a built-in preset, without a
// preset, a user preset's settings, the settings scrolled to their end, the bulk style panel,
// a custom visible-picture ratio, a panel coming in, and the reset confirmation.
#include "tools/tandrel-screens/ScreenRegistry.h"

#include "tools/tandrel-screens/LayoutScreenWindow.h"
#include "tools/tandrel-screens/ScreenHover.h"

#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "host/state/AppState.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/PresetManagement.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

#include <set>

namespace {

using namespace tandrel;
using tandrel::screens::ScreenContext;

enum class Preset { builtIn, none, user };

// A pane on the built-in presets, with `panels` open.
std::unique_ptr<QWidget> pane(Preset preset, const std::set<RightPanel> &panels,
                              const std::function<void(AppState &)> &prepare = {},
                              const std::function<void(DisplaySettingsView &)> &shown = {}) {
    std::unique_ptr<AppState> state = screens::editorScreenState();
    AppState &made = *state;
    if (preset == Preset::user) {
        // "Conform Copy": the user's own duplicate, with options of its own.
        PresetManagement(made, {}).duplicateActivePreset();
        DisplayConfig copy = made.presets()[*made.activePresetIndex()];
        copy.name = "Conform — trailer";
        copy.showStackedLayers = true;
        copy.stackedLayersV1OnTop = true;
        std::vector<DisplayConfig> presets = made.presets();
        presets[*made.activePresetIndex()] = copy;
        made.setPresets(presets);
    } else {
        for (const DisplayConfig &candidate : made.presets()) {
            if (candidate.name == "Conform") {
                made.setActivePresetID(candidate.id);
            }
        }
    }
    if (preset == Preset::none) {
        made.setActivePresetID(Uuid::random());
    }
    if (prepare) {
        prepare(made);
    }

    auto window = std::make_unique<screens::LayoutScreenWindow>(std::move(state));
    DisplaySettingsView::Services paneServices = DisplaySettingsView::Services::standard();
    auto *view = new DisplaySettingsView(
        made, false, [](const QString &) {}, paneServices);
    for (const RightPanel panel : RightPanel::allCases()) {
        if (view->activePanels().contains(panel) != panels.contains(panel)) {
            view->togglePanel(panel);
        }
    }
    // Whatever slid, is in place.
    view->panelColumn()->setVisible(!panels.empty());
    window->layout()->addWidget(view);
    if (shown) {
        // Once the window is shown and laid out.
        QMetaObject::invokeMethod(
            view, [view, shown] { shown(*view); }, Qt::QueuedConnection);
    }
    return window;
}

// The panel's scroll view moved to its end.
void scrollToEnd(QWidget *panel) {
    if (auto *scroll = panel->findChild<QScrollArea *>()) {
        // Its rows laid out first.
        QCoreApplication::sendPostedEvents();
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    }
}

std::unique_ptr<QWidget> resetConfirmation() {
    return DisplaySettingsView::resetConfirmation(
        nullptr, PresetManagement::resetConfirmationTitle("Conform"),
        QString::fromUtf8(PresetManagement::resetConfirmationMessage));
}

const std::set<RightPanel> defaultPanels{RightPanel::editor, RightPanel::settings,
                                         RightPanel::bulkStyle};

const tandrel::screens::ScreenRegistration screens{
    {"editor-pane-default",
     {940, 780},
     [](const ScreenContext &) { return pane(Preset::builtIn, defaultPanels); }},
    {"editor-pane-nopreset",
     {940, 780},
     [](const ScreenContext &) { return pane(Preset::none, defaultPanels); }},
    {"editor-settings-builtin",
     {940, 780},
     [](const ScreenContext &) { return pane(Preset::builtIn, {RightPanel::settings}); }},
    {"editor-settings-user",
     {940, 780},
     [](const ScreenContext &) { return pane(Preset::user, {RightPanel::settings}); }},
    {"editor-settings-scrolled",
     {940, 780},
     [](const ScreenContext &) {
         // An element in the editor, which takes its share: the settings scroll.
         const auto selectFirst = [](AppState &state) {
             state.selectElement(state.presets()[*state.activePresetIndex()].elements.at(0).id,
                                 false);
         };
         return pane(Preset::builtIn, defaultPanels, selectFirst, [](DisplaySettingsView &view) {
             scrollToEnd(view.panelView(RightPanel::settings));
         });
     }},
    {"editor-panel-opening",
     {940, 780},
     [](const ScreenContext &) {
         // Half way through the "Validate" panel's coming in, on the screen's own clock.
         corvane::ManualClock &clock = screens::screenClock();
         return pane(Preset::builtIn, defaultPanels, {}, [&clock](DisplaySettingsView &view) {
             view.togglePanel(RightPanel::validate);
             clock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition / 2);
         });
     }},
    {"editor-reset-confirm", {340, 112}, [](const ScreenContext &) { return resetConfirmation(); }},
    {"editor-bulkstyle-default",
     {940, 780},
     [](const ScreenContext &) {
         return pane(Preset::builtIn, {RightPanel::bulkStyle, RightPanel::validate});
     }},
    {"editor-aspect-custom",
     {940, 780},
     [](const ScreenContext &) {
         return pane(Preset::user, {RightPanel::settings}, [](AppState &state) {
             std::vector<DisplayConfig> presets = state.presets();
             presets[*state.activePresetIndex()].visiblePictureAspectRatio = 1.9;
             state.setPresets(presets);
         });
     }},
};

} // namespace
