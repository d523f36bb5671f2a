#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/DragMath.h"
#include "host/views/preview/RenderBox.h"

#include <QAbstractButton>
#include <QFont>
#include <QLineF>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QPainter;

namespace tandrel {

// One element on the position preview: a chip naming the element in its colours, large enough
// to read (ChipLayout), standing where the effect draws the element's text: the chip's left and
// bottom edges are those of the effect's box (RenderBox), and it grows from there to the right
// and up. A click selects it, a drag moves it (with axis lock, grid and guide snapping), and a
// selected chip offers a close button and two centring buttons; the frame clamp, the snapping
// and the centring work on the effect's box, which a selected chip outlines with a dashed line.
// The chip never writes the preset: it reports every intent through its callbacks.
//
// The widget is the chip and the effect's box with a margin around them; only the chip takes
// the mouse, and the outlined box while it is shown. The selected chip's buttons are widgets of
// the chip's parent, so that the canvas can lift them above every chip.
class PreviewChipView : public QWidget {
    Q_OBJECT

public:
    // What the canvas gives the chip, on every change.
    struct Inputs {
        BurnInElement element{MetadataField::custom};
        bool showStackedLayers = false;
        bool constrainToVisiblePicture = false;
        std::vector<std::pair<double, double>> siblingPositions = {};
        QRectF visibleRect = {};
        QRectF canvasRect = {};
        // Canvas points per frame pixel.
        double scale = 1;
        bool isSelected = false;
        bool snapToGrid = false;
        int gridDivisions = 3;
        double alignSnapPoints = 6;
    };

    struct Callbacks {
        // A click, or the first move of a drag on an unselected chip or with Shift held.
        std::function<void(bool extend)> onSelect;
        // The guide lines of a drag, in canvas coordinates; nothing hides a line.
        std::function<void(std::optional<double> guideX, std::optional<double> guideY)>
            onGuideChange;
        // A drag ended, or a centring button: the position change in fractions.
        std::function<void(double deltaX, double deltaY)> onCommitPosition;
        std::function<void()> onRemove;
    };

    // The keys held now, asked at every evaluation (the desktop's state, or a test's).
    using ModifierSource = std::function<Qt::KeyboardModifiers()>;

    // Room on each side of the chip, for its outline.
    static constexpr int margin = 2;
    // A press that moves less than this is a click.
    static constexpr double dragThreshold = 2;

    // `measure` sizes the chip's text, `renderMeasure` the effect's box.
    PreviewChipView(Callbacks callbacks, ChipLayout::TextMeasure measure,
                    RenderBox::Measure renderMeasure, ModifierSource modifiers,
                    QWidget *parent = nullptr);
    ~PreviewChipView() override;

    void setInputs(Inputs inputs);
    const Inputs &inputs() const { return inputs_; }
    const Uuid &elementID() const { return inputs_.element.id; }

    const std::vector<std::string> &displayLines() const { return lines_; }
    // The chip's size as drawn, in points.
    QSizeF chipSize() const { return size_; }
    // The text the effect draws for the element, and its box's size in points.
    const std::string &renderText() const { return renderText_; }
    QSizeF renderBoxSize() const { return renderSize_; }
    // Where the effect draws the element (ChipLayout::placedPosition): its stored position,
    // unless that leaves the box outside the frame or, constrained, the visible picture.
    std::pair<double, double> placedPosition() const { return placed_; }
    // The drag rules for the chip's present inputs, on the effect's box; a drag starts where
    // the box is drawn.
    DragMath dragMath() const;
    // The effect's box in the canvas's coordinates as it stands now: at the stored position,
    // or where a drag in progress has taken it.
    QRectF boxInCanvas() const;
    // The chip as drawn now, on the box's left and bottom edges (moved back into the canvas
    // where they would carry it out).
    QRectF chipInCanvas() const;
    bool isDragInProgress() const;

    // Where the chip's lines are drawn now, in the canvas's coordinates.
    QRectF textInCanvas() const;
    // The dashed outline of the effect's box on a selected chip, in the canvas's coordinates:
    // the box's edges, clear of the chip's lines; nothing on a chip not selected.
    std::vector<QLineF> outlineInCanvas() const;

    // Lets `layer`, a widget over every chip of the canvas, draw the chip's lines (paintText),
    // so that no other chip's background covers them; the chip then draws its own lines no
    // more, and has the layer drawn again when they change.
    void setTextLayer(QWidget *layer);
    QWidget *textLayer() const { return textLayer_; }
    // Draws the chip's lines, in the chip's own coordinates.
    void paintText(QPainter &painter) const;

    QAbstractButton *removeButton() const { return removeButton_; }
    QAbstractButton *centreHorizontallyButton() const { return centreHorizontally_; }
    QAbstractButton *centreVerticallyButton() const { return centreVertically_; }
    // Puts the close button and the centring toolbar above every sibling drawn so far.
    void raiseControls();
    // The other chips' lines, in the canvas's coordinates, which the buttons of this chip,
    // when selected, keep clear of where they can (ChipLayout::controlsPlacement).
    void setControlsKeepClear(std::vector<QRectF> otherTexts);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The chip's lines as drawn: the font, each line (cut to the chip's width) with its
    // baseline's start, and the block they take, in the chip's own coordinates.
    struct DrawnText {
        QFont font;
        std::vector<std::pair<QString, QPointF>> lines;
        QRectF rect;
    };
    DrawnText drawnText() const;
    // The part of the chip's background behind its lines, in whole pixels.
    QRect textBackground(const DrawnText &drawn) const;
    // The chip's own drawing changed: its text layer, too.
    void changed();

    DragModifiers modifiers() const;
    // The resolved drag at the present translation; nothing while no drag moves the chip.
    std::optional<DragMath::Result> resolvedDrag() const;
    // Places the widget, its buttons and its mouse area for the inputs and the drag.
    void relayout();
    void reportGuides(std::optional<double> guideX, std::optional<double> guideY);
    // Ends a drag without committing it: the chip goes back and its guides hide.
    void cancelDrag();
    // The chip drawn on the effect's box `box` (canvas coordinates), within the canvas.
    QRectF chipFor(const QRectF &box) const;

    Inputs inputs_;
    Callbacks callbacks_;
    ChipLayout::TextMeasure measure_;
    RenderBox::Measure renderMeasure_;
    ModifierSource modifierSource_;
    std::vector<std::string> lines_;
    std::vector<std::string> shownLines_;
    QSizeF size_;
    std::string renderText_;
    QSizeF renderSize_;
    std::pair<double, double> placed_;
    // The effect's box and the chip as laid out last, in the widget.
    QRectF boxInWidget_;
    QRectF chipInWidget_;

    // The press that may become a click or a drag, in global coordinates.
    std::optional<QPointF> pressedAt_;
    bool dragging_ = false;
    bool hasSelectedThisDrag_ = false;
    QSizeF translation_;
    std::optional<double> guideX_;
    std::optional<double> guideY_;

    QPointer<QWidget> textLayer_;
    std::vector<QRectF> controlsKeepClear_;
    // In the parent; the chip deletes them unless the parent has already.
    QPointer<QWidget> toolbar_;
    QAbstractButton *centreHorizontally_;
    QAbstractButton *centreVertically_;
    QPointer<QAbstractButton> removeButton_;
};

} // namespace tandrel
