#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/DragMath.h"

#include <QAbstractButton>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tandrel {

// One element on the position preview: the effect's text box in miniature (ChipLayout), in the
// element's colours, where the effect draws it. A click selects it, a drag moves it (with axis
// lock, grid and guide snapping), and a selected chip offers a close button and two centring
// buttons. The chip never writes the preset: it reports every intent through its callbacks.
//
// The widget is its box with a margin around it; only the box takes the mouse (a small box
// somewhat more, so it stays graspable). The selected chip's buttons are widgets of the chip's
// parent, so that the canvas can lift them above every chip.
//
// The text is drawn at true scale, as small as it will burn in at the canvas's size; a chip
// whose text is drawn smaller than can be read at a glance also says it in the kit's tooltip.
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

    // Room on each side of the box, for its outline and a larger grip.
    static constexpr int margin = 8;
    // The least width and height that takes the mouse, in points.
    static constexpr double minimumGrip = 20;
    // A press that moves less than this is a click.
    static constexpr double dragThreshold = 2;
    // Text drawn smaller than this many points is told in the chip's tooltip as well.
    static constexpr double legibleTextSize = 9;

    PreviewChipView(Callbacks callbacks, ChipLayout::TextMeasure measure, ModifierSource modifiers,
                    QWidget *parent = nullptr);
    ~PreviewChipView() override;

    void setInputs(Inputs inputs);
    const Inputs &inputs() const { return inputs_; }
    const Uuid &elementID() const { return inputs_.element.id; }

    const std::vector<std::string> &displayLines() const { return lines_; }
    QSizeF chipSize() const { return size_; }
    // Where the effect draws the element (ChipLayout::placedPosition): its stored position,
    // unless that leaves the box outside the frame or, constrained, the visible picture.
    std::pair<double, double> placedPosition() const { return placed_; }
    // The drag rules for the chip's present inputs; a drag starts where the chip is drawn.
    DragMath dragMath() const;
    // The box in the canvas's coordinates as drawn now: at the stored position, or where a
    // drag in progress has taken it.
    QRectF boxInCanvas() const;
    bool isDragInProgress() const;

    QAbstractButton *removeButton() const { return removeButton_; }
    QAbstractButton *centreHorizontallyButton() const { return centreHorizontally_; }
    QAbstractButton *centreVerticallyButton() const { return centreVertically_; }
    // Puts the close button and the centring toolbar above every sibling drawn so far.
    void raiseControls();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    DragModifiers modifiers() const;
    // The resolved drag at the present translation; nothing while no drag moves the chip.
    std::optional<DragMath::Result> resolvedDrag() const;
    // Places the widget, its buttons and its mouse area for the inputs and the drag.
    void relayout();
    void reportGuides(std::optional<double> guideX, std::optional<double> guideY);
    // Ends a drag without committing it: the chip goes back and its guides hide.
    void cancelDrag();
    QRectF boxInWidget() const;

    Inputs inputs_;
    Callbacks callbacks_;
    ChipLayout::TextMeasure measure_;
    ModifierSource modifierSource_;
    std::vector<std::string> lines_;
    QSizeF size_;
    std::pair<double, double> placed_;

    // The press that may become a click or a drag, in global coordinates.
    std::optional<QPointF> pressedAt_;
    bool dragging_ = false;
    bool hasSelectedThisDrag_ = false;
    QSizeF translation_;
    std::optional<double> guideX_;
    std::optional<double> guideY_;

    // In the parent; the chip deletes them unless the parent has already.
    QPointer<QWidget> toolbar_;
    QAbstractButton *centreHorizontally_;
    QAbstractButton *centreVertically_;
    QPointer<QAbstractButton> removeButton_;
};

} // namespace tandrel
