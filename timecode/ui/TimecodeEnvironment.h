#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/ui/ShapeStyle.h"
#include "timecode/ui/TimecodePaste.h"
#include "timecode/ui/model/TimecodeFieldAction.h"
#include "timecode/ui/model/TimecodeFieldInputRejectionFeedback.h"
#include "timecode/ui/model/TimecodeFieldOptions.h"

#include <QEvent>
#include <QWidget>

#include <functional>
#include <optional>

namespace timecode {

// The style and scale of sub-frames, set independently of each other.
struct TimecodeSubFramesStyle {
    ShapeStyle style;
    TextScale scale = TextScale::standard;
};

// The settings every timecode view reads, with their defaults. The views do not take them one
// by one: a setting is placed on an enclosing widget and holds for every timecode view below
// it, the nearest setting winning (TimecodeEnvironment::of).
struct TimecodeEnvironmentValues {
    using Feedback = TimecodeFieldInputRejectionFeedback;

    // Shared by the text and the field.
    Timecode::StringFormat timecodeFormat;
    ShapeStyle timecodeSeparatorStyle;
    TimecodeSubFramesStyle timecodeSubFramesStyle;
    ShapeStyle timecodeValidationStyle = QBrush(Qt::red);
    std::optional<TimecodePasteAction> timecodePasted;

    // The field's own.
    std::optional<Feedback> timecodeFieldInputRejectionFeedback =
        Feedback::validationBased(Feedback::RejectionAnimation::pulse);
    // Unset anywhere above: the reading widget's palette highlight.
    ShapeStyle timecodeFieldHighlightStyle;
    TimecodeFieldInputStyle timecodeFieldInputStyle =
        TimecodeFieldInputStyle::continuousWithinComponent;
    TimecodeFieldInputWrapping timecodeFieldInputWrapping = TimecodeFieldInputWrapping::noWrap;
    TimecodeFieldPastePolicy timecodeFieldPastePolicy =
        TimecodeFieldPastePolicy::preserveLocalProperties;
    // None: the key is left to the widgets around the field.
    std::optional<TimecodeFieldAction> timecodeFieldReturnAction;
    std::optional<TimecodeFieldAction> timecodeFieldEscapeAction;
    TimecodeFieldValidationPolicy timecodeFieldValidationPolicy =
        TimecodeFieldValidationPolicy::enforceValid;
};

// What one widget sets: each field either unset (the value comes from further out) or set,
// where a set optional value may be none ("no style"), which is not the same as unset. The
// sub-frames style and scale are separate settings.
struct TimecodeEnvironmentOverrides {
    std::optional<Timecode::StringFormat> timecodeFormat;
    std::optional<ShapeStyle> timecodeSeparatorStyle;
    std::optional<ShapeStyle> timecodeSubFramesStyle;
    std::optional<TextScale> timecodeSubFramesScale;
    std::optional<ShapeStyle> timecodeValidationStyle;
    std::optional<std::optional<TimecodePasteAction>> timecodePasted;
    std::optional<std::optional<TimecodeFieldInputRejectionFeedback>>
        timecodeFieldInputRejectionFeedback;
    std::optional<ShapeStyle> timecodeFieldHighlightStyle;
    std::optional<TimecodeFieldInputStyle> timecodeFieldInputStyle;
    std::optional<TimecodeFieldInputWrapping> timecodeFieldInputWrapping;
    std::optional<TimecodeFieldPastePolicy> timecodeFieldPastePolicy;
    std::optional<std::optional<TimecodeFieldAction>> timecodeFieldReturnAction;
    std::optional<std::optional<TimecodeFieldAction>> timecodeFieldEscapeAction;
    std::optional<TimecodeFieldValidationPolicy> timecodeFieldValidationPolicy;
};

class TimecodeEnvironment {
public:
    // The settings at the widget: for each one, the widget's own, else its parent's, and so on
    // up the parents, else the default.
    static TimecodeEnvironmentValues of(const QWidget *widget);
    // What the widget itself sets.
    static TimecodeEnvironmentOverrides overrides(const QWidget *widget);
    // Changes what the widget sets, then tells the widget and every widget below it with a
    // change event.
    static void modify(QWidget *widget,
                       const std::function<void(TimecodeEnvironmentOverrides &)> &change);

    // The event sent by modify().
    static QEvent::Type changeEventType();
    // Whether the event may have changed what a view reads: a change of the settings, of the
    // parent, or of the palette (the highlight's default).
    static bool isChange(const QEvent *event);
};

// The settings, as operations on a widget. Each sets one thing for the widget and everything
// below it, and answers the widget.
QWidget *timecodeFormat(QWidget *view, Timecode::StringFormat format);
QWidget *timecodeSeparatorStyle(QWidget *view, ShapeStyleArgument style);
// The style half of the sub-frames setting; the scale further out stays.
QWidget *timecodeSubFramesStyle(QWidget *view, ShapeStyleArgument style);
// The scale half; the style further out stays.
QWidget *timecodeSubFramesStyle(QWidget *view, TextScale scale);
QWidget *timecodeSubFramesStyle(QWidget *view, ShapeStyleArgument style, TextScale scale);
// nullptr turns the validation colour off below the widget.
QWidget *timecodeValidationStyle(QWidget *view, ShapeStyleArgument style);
QWidget *
timecodeFieldInputRejectionFeedback(QWidget *view,
                                    std::optional<TimecodeFieldInputRejectionFeedback> feedback);
QWidget *timecodeFieldHighlightStyle(QWidget *view, ShapeStyleArgument style);
QWidget *timecodeFieldInputStyle(QWidget *view, TimecodeFieldInputStyle style);
QWidget *timecodeFieldInputWrapping(QWidget *view, TimecodeFieldInputWrapping wrapping);
QWidget *timecodeFieldReturnAction(QWidget *view, std::optional<TimecodeFieldAction> action);
QWidget *timecodeFieldEscapeAction(QWidget *view, std::optional<TimecodeFieldAction> action);
QWidget *timecodeFieldPastePolicy(QWidget *view, TimecodeFieldPastePolicy policy);
QWidget *timecodeFieldValidationPolicy(QWidget *view, TimecodeFieldValidationPolicy policy);

} // namespace timecode
