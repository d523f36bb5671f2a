#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/RejectionFeedback.h"
#include "timecode/ui/TimecodeFieldComponentView.h"
#include "timecode/ui/TimecodeFieldSeparatorView.h"
#include "timecode/ui/TimecodePaste.h"
#include "timecode/ui/model/Binding.h"
#include "timecode/ui/model/TimecodeFieldAction.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"
#include "timecode/ui/model/TimecodeFieldKeyResult.h"
#include "timecode/ui/model/TimecodeFieldOptions.h"
#include "timecode/ui/model/TimecodeFieldPasteValidation.h"
#include "timecode/ui/model/TimecodeFieldRow.h"

#include <QWidget>

#include <array>
#include <optional>
#include <vector>

namespace timecode {

// The timecode entry field: a row of separately focusable numbers (days, hours, minutes,
// seconds, frames, sub-frames) with separators between them, bound to a timecode its owner
// holds. Days show under the 100-day limit or when the format always shows them; sub-frames
// when the format shows them. Its look and behaviour come from the settings of
// TimecodeEnvironment.h placed on it or on a widget around it.
//
// Editing: click a number, or focus one; typing, arrows, "+" / "-", delete and the separator
// keys edit it and move among the shown numbers (see TimecodeFieldComponentStateModel). Return
// and Escape run the field actions of the settings. Ctrl+V pastes a timecode, decided by the
// paste and validation policies (validate). Refused input gives the rejection feedback: the
// beep and a shake or pulse, or a handler.
//
// Focus moves asked for by keys, clicks and field actions take effect after the current event.
class TimecodeField : public QWidget {
    Q_OBJECT
public:
    using Component = Timecode::Component;
    using InputStyle = TimecodeFieldInputStyle;
    using InputWrapping = TimecodeFieldInputWrapping;
    using PastePolicy = TimecodeFieldPastePolicy;
    using ValidationPolicy = TimecodeFieldValidationPolicy;
    using InputRejectionFeedback = TimecodeFieldInputRejectionFeedback;
    using FieldAction = TimecodeFieldAction;
    using PasteValidationResult = TimecodeFieldPasteValidationResult;
    using KeyResult = TimecodeFieldKeyResult;
    using ComponentView = TimecodeFieldComponentView;
    using SeparatorView = TimecodeFieldSeparatorView;

    static constexpr double shakeIntensity = RejectionAnimationCurve::shakeIntensity;
    static constexpr double pulseIntensity = RejectionAnimationCurve::pulseIntensity;

    // Components at 24 fps, 100 sub-frames, 24 hours.
    explicit TimecodeField(Binding<Timecode::Components> components, QWidget *parent = nullptr);
    // Components at fixed properties.
    TimecodeField(Binding<Timecode::Components> components, const Timecode::Properties &properties,
                  QWidget *parent = nullptr);
    TimecodeField(Binding<Timecode::Components> components, TimecodeFrameRate at,
                  Timecode::SubFramesBase base, Timecode::UpperLimit limit,
                  QWidget *parent = nullptr);
    // Components and properties each bound.
    TimecodeField(Binding<Timecode::Components> components, Binding<TimecodeFrameRate> at,
                  Binding<Timecode::SubFramesBase> base, Binding<Timecode::UpperLimit> limit,
                  QWidget *parent = nullptr);
    // A whole timecode. Changing a property through the field replaces it without converting
    // the components.
    explicit TimecodeField(Binding<Timecode> timecode, QWidget *parent = nullptr);

    // The paste decision (TimecodeFieldPasteValidation.h).
    static std::optional<Timecode>
    validate(const Timecode &pastedTimecode, const Timecode::Properties &localTimecodeProperties,
             PastePolicy pastePolicy, ValidationPolicy validationPolicy, InputStyle inputStyle) {
        return validateTimecodeFieldPaste(pastedTimecode, localTimecodeProperties, pastePolicy,
                                          validationPolicy, inputStyle);
    }

    // The five bindings: each pair stays consistent whichever is written.
    const Binding<Timecode::Components> &components() const { return components_; }
    const Binding<TimecodeFrameRate> &frameRate() const { return frameRate_; }
    const Binding<Timecode::SubFramesBase> &subFramesBase() const { return subFramesBase_; }
    const Binding<Timecode::UpperLimit> &upperLimit() const { return upperLimit_; }
    const Binding<Timecode> &timecode() const { return timecode_; }
    // The properties read from their bindings.
    Timecode::Properties timecodeProperties() const;

    // The component being edited; none while the field is idle.
    std::optional<Component> focusedComponent() const { return focusedComponent_; }
    // Focuses the component (or none) at once. A component the row does not show counts as
    // none. Every change makes every component fresh again.
    void setFocusedComponent(std::optional<Component> component);
    // The same after the current event has been handled.
    void focus(std::optional<Component> component);

    // A paste's outcome: a timecode the paste decision lets in is written to the binding;
    // anything else is refused with the rejection feedback.
    void handle(const TimecodePasteResult &pasteResult);
    void perform(InputRejectionFeedback::RejectionAnimation rejectionAnimation);
    RejectionAnimator &animator() { return animator_; }

    // The view of a component; null when the row does not show it.
    ComponentView *componentView(Component component) const;
    // The row as shown, left to right.
    std::vector<QWidget *> rowWidgets() const;
    // The row as its rules give it for the current properties and format.
    std::vector<TimecodeFieldRow::Item> rowItems() const;
    // Rereads the bindings; for bindings that cannot be observed, after changing their values.
    void refresh();

signals:
    void focusedComponentChanged();

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class TimecodeFieldComponentView;

    struct Snapshot {
        Timecode::Components components;
        TimecodeFrameRate frameRate;
        Timecode::SubFramesBase subFramesBase;
        Timecode::UpperLimit upperLimit;
        Timecode timecode;
    };

    TimecodeField(Binding<Timecode::Components> components, Binding<TimecodeFrameRate> at,
                  Binding<Timecode::SubFramesBase> base, Binding<Timecode::UpperLimit> limit,
                  Binding<Timecode> timecode, QWidget *parent);
    static Binding<Timecode> timecodeBinding(Binding<Timecode::Components> components,
                                             Binding<TimecodeFrameRate> at,
                                             Binding<Timecode::SubFramesBase> base,
                                             Binding<Timecode::UpperLimit> limit);
    void build();
    void subscribe();
    Snapshot snapshot() const;
    // Keeps each pair of bindings in step with what changed since the last look.
    void keepBindingsConsistent();
    void layOutRow();
    void componentFocusedIn(Component component);
    void componentFocusedOut(Qt::FocusReason reason);

    Binding<Timecode::Components> components_;
    Binding<TimecodeFrameRate> frameRate_;
    Binding<Timecode::SubFramesBase> subFramesBase_;
    Binding<Timecode::UpperLimit> upperLimit_;
    Binding<Timecode> timecode_;
    std::vector<Subscription> subscriptions_;
    std::optional<Snapshot> lastSeen_;
    bool refreshing_ = false;

    QWidget *row_ = nullptr;
    std::array<ComponentView *, 6> views_{};
    // Before hours, minutes, seconds, frames and sub-frames.
    std::array<SeparatorView *, 5> separators_{};
    std::optional<Component> focusedComponent_;
    RejectionAnimator animator_;
};

} // namespace timecode
