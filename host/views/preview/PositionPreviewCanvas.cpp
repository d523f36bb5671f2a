#include "host/views/preview/PositionPreviewCanvas.h"

#include "designkit/Color.h"
#include "designkit/CorvaneToggle.h"
#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/state/AppState.h"
#include "host/views/common/PlatformStyle.h"
#include "host/views/preview/ChipFont.h"
#include "host/views/preview/GridStepper.h"
#include "host/views/preview/PreviewCanvasArea.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tandrel {

const QString PositionPreviewCanvas::hintText = QStringLiteral(
    "Drag a label to reposition it — it snaps to the frame's edges/center and to other "
    "elements. Position is approximate (real text layout happens in FCP) — fine-tune with the "
    "sliders below if needed.");
const QString PositionPreviewCanvas::stackedLayerNoteText = QStringLiteral(
    "Stacked-layer blocks (REEL/SLATE) show placeholder sample data — real row count and width "
    "vary live with the timeline, so their exact size/position here is illustrative only.");

namespace {

// The small type of the controls and hints: the platform's caption 2, in the kit's face.
QFont smallFont() {
    return textStyleFont(corvane::FontTextStyle::caption2);
}
// The picture never gets smaller than this, so chips stay graspable.
constexpr int minimumPictureHeight = 120;

QLabel *smallLabel(const QString &text, const QColor &colour, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setFont(smallFont());
    corvane::corvaneForeground(label, colour);
    return label;
}

// A switch of the controls row, in the kit's look.
QCheckBox *toggle(const QString &title, bool on) {
    auto *box = new QCheckBox(title);
    box->setChecked(on);
    box->setFont(smallFont());
    corvane::corvaneToggle(box);
    return box;
}

// The controls row: as high as its content, scrolling sideways in a narrow canvas.
class ControlsRow : public QScrollArea {
public:
    explicit ControlsRow(QWidget *content) {
        setWidget(content);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        viewport()->setAutoFillBackground(false);
        content->setAutoFillBackground(false);
        content->installEventFilter(this);
    }

