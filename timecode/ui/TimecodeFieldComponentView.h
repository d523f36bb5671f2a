#pragma once

#include "timecode/ui/RejectionFeedback.h"
#include "timecode/ui/ShapeStyle.h"
#include "timecode/ui/model/Binding.h"
#include "timecode/ui/model/TimecodeFieldAction.h"
#include "timecode/ui/model/TimecodeFieldComponentStateModel.h"
#include "timecode/ui/model/TimecodeFieldComponentViewModel.h"

#include <QWidget>

#include <optional>

namespace timecode {

class TimecodeField;
struct TimecodeEnvironmentValues;

// One number of the timecode field: shows its component zero-filled in fixed-pitch digits, on
// the highlight while it is being edited, and turns key presses into edits through its state
// model. Known as `TimecodeField::ComponentView`.
class TimecodeFieldComponentView : public QWidget {
    Q_OBJECT
public:
    using StateModel = TimecodeFieldComponentStateModel;
    using ViewModel = TimecodeFieldComponentViewModel;

    static constexpr double shakeIntensity = RejectionAnimationCurve::shakeIntensity;
    static constexpr double pulseIntensity = RejectionAnimationCurve::pulseIntensity;

    // Both models start from the bindings' current values, fresh, with no text typed. The
    // field is the focus state the view reads and writes.
    TimecodeFieldComponentView(TimecodeComponent component,
                               Binding<TimecodeProperties> timecodeProperties,
                               Binding<int64_t> value, TimecodeField *focusedComponent,
                               QWidget *parent = nullptr);

    const StateModel &stateModel() const { return stateModel_; }
    StateModel &stateModel() { return stateModel_; }
    const ViewModel &viewModel() const { return viewModel_; }
    TimecodeComponent component() const { return viewModel_.component(); }

    // The field's focused component is this one.
    bool isEditing() const;
    // Focuses this component after the current event.
    void startEditing();
    // What Return or Escape does; answers whether the key counts as handled (only a move to
    // the next component does, so the others also reach the widgets around the field).
    bool perform(const std::optional<TimecodeFieldAction> &fieldAction);
    // Runs the key through the state machine with the field's settings and acts on the result:
    // the field action, the focus move, the rejection feedback. Answers whether the key was
    // handled.
    bool handleKeyPress(KeyEquivalent key);
    // The fill behind the number: while editing the highlight, or the validation style when
    // the value is out of range; a faint fill under the pointer.
    ShapeStyle backgroundStyle() const;
    // The colour of the number: while editing on a fill, black or white, whichever reads on
    // it; else the validation style for a value out of range, else the view's own style (the
    // field gives one to the sub-frames), else none.
    ShapeStyle foregroundStyle() const;

    // The style and scale the field gives this view (the sub-frames').
    void setOwnStyle(ShapeStyle style, TextScale scale);
    // Rereads the bindings into the models (each store only when it differs).
    void syncFromBindings();

    RejectionAnimator &animator() { return animator_; }
    bool isHovering() const { return isHovering_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user changed the number; the field rereads its bindings.
    void valueEdited();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    // The styles from settings the caller looked up: a paint needs both, and each lookup walks
    // the parents, so it looks them up once.
    ShapeStyle backgroundStyle(const TimecodeEnvironmentValues &environment) const;
    ShapeStyle foregroundStyle(const TimecodeEnvironmentValues &environment) const;
    bool isOutOfRange() const;
    static QColor readableOn(const QColor &fill);
    QFont scaledFont() const;
    void moveFocus(TimecodeFieldKeyResult::FocusResult direction);

    TimecodeField *field_;
    Binding<TimecodeProperties> timecodeProperties_;
    Binding<int64_t> value_;
    StateModel stateModel_;
    ViewModel viewModel_;
    RejectionAnimator animator_;
    ShapeStyle ownStyle_;
    TextScale scale_ = TextScale::standard;
    bool isHovering_ = false;
};

} // namespace timecode
