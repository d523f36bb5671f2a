// The position preview's screens: the canvas as the layout editor pane embeds it, and the
// separate window, each with the crop picker the application gives them.
#include "core/model/BundledPresets.h"
#include "host/state/AppState.h"
#include "host/views/layout/CanvasCropPicker.h"
#include "host/views/preview/PositionPreviewCanvas.h"
#include "host/views/preview/PositionPreviewWindow.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMetaObject>
#include <QVBoxLayout>

#include <functional>

namespace {

using tandrel::AppState;
using tandrel::BurnInElement;
using tandrel::DisplayConfig;
using tandrel::MetadataField;
using tandrel::PositionPreviewCanvas;
using tandrel::screens::ScreenContext;

// The state object of the screen's process, with `preset` as the only and active preset. It
// lives as long as the application, so it outlives the views that read it.
AppState &stateWith(const DisplayConfig &preset) {
    auto *state = new AppState(AppState::Services::standard(), qApp);
    state->setPresets({preset});
    state->setActivePresetID(preset.id);
    return *state;
}

DisplayConfig builtIn(const std::string &name) {
    for (const DisplayConfig &preset : tandrel::BundledPresets::table()) {
        if (preset.name == name) {
            return preset;
        }
    }
    throw std::runtime_error("no built-in preset " + name);
}

// The canvas as the layout editor pane holds it, on the window's background, with the
// application's crop picker.
std::unique_ptr<QWidget> paneCanvas(AppState &state, PositionPreviewCanvas::Options options = {}) {
    options.cropPicker = &tandrel::makeCanvasCropPicker;
    auto page = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(page.get());
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(new PositionPreviewCanvas(
        state, [&state] { return state.activePresetIndex(); },
        [&state](const tandrel::Uuid &id) { state.removeElement(id); }, std::move(options)));
    return page;
}

// The pane's canvas on `preset` with its element `index` selected; `then` acts on the canvas
// and that element once the screen is shown and laid out.
std::unique_ptr<QWidget>
canvasSelecting(const DisplayConfig &preset, size_t index,
                std::function<void(PositionPreviewCanvas *, const tandrel::Uuid &)> then) {
    AppState &state = stateWith(preset);
    const tandrel::Uuid selected = state.presets()[0].elements[index].id;
    state.selectElement(selected, false);
    std::unique_ptr<QWidget> page = paneCanvas(state);
    auto *canvas = page->findChild<PositionPreviewCanvas *>();
    QMetaObject::invokeMethod(
        canvas, [canvas, selected, then = std::move(then)] { then(canvas, selected); },
        Qt::QueuedConnection);
    return page;
}

BurnInElement element(MetadataField field, std::string label, double x, double y, double fontSize) {
    BurnInElement made(field);
    if (!label.empty()) {
        made.label = std::move(label);
    }
    made.posX = x;
    made.posY = y;
    made.fontSize = fontSize;
    return made;
}

std::unique_ptr<QWidget> canvasDefault(const ScreenContext &) {
    return paneCanvas(stateWith(builtIn("Netflix QC Layout")));
}

std::unique_ptr<QWidget> canvasScopeCropWithGrid(const ScreenContext &) {
    DisplayConfig preset = builtIn("Netflix QC Layout");
    preset.visiblePictureAspectRatio = 2.39;
    return paneCanvas(stateWith(preset),
                      {.showGrid = true, .snapToGrid = true, .gridDivisions = 4});
}

std::unique_ptr<QWidget> canvasClassicCropSelected(const ScreenContext &) {
    DisplayConfig preset = builtIn("Colorist");
    preset.visiblePictureAspectRatio = 4.0 / 3.0;
    preset.elements.push_back(element(MetadataField::clipName, "", 0.05, 0.2, 24));
    preset.elements.push_back(element(MetadataField::custom, "DRAFT", 0.4, 0.55, 40));
    // The guide a drag of the selected chip onto the others' left edge shows.
    return canvasSelecting(preset, 1, [](PositionPreviewCanvas *canvas, const tandrel::Uuid &id) {
        canvas->setActiveGuides(canvas->chip(id)->boxInCanvas().left(), std::nullopt);
    });
}

std::unique_ptr<QWidget> canvasStacked(const ScreenContext &) {
    DisplayConfig preset;
    preset.name = "Stacked Layers";
    preset.showStackedLayers = true;
    BurnInElement reel = element(MetadataField::stackedLayerReel, "REEL", 0.03, 0.05, 16);
    BurnInElement slate = element(MetadataField::stackedLayerSlate, "SLATE", 0.55, 0.05, 16);
    BurnInElement timecode = element(MetadataField::sourceTC, "TC:", 0.03, 0.8, 24);
    reel.stackedLayerColumns = tandrel::StackedLayerColumns::both;
    preset.elements = {timecode, reel, slate};
    return paneCanvas(stateWith(preset));
}

// Texts that cross each edge of the frame, drawn where the plug-in draws them: pulled inside.
std::unique_ptr<QWidget> canvasAcrossTheEdges(const ScreenContext &) {
    DisplayConfig preset;
    preset.name = "Across the Edges";
    preset.elements = {
        element(MetadataField::custom, "Property of Ostrevale", 0.9, 0.45, 72),
        element(MetadataField::reel, "Reel:", -0.2, 0.3, 36),
        element(MetadataField::sourceTC, "TC:", 0.35, 0.99, 48),
        element(MetadataField::clipName, "", 0.4, -0.2, 40),
    };
    return paneCanvas(stateWith(preset));
}

// The built-in "Colorist" timecode centred across by its button, selected, with a later chip
// lying over its buttons; in the pane's canvas at the main window's opening size.
std::unique_ptr<QWidget> canvasCentredUnderAChip(const ScreenContext &) {
    DisplayConfig preset = builtIn("Colorist");
    preset.elements.at(0).posY = 0.45;
    preset.elements.push_back(
        element(MetadataField::custom, "Watermark applied by Ostrevale", 0.3, 0.5, 30));
    return canvasSelecting(preset, 0, [](PositionPreviewCanvas *canvas, const tandrel::Uuid &id) {
        canvas->chip(id)->centreHorizontallyButton()->click();
    });
}

// Small texts on the pane's canvas: the chips keep a readable size and stand on the effect's
// far smaller boxes, one of them selected with its outline and buttons.
std::unique_ptr<QWidget> canvasSmallChips(const ScreenContext &) {
    DisplayConfig preset;
    preset.name = "Small Texts";
    preset.elements = {
        element(MetadataField::reel, "Reel:", 0.05, 0.85, 16),
        element(MetadataField::sourceTC, "TC:", 0.05, 0.05, 12),
        element(MetadataField::custom, "QC", 0.85, 0.85, 14),
        element(MetadataField::clipName, "", 0.4, 0.3, 18),
    };
    return canvasSelecting(preset, 0, [](PositionPreviewCanvas *, const tandrel::Uuid &) {});
}

// A label of 98 characters at 36 pixels, wider than the effect's frame limit: the effect wraps
// it into two lines, and the chip stands on that box, selected to show it.
std::unique_ptr<QWidget> canvasLongLabel(const ScreenContext &) {
    DisplayConfig preset;
    preset.name = "Long Label";
    preset.elements = {element(MetadataField::custom,
                               "Watermark applied by Ostrevale Post for the festival review copy "
                               "of reel five, not for release yet",
                               0.05, 0.5, 36)};
    return canvasSelecting(preset, 0, [](PositionPreviewCanvas *, const tandrel::Uuid &) {});
}

// The built-in "Conform" at the size the pane's canvas has in a main window at its opening
// size: its seven texts 0.05 apart, so their chips overlap; "Clip Name" selected, with its
// outline and buttons over its neighbours.
std::unique_ptr<QWidget> canvasConformSelected(const ScreenContext &) {
    return canvasSelecting(builtIn("Conform"), 2,
                           [](PositionPreviewCanvas *, const tandrel::Uuid &) {});
}

// A selected chip at the frame's top edge: no room above it for its buttons.
std::unique_ptr<QWidget> canvasTopEdgeSelected(const ScreenContext &) {
    DisplayConfig preset;
    preset.name = "Top Edge";
    preset.elements = {
        element(MetadataField::custom, "Watermark applied by Ostrevale", 0.3, 1.0, 30),
        element(MetadataField::sourceTC, "TC:", 0.05, 1.0, 16),
    };
    return canvasSelecting(preset, 0, [](PositionPreviewCanvas *, const tandrel::Uuid &) {});
}

std::unique_ptr<QWidget> previewWindow(AppState &state) {
    return std::make_unique<tandrel::PositionPreviewWindow>(
        state, PositionPreviewCanvas::Options{.cropPicker = &tandrel::makeCanvasCropPicker});
}

std::unique_ptr<QWidget> windowDefault(const ScreenContext &) {
    return previewWindow(stateWith(builtIn("Netflix QC Layout")));
}

std::unique_ptr<QWidget> windowClassicCrop(const ScreenContext &) {
    DisplayConfig preset = builtIn("Conform");
    preset.visiblePictureAspectRatio = 4.0 / 3.0;
    preset.constrainToVisiblePicture = true;
    return previewWindow(stateWith(preset));
}

std::unique_ptr<QWidget> windowWithoutPreset(const ScreenContext &) {
    AppState &state = stateWith(builtIn("Conform"));
    state.setActivePresetID(tandrel::Uuid::random());
    return previewWindow(state);
}

const tandrel::screens::ScreenRegistration screens{
    {"preview-canvas-default", {832, 560}, canvasDefault},
    {"preview-canvas-crop239-grid4", {832, 560}, canvasScopeCropWithGrid},
    {"preview-canvas-crop43-selected", {832, 560}, canvasClassicCropSelected},
    {"preview-canvas-stacked", {832, 580}, canvasStacked},
    {"preview-canvas-edges", {832, 560}, canvasAcrossTheEdges},
    {"preview-canvas-centred-overlap", {555, 420}, canvasCentredUnderAChip},
    {"preview-canvas-small-chips", {555, 420}, canvasSmallChips},
    {"preview-canvas-long-label", {832, 560}, canvasLongLabel},
    {"preview-canvas-conform-selected", {555, 420}, canvasConformSelected},
    {"preview-canvas-top-edge-selected", {555, 420}, canvasTopEdgeSelected},
    {"preview-window-default", {1200, 800}, windowDefault},
    {"preview-window-crop43", {1200, 800}, windowClassicCrop},
    {"preview-window-nopreset", {1200, 800}, windowWithoutPreset},
};

} // namespace