    QSize sizeHint() const override { return widget()->sizeHint(); }
    QSize minimumSizeHint() const override { return {0, widget()->sizeHint().height()}; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // A picker that grows (its custom fields) makes the row higher.
        if (watched == widget() && event->type() == QEvent::LayoutRequest) {
            updateGeometry();
        }
        return QScrollArea::eventFilter(watched, event);
    }
};

// Holds the picture at the frame's aspect: as wide as it may be, as high as that width allows
// within the room it has, at its top-left corner; it gives back the height the picture does
// not use, so what follows sits right under the picture.
class AspectFitHolder : public QWidget {
public:
    AspectFitHolder(PreviewCanvasArea *area, QWidget *parent) : QWidget(parent), area_(area) {
        area_->setParent(this);
        setMinimumSize(minimumPictureHeight * 16 / 9, minimumPictureHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setAspect(double aspect) {
        if (aspect != aspect_) {
            aspect_ = aspect;
            fit();
        }
    }

    QSize sizeHint() const override { return {640, static_cast<int>(640 / aspect_)}; }

protected:
    void resizeEvent(QResizeEvent *event) override {
        QWidget::resizeEvent(event);
        fit();
    }

private:
    void fit() {
        setMaximumHeight(
            std::max(minimumPictureHeight, static_cast<int>(std::ceil(width() / aspect_))));
        const double fittedWidth = std::min<double>(width(), height() * aspect_);
        const int pictureWidth = static_cast<int>(std::floor(fittedWidth));
        const int pictureHeight =
            std::min(height(), static_cast<int>(std::lround(pictureWidth / aspect_)));
        area_->setGeometry(0, 0, pictureWidth, pictureHeight);
    }

    PreviewCanvasArea *area_;
    double aspect_ = PreviewGeometry::defaultFrameAspect;
};

// Over the chips: every chip's lines, in the chips' order, so that no chip's background
// covers another's text. It never takes the mouse.
class ChipTextLayer : public QWidget {
public:
    explicit ChipTextLayer(QWidget *area) : QWidget(area) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        for (QObject *child : parentWidget()->children()) {
            const auto *chip = qobject_cast<const PreviewChipView *>(child);
            if (chip == nullptr || chip->isHidden()) {
                continue;
            }
            painter.save();
            painter.translate(chip->pos() - pos());
            chip->paintText(painter);
            painter.restore();
        }
    }
};

} // namespace

PositionPreviewCanvas::PositionPreviewCanvas(AppState &state, PresetIndexSource presetIndex,
                                             RemoveElement removeElement, Options options,
                                             QWidget *parent)
    : QWidget(parent), state_(state), presetIndex_(std::move(presetIndex)),
      removeElement_(std::move(removeElement)), options_(std::move(options)),
      showGrid_(options_.showGrid), snapToGrid_(options_.snapToGrid),
      gridDivisions_(options_.gridDivisions), activeGuideX_(options_.activeGuideX),
      activeGuideY_(options_.activeGuideY), area_(new PreviewCanvasArea),
      chipTexts_(new ChipTextLayer(area_)) {
    if (!options_.modifiers) {
        options_.modifiers = [] { return QGuiApplication::queryKeyboardModifiers(); };
    }
    if (!options_.measure) {
        options_.measure = ChipFont::measure(*area_);
    }
    if (!options_.renderMeasure) {
        options_.renderMeasure = RenderBox::effectMeasure();
    }

    // What the canvas holds is in the kit's face, the crop picker too, in the pane as in the
    // window.
    setFont(smallFont());

    // The controls row, scrolling sideways when the canvas is narrow.
    auto *controls = new QWidget;
    auto *row = new QHBoxLayout(controls);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    auto *grid = toggle(QStringLiteral("Grid"), showGrid_);
    gridToggle_ = grid;
    gridStepper_ = new GridStepper(gridDivisions_);
    gridDivisions_ = gridStepper_->value();
    gridStepper_->setFont(smallFont());
    auto *snap = toggle(QStringLiteral("Snap"), snapToGrid_);
    snapToggle_ = snap;
    row->addWidget(grid);
    row->addWidget(gridStepper_);
    row->addWidget(snap);
    auto *divider = new QWidget;
    divider->setFixedSize(1, 14);
    divider->setAutoFillBackground(true);
    QPalette dividerPalette = divider->palette();
    dividerPalette.setColor(QPalette::Window, corvane::withOpacity(corvane::Color::white(), 0.2));
    divider->setPalette(dividerPalette);
    row->addWidget(divider);
    row->addWidget(
        smallLabel(QStringLiteral("Crop"), corvane::Color::corvaneTextSecondary(), controls));
    if (options_.cropPicker) {
        row->addWidget(options_.cropPicker(*this));
    } else {
        cropPlaceholder_ = smallLabel({}, corvane::Color::primary(), controls);
        row->addWidget(cropPlaceholder_);
    }
    row->addStretch(1);
    gridStepper_->setVisible(showGrid_);
    snapToggle_->setVisible(showGrid_);

    auto *scroller = new ControlsRow(controls);

    // A hidden command: the key works wherever the window has the keyboard.
    deleteCommand_ = new QAction(QStringLiteral("Delete"), this);
    deleteCommand_->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    deleteCommand_->setShortcutContext(Qt::WindowShortcut);
    addAction(deleteCommand_);
    connect(deleteCommand_, &QAction::triggered, this, [this] {
        if (!textInputHasKeyboard()) {
            state_.deleteSelectedElements();
        }
    });

    areaHolder_ = new AspectFitHolder(area_, this);
    hint_ = smallLabel(hintText, corvane::Color::corvaneTextTertiary(), this);
    hint_->setWordWrap(true);
    stackedNote_ = smallLabel(stackedLayerNoteText, corvane::Color::orange(), this);
    stackedNote_->setWordWrap(true);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(scroller);
    column->addWidget(areaHolder_, 1);
    column->addWidget(hint_);
    column->addWidget(stackedNote_);
    column->addStretch(0);

    connect(grid, &QCheckBox::toggled, this, &PositionPreviewCanvas::setShowGrid);
    connect(snap, &QCheckBox::toggled, this, &PositionPreviewCanvas::setSnapToGrid);
    connect(gridStepper_, &GridStepper::valueChanged, this,
            &PositionPreviewCanvas::setGridDivisions);
    connect(area_, &PreviewCanvasArea::resized, this, &PositionPreviewCanvas::refresh);
    connect(&state_, &AppState::presetsChanged, this, &PositionPreviewCanvas::followPresets);
    for (void (AppState::*changed)() :
         {&AppState::activePresetIDChanged, &AppState::selectedElementIDsChanged,
          &AppState::activeTimelineResolutionChanged}) {
        connect(&state_, changed, this, &PositionPreviewCanvas::refresh);
    }
    connect(qApp, &QApplication::focusChanged, this, &PositionPreviewCanvas::updateDeleteCommand);
    refresh();
}

PositionPreviewCanvas::~PositionPreviewCanvas() = default;

std::optional<std::size_t> PositionPreviewCanvas::presetIndex() const {
    return presetIndex_ ? presetIndex_() : std::nullopt;
}

const DisplayConfig &PositionPreviewCanvas::preset() const {
    const std::optional<std::size_t> index = presetIndex();
    const std::vector<DisplayConfig> &presets = state_.presets();
    return index && *index < presets.size() ? presets[*index] : fallbackPreset_;
}

void PositionPreviewCanvas::setShowGrid(bool on) {
    if (on == showGrid_) {
        return;
    }
    showGrid_ = on;
    // Hidden, the stepper and the snap switch keep their values.
    gridStepper_->setVisible(on);
    snapToggle_->setVisible(on);
    static_cast<QCheckBox *>(gridToggle_)->setChecked(on);
    refresh();
}

void PositionPreviewCanvas::setSnapToGrid(bool on) {
    if (on == snapToGrid_) {
        return;
    }
    snapToGrid_ = on;
    static_cast<QCheckBox *>(snapToggle_)->setChecked(on);
    refresh();
}

void PositionPreviewCanvas::setGridDivisions(int divisions) {
    gridStepper_->setValue(divisions);
    if (gridStepper_->value() == gridDivisions_) {
        return;
    }
    gridDivisions_ = gridStepper_->value();
    refresh();
}

void PositionPreviewCanvas::setActiveGuides(std::optional<double> guideX,
                                            std::optional<double> guideY) {
    activeGuideX_ = guideX;
    activeGuideY_ = guideY;
    PreviewCanvasArea::Picture picture = area_->picture();
    picture.guideX = guideX;
    picture.guideY = guideY;
    area_->setPicture(std::move(picture));
}

std::optional<double> PositionPreviewCanvas::cropAspectRatio() const {
    return preset().visiblePictureAspectRatio;
}

void PositionPreviewCanvas::setCropAspectRatio(std::optional<double> ratio) {
    state_.setPresets(PreviewGeometry::withCropAspectRatio(state_.presets(), presetIndex(), ratio));
}

void PositionPreviewCanvas::commitPosition(const Uuid &elementID, double deltaX, double deltaY) {
    state_.setPresets(PreviewGeometry::committedPosition(
        state_.presets(), presetIndex(), state_.selectedElementIDs(), elementID, deltaX, deltaY));
}

std::vector<PreviewChipView *> PositionPreviewCanvas::chips() const {
    std::vector<PreviewChipView *> shown;
    for (const Uuid &id : chipOrder_) {
        shown.push_back(chips_.at(id));
    }
    return shown;
}

PreviewChipView *PositionPreviewCanvas::chip(const Uuid &elementID) const {
    const auto found = chips_.find(elementID);
    return found == chips_.end() ? nullptr : found->second;
}

void PositionPreviewCanvas::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    // The picture as it comes on screen is what later changes of the chips compare with.
    refresh();
}

