#pragma once

#include "core/model/BurnInElement.h"
#include "host/views/preview/ChipLayout.h"
#include "host/views/preview/DragMath.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QAbstractButton;

namespace tandrel {

// One element on the position preview: its label (or sample block) in the monospaced font
// scaled with the canvas, in the element's colours, at the element's position. A click
// selects it, a drag moves it (with axis lock, grid and guide snapping), and a selected chip
// offers a close button and two centring buttons. The chip never writes the preset: it
// reports every intent through its callbacks.
//
// The widget is its box with room around it for the selected chip's buttons; only the box
// (and the buttons while they show) takes the mouse.
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

    // Room on each side of the box for the selected chip's buttons.
    static constexpr int margin = 8;
    // A press that moves less than this is a click.
    static constexpr double dragThreshold = 2;

    PreviewChipView(Callbacks callbacks, ChipLayout::TextMeasure measure, ModifierSource modifiers,
                    QWidget *parent = nullptr);

    void setInputs(Inputs inputs);
    const Inputs &inputs() const { return inputs_; }
    const Uuid &elementID() const { return inputs_.element.id; }

    const std::vector<std::string> &displayLines() const { return lines_; }
    QSizeF chipSize() const { return size_; }
    // The drag rules for the chip's present inputs.
    DragMath dragMath() const;
    // The box in the canvas's coordinates as drawn now: at the stored position, or where a
    // drag in progress has taken it.
    QRectF boxInCanvas() const;
    bool isDragInProgress() const;

    QAbstractButton *removeButton() const { return removeButton_; }
    QAbstractButton *centreHorizontallyButton() const { return centreHorizontally_; }
    QAbstractButton *centreVerticallyButton() const { return centreVertically_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
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

    // The press that may become a click or a drag, in global coordinates.
    std::optional<QPointF> pressedAt_;
    bool dragging_ = false;
    bool hasSelectedThisDrag_ = false;
    QSizeF translation_;
    std::optional<double> guideX_;
    std::optional<double> guideY_;

    QWidget *toolbar_;
    QAbstractButton *centreHorizontally_;
    QAbstractButton *centreVertically_;
    QAbstractButton *removeButton_;
};

} // namespace tandrel
