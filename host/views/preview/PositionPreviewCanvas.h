#pragma once

#include "core/model/DisplayConfig.h"
#include "core/support/Uuid.h"
#include "host/views/preview/PreviewChipView.h"
#include "host/views/preview/PreviewGeometry.h"

#include <QWidget>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QAbstractButton;
class QLabel;

namespace tandrel {

class AppState;
class GridStepper;
class PreviewCanvasArea;

class PositionPreviewCanvas;

// An embedding's starting values for the position preview canvas, and the services it reads.
struct PreviewCanvasOptions {
    // Makes the crop picker of the controls row for a canvas, bound to its cropAspectRatio()
    // and setCropAspectRatio() (with cropAspectRatioChanged()); the canvas owns what it
    // returns.
    using CropPickerFactory = std::function<QWidget *(PositionPreviewCanvas &canvas)>;

    bool showGrid = false;
    bool snapToGrid = false;
    int gridDivisions = 3;
    std::optional<double> activeGuideX = {};
    std::optional<double> activeGuideY = {};
    // Without one, the row names the ratio in force.
    CropPickerFactory cropPicker = {};
    // Shift and Option (Alt) as held now; the desktop's state by default.
    PreviewChipView::ModifierSource modifiers = {};
    // How chips measure their own text; the plug-in's font family on the canvas by default.
    ChipLayout::TextMeasure measure = {};
    // How the effect's box of an element is measured; the effect's rasteriser by default.
    RenderBox::Measure renderMeasure = {};
};

// The interactive picture of one burn-in preset: the timeline's frame scaled into the view,
// the visible picture, an optional reference grid, snap guides and one draggable chip per
// enabled element; above it the grid, snap and crop controls, below it the hints.
//
// It holds no copy of the preset: every pass reads `AppState::presets()` at the index its
// source names now (a default preset, never stored, when the index is outside the list) and
// every edit assigns the list back once. Grid, snap and guides belong to each embedding and
// are never saved. Delete or Backspace removes the selected elements, unless a text input of
// the window has the keyboard.
//
// Embedding it (the layout editor pane, the position preview window):
//
//     auto *canvas = new PositionPreviewCanvas(
//         state, [&state] { return state.activePresetIndex(); },
//         [&state](const Uuid &id) { state.removeElement(id); });
class PositionPreviewCanvas : public QWidget {
    Q_OBJECT

public:
    // The index into `AppState::presets()` of the preset shown, asked on every pass.
    using PresetIndexSource = std::function<std::optional<std::size_t>()>;
    using RemoveElement = std::function<void(const Uuid &elementID)>;
    using CropPickerFactory = PreviewCanvasOptions::CropPickerFactory;
    using Options = PreviewCanvasOptions;

    // The magnetic distance of guides, in points.
    static constexpr double alignSnapPoints = 6;

    PositionPreviewCanvas(AppState &state, PresetIndexSource presetIndex,
                          RemoveElement removeElement, Options options = {},
                          QWidget *parent = nullptr);
    ~PositionPreviewCanvas() override;

    // The preset shown: the one at the index, or the canvas's own default preset.
    const DisplayConfig &preset() const;
    std::optional<std::size_t> presetIndex() const;

    bool showGrid() const { return showGrid_; }
    void setShowGrid(bool on);
    bool snapToGrid() const { return snapToGrid_; }
    void setSnapToGrid(bool on);
    int gridDivisions() const { return gridDivisions_; }
    void setGridDivisions(int divisions);
    std::optional<double> activeGuideX() const { return activeGuideX_; }
    std::optional<double> activeGuideY() const { return activeGuideY_; }
    void setActiveGuides(std::optional<double> guideX, std::optional<double> guideY);

    // The preset's crop ratio, read and written through the preset list.
    std::optional<double> cropAspectRatio() const;
    void setCropAspectRatio(std::optional<double> ratio);

    // A chip's drag ended: the dragged element takes the delta, and when it is selected every
    // other selected element moves with it, kept inside 0…1.
    void commitPosition(const Uuid &elementID, double deltaX, double deltaY);

    // Delete or Backspace: deletes the selected elements; inert while nothing is selected or
    // a text input has the keyboard.
    QAction *deleteCommand() const { return deleteCommand_; }

    // The parts, for the embedding and for tests.
    PreviewCanvasArea *canvasArea() const { return area_; }
    QAbstractButton *gridToggle() const { return gridToggle_; }
    QAbstractButton *snapToggle() const { return snapToggle_; }
    GridStepper *gridStepper() const { return gridStepper_; }
    QLabel *hintLabel() const { return hint_; }
    QLabel *stackedLayerNote() const { return stackedNote_; }
    // The chips shown, in preset order.
    std::vector<PreviewChipView *> chips() const;
    // The layer over every chip that draws their lines, so that where chips overlap each one
    // can be read; the selected chips lie above the others, and their buttons above it.
    QWidget *chipTextLayer() const { return chipTexts_; }
    PreviewChipView *chip(const Uuid &elementID) const;

    static const QString hintText;
    static const QString stackedLayerNoteText;

signals:
    void cropAspectRatioChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Reads the state and updates the picture and every chip; when a chip's box or frame
    // changed under the same preset, pulls the elements back into the frame once the layout
    // has settled.
    void refresh();
    // A change of the presets: as refresh(), but a chip the change made grow past the frame is
    // pulled back at once, as part of that change (the state object takes an assignment made
    // while it delivers a change into that change), so that the presets are stored and the
    // snapshot written once, with the position the chip ends at.
    void followPresets();
    void rebuild();
    void clampAfterFrameChange();
    void updateDeleteCommand();
    bool textInputHasKeyboard() const;
    void updateCropPlaceholder();
    PreviewChipView *makeChip(const Uuid &elementID);

    AppState &state_;
    PresetIndexSource presetIndex_;
    RemoveElement removeElement_;
    Options options_;
    // Shown when the index is outside the list; made once, so its chips keep their identity.
    DisplayConfig fallbackPreset_;

    bool showGrid_;
    bool snapToGrid_;
    int gridDivisions_;
    std::optional<double> activeGuideX_;
    std::optional<double> activeGuideY_;

    // The preset the chips showed at the last pass, and whether its picture was on screen:
    // chips compare their boxes with that pass's.
    std::optional<Uuid> shownPresetID_;
    bool pictureWasShown_ = false;
    // The crop ratio the row shows; nothing before the first pass.
    std::optional<std::optional<double>> shownCropRatio_;
    bool clampPending_ = false;
    bool clampScheduled_ = false;
    bool clampAtOnce_ = false;
    bool refreshing_ = false;
    bool refreshAgain_ = false;

    QAbstractButton *gridToggle_;
    GridStepper *gridStepper_;
    QAbstractButton *snapToggle_;
    QLabel *cropPlaceholder_ = nullptr;
    QWidget *areaHolder_;
    PreviewCanvasArea *area_;
    QLabel *hint_;
    QLabel *stackedNote_;
    QAction *deleteCommand_;
    std::map<Uuid, PreviewChipView *> chips_;
    std::vector<Uuid> chipOrder_;
    QWidget *chipTexts_;
};

} // namespace tandrel