void PositionPreviewCanvas::refresh() {
    // A chip's callback may change the state while a pass runs; the pass then runs again.
    if (refreshing_) {
        refreshAgain_ = true;
        return;
    }
    refreshing_ = true;
    do {
        refreshAgain_ = false;
        rebuild();
    } while (refreshAgain_);
    refreshing_ = false;
    if (clampPending_ && clampAtOnce_) {
        // The presets changed, and a frame of the same size shows them: the sizes are final.
        clampAfterFrameChange();
    } else if (clampPending_ && !clampScheduled_) {
        // After the layout has settled: a new aspect resizes the picture once more.
        clampScheduled_ = true;
        QMetaObject::invokeMethod(this, &PositionPreviewCanvas::clampAfterFrameChange,
                                  Qt::QueuedConnection);
    }
}

void PositionPreviewCanvas::followPresets() {
    clampAtOnce_ = true;
    refresh();
    clampAtOnce_ = false;
}

void PositionPreviewCanvas::rebuild() {
    const DisplayConfig &shownPreset = preset();
    const PreviewGeometry geometry(state_.activeTimelineResolution());
    static_cast<AspectFitHolder *>(areaHolder_)->setAspect(geometry.frameAspect());
    const QRectF frame = geometry.fittedCanvasRect(QSizeF(area_->size()));
    const QRectF visible = geometry.visibleRect(frame, shownPreset.visiblePictureAspectRatio);
    area_->setPicture({frame, visible, showGrid_, gridDivisions_, activeGuideX_, activeGuideY_});

    // Elements shown, in stored order (of two with one id, the first); later chips lie above
    // earlier ones.
    std::vector<const BurnInElement *> shown;
    std::map<Uuid, PreviewChipView *> kept;
    for (const BurnInElement &element : shownPreset.elements) {
        if (!element.isEnabled || kept.contains(element.id)) {
            continue;
        }
        if (const auto found = chips_.find(element.id); found != chips_.end()) {
            kept.emplace(element.id, found->second);
            chips_.erase(found);
        } else {
            kept.emplace(element.id, makeChip(element.id));
        }
        shown.push_back(&element);
    }
    for (const auto &[id, gone] : chips_) {
        // Later: its own button may be what removed it.
        gone->hide();
        gone->deleteLater();
    }
    chips_ = std::move(kept);
    chipOrder_.clear();

    // A chip whose box changes size or whose frame moves (a new crop or resolution, a resized
    // canvas, text that grows) may now reach outside the frame; the same preset only, and
    // never on a chip's first showing.
    const bool comparable = shownPresetID_ == shownPreset.id && pictureWasShown_;
    shownPresetID_ = shownPreset.id;
    pictureWasShown_ = area_->isVisible() && !frame.isEmpty();
    const std::set<Uuid> &selection = state_.selectedElementIDs();
    for (const BurnInElement *element : shown) {
        std::vector<std::pair<double, double>> siblings;
        for (const BurnInElement *other : shown) {
            if (other != element) {
                siblings.emplace_back(other->posX, other->posY);
            }
        }
        PreviewChipView *view = chips_.at(element->id);
        const QRectF visibleBefore = view->inputs().visibleRect;
        const QRectF frameBefore = view->inputs().canvasRect;
        const QSizeF sizeBefore = view->renderBoxSize();
        const bool shownBefore = !view->isHidden();
        view->setInputs({
            .element = *element,
            .showStackedLayers = shownPreset.showStackedLayers.value_or(false),
            .constrainToVisiblePicture = shownPreset.constrainToVisiblePicture.value_or(false),
            .siblingPositions = std::move(siblings),
            .visibleRect = visible,
            .canvasRect = frame,
            .scale = geometry.scale(frame),
            .isSelected = selection.contains(element->id),
            .snapToGrid = snapToGrid_,
            .gridDivisions = gridDivisions_,
            .alignSnapPoints = alignSnapPoints,
        });
        if (comparable && shownBefore &&
            (!PreviewGeometry::identical(visibleBefore, visible) ||
             !PreviewGeometry::identical(frameBefore, frame) ||
             sizeBefore != view->renderBoxSize())) {
            clampPending_ = true;
        }
        view->raise();
        view->show();
        chipOrder_.push_back(element->id);
    }
    // The selected chips above the others, every chip's lines above every chip, and a
    // selected chip's buttons above all, off the other chips' lines where they can be.
    for (const Uuid &id : chipOrder_) {
        if (!selection.contains(id)) {
            continue;
        }
        std::vector<QRectF> otherTexts;
        for (const Uuid &other : chipOrder_) {
            if (other != id) {
                otherTexts.push_back(chips_.at(other)->textInCanvas());
            }
        }
        chips_.at(id)->setControlsKeepClear(std::move(otherTexts));
        chips_.at(id)->raise();
    }
    chipTexts_->setGeometry(area_->rect());
    chipTexts_->raise();
    chipTexts_->show();
    chipTexts_->update();
    for (const Uuid &id : chipOrder_) {
        if (selection.contains(id)) {
            chips_.at(id)->raiseControls();
        }
    }

    stackedNote_->setVisible(std::ranges::any_of(shownPreset.elements, [](const BurnInElement &e) {
        return ChipLayout::isBlockField(e.field);
    }));

    if (!shownCropRatio_ || *shownCropRatio_ != shownPreset.visiblePictureAspectRatio) {
        const bool changed = shownCropRatio_.has_value();
        shownCropRatio_ = shownPreset.visiblePictureAspectRatio;
        updateCropPlaceholder();
        if (changed) {
            emit cropAspectRatioChanged();
        }
    }
    updateDeleteCommand();
}

void PositionPreviewCanvas::clampAfterFrameChange() {
    clampPending_ = false;
    clampScheduled_ = false;
    // Only a picture on screen has the chip sizes the clamp needs.
    if (!area_->isVisible() || area_->width() <= 0 || area_->height() <= 0) {
        return;
    }
    std::vector<DisplayConfig> presets = state_.presets();
    for (const Uuid &id : chipOrder_) {
        const DragMath rules = chips_.at(id)->dragMath();
        presets = PreviewGeometry::autoClampedPosition(
            std::move(presets), presetIndex(), id,
            [&rules](double posX, double posY) { return rules.clampToFrame(posX, posY); });
    }
    // One write for every element pulled back.
    state_.setPresets(std::move(presets));
}

PreviewChipView *PositionPreviewCanvas::makeChip(const Uuid &elementID) {
    auto *view = new PreviewChipView(
        {
            .onSelect = [this, elementID](bool extend) { state_.selectElement(elementID, extend); },
            .onGuideChange =
                [this](std::optional<double> guideX, std::optional<double> guideY) {
                    setActiveGuides(guideX, guideY);
                },
            .onCommitPosition =
                [this, elementID](double deltaX, double deltaY) {
                    commitPosition(elementID, deltaX, deltaY);
                },
            .onRemove =
                [this, elementID] {
                    if (removeElement_) {
                        removeElement_(elementID);
                    }
                },
        },
        options_.measure, options_.renderMeasure, options_.modifiers, area_);
    view->setTextLayer(chipTexts_);
    return view;
}

void PositionPreviewCanvas::updateCropPlaceholder() {
    if (!cropPlaceholder_) {
        return;
    }
    const std::optional<double> ratio = shownCropRatio_.value_or(std::nullopt);
    cropPlaceholder_->setText(ratio && *ratio > 0
                                  ? QStringLiteral("%1:1").arg(QString::number(*ratio, 'g', 3))
                                  : QStringLiteral("Full Frame"));
}

bool PositionPreviewCanvas::textInputHasKeyboard() const {
    const QWidget *focus = window()->focusWidget();
    return focus && (focus->testAttribute(Qt::WA_InputMethodEnabled) ||
                     focus->inputMethodQuery(Qt::ImEnabled).toBool());
}

void PositionPreviewCanvas::updateDeleteCommand() {
    deleteCommand_->setEnabled(!state_.selectedElementIDs().empty() && !textInputHasKeyboard());
}

} // namespace tandrel
