#include "timecode/ui/TimecodeEnvironment.h"

#include <QCoreApplication>

namespace timecode {

namespace {

// The settings of one widget, kept as a child of it so they go with it.
class EnvironmentNode : public QObject {
public:
    explicit EnvironmentNode(QWidget *widget) : QObject(widget) {
        setObjectName(QStringLiteral("timecodeEnvironment"));
    }
    TimecodeEnvironmentOverrides overrides;
};

EnvironmentNode *nodeOf(const QWidget *widget) {
    return widget->findChild<EnvironmentNode *>(QStringLiteral("timecodeEnvironment"),
                                                Qt::FindDirectChildrenOnly);
}

// Takes the nearest setting: a field already taken from a nearer widget stays.
template <typename T> void take(std::optional<T> &resolved, const std::optional<T> &set) {
    if (!resolved && set) {
        resolved = set;
    }
}

} // namespace

TimecodeEnvironmentValues TimecodeEnvironment::of(const QWidget *widget) {
    TimecodeEnvironmentOverrides nearest;
    for (const QWidget *at = widget; at != nullptr; at = at->parentWidget()) {
        const EnvironmentNode *node = nodeOf(at);
        if (node == nullptr) {
            continue;
        }
        const TimecodeEnvironmentOverrides &set = node->overrides;
        take(nearest.timecodeFormat, set.timecodeFormat);
        take(nearest.timecodeSeparatorStyle, set.timecodeSeparatorStyle);
        take(nearest.timecodeSubFramesStyle, set.timecodeSubFramesStyle);
        take(nearest.timecodeSubFramesScale, set.timecodeSubFramesScale);
        take(nearest.timecodeValidationStyle, set.timecodeValidationStyle);
        take(nearest.timecodePasted, set.timecodePasted);
        take(nearest.timecodeFieldInputRejectionFeedback, set.timecodeFieldInputRejectionFeedback);
        take(nearest.timecodeFieldHighlightStyle, set.timecodeFieldHighlightStyle);
        take(nearest.timecodeFieldInputStyle, set.timecodeFieldInputStyle);
        take(nearest.timecodeFieldInputWrapping, set.timecodeFieldInputWrapping);
        take(nearest.timecodeFieldPastePolicy, set.timecodeFieldPastePolicy);
        take(nearest.timecodeFieldReturnAction, set.timecodeFieldReturnAction);
        take(nearest.timecodeFieldEscapeAction, set.timecodeFieldEscapeAction);
        take(nearest.timecodeFieldValidationPolicy, set.timecodeFieldValidationPolicy);
    }

    TimecodeEnvironmentValues values;
    auto apply = [](auto &value, const auto &set) {
        if (set) {
            value = *set;
        }
    };
    apply(values.timecodeFormat, nearest.timecodeFormat);
    apply(values.timecodeSeparatorStyle, nearest.timecodeSeparatorStyle);
    apply(values.timecodeSubFramesStyle.style, nearest.timecodeSubFramesStyle);
    apply(values.timecodeSubFramesStyle.scale, nearest.timecodeSubFramesScale);
    apply(values.timecodeValidationStyle, nearest.timecodeValidationStyle);
    apply(values.timecodePasted, nearest.timecodePasted);
    apply(values.timecodeFieldInputRejectionFeedback, nearest.timecodeFieldInputRejectionFeedback);
    apply(values.timecodeFieldInputStyle, nearest.timecodeFieldInputStyle);
    apply(values.timecodeFieldInputWrapping, nearest.timecodeFieldInputWrapping);
    apply(values.timecodeFieldPastePolicy, nearest.timecodeFieldPastePolicy);
    apply(values.timecodeFieldReturnAction, nearest.timecodeFieldReturnAction);
    apply(values.timecodeFieldEscapeAction, nearest.timecodeFieldEscapeAction);
    apply(values.timecodeFieldValidationPolicy, nearest.timecodeFieldValidationPolicy);
    if (nearest.timecodeFieldHighlightStyle) {
        values.timecodeFieldHighlightStyle = *nearest.timecodeFieldHighlightStyle;
    } else {
        values.timecodeFieldHighlightStyle =
            widget ? widget->palette().highlight() : QPalette().highlight();
    }
    return values;
}

TimecodeEnvironmentOverrides TimecodeEnvironment::overrides(const QWidget *widget) {
    const EnvironmentNode *node = nodeOf(widget);
    return node ? node->overrides : TimecodeEnvironmentOverrides();
}

void TimecodeEnvironment::modify(
    QWidget *widget, const std::function<void(TimecodeEnvironmentOverrides &)> &change) {
    EnvironmentNode *node = nodeOf(widget);
    if (node == nullptr) {
        node = new EnvironmentNode(widget);
    }
    change(node->overrides);
    QEvent changed(changeEventType());
    QCoreApplication::sendEvent(widget, &changed);
    for (QWidget *below : widget->findChildren<QWidget *>()) {
        QEvent event(changeEventType());
        QCoreApplication::sendEvent(below, &event);
    }
}

QEvent::Type TimecodeEnvironment::changeEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool TimecodeEnvironment::isChange(const QEvent *event) {
    return event->type() == changeEventType() || event->type() == QEvent::ParentChange ||
           event->type() == QEvent::PaletteChange;
}

QWidget *timecodeFormat(QWidget *view, Timecode::StringFormat format) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeFormat = format; });
    return view;
}

QWidget *timecodeSeparatorStyle(QWidget *view, ShapeStyleArgument style) {
    TimecodeEnvironment::modify(view,
                                [&](auto &set) { set.timecodeSeparatorStyle = style.style(); });
    return view;
}

QWidget *timecodeSubFramesStyle(QWidget *view, ShapeStyleArgument style) {
    TimecodeEnvironment::modify(view,
                                [&](auto &set) { set.timecodeSubFramesStyle = style.style(); });
    return view;
}

QWidget *timecodeSubFramesStyle(QWidget *view, TextScale scale) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeSubFramesScale = scale; });
    return view;
}

QWidget *timecodeSubFramesStyle(QWidget *view, ShapeStyleArgument style, TextScale scale) {
    TimecodeEnvironment::modify(view, [&](auto &set) {
        set.timecodeSubFramesStyle = style.style();
        set.timecodeSubFramesScale = scale;
    });
    return view;
}

QWidget *timecodeValidationStyle(QWidget *view, ShapeStyleArgument style) {
    TimecodeEnvironment::modify(view,
                                [&](auto &set) { set.timecodeValidationStyle = style.style(); });
    return view;
}

QWidget *
timecodeFieldInputRejectionFeedback(QWidget *view,
                                    std::optional<TimecodeFieldInputRejectionFeedback> feedback) {
    TimecodeEnvironment::modify(
        view, [&](auto &set) { set.timecodeFieldInputRejectionFeedback = std::move(feedback); });
    return view;
}

QWidget *timecodeFieldHighlightStyle(QWidget *view, ShapeStyleArgument style) {
    TimecodeEnvironment::modify(
        view, [&](auto &set) { set.timecodeFieldHighlightStyle = style.style(); });
    return view;
}

QWidget *timecodeFieldInputStyle(QWidget *view, TimecodeFieldInputStyle style) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeFieldInputStyle = style; });
    return view;
}

QWidget *timecodeFieldInputWrapping(QWidget *view, TimecodeFieldInputWrapping wrapping) {
    TimecodeEnvironment::modify(view,
                                [&](auto &set) { set.timecodeFieldInputWrapping = wrapping; });
    return view;
}

QWidget *timecodeFieldReturnAction(QWidget *view, std::optional<TimecodeFieldAction> action) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeFieldReturnAction = action; });
    return view;
}

QWidget *timecodeFieldEscapeAction(QWidget *view, std::optional<TimecodeFieldAction> action) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeFieldEscapeAction = action; });
    return view;
}

QWidget *timecodeFieldPastePolicy(QWidget *view, TimecodeFieldPastePolicy policy) {
    TimecodeEnvironment::modify(view, [&](auto &set) { set.timecodeFieldPastePolicy = policy; });
    return view;
}

QWidget *timecodeFieldValidationPolicy(QWidget *view, TimecodeFieldValidationPolicy policy) {
    TimecodeEnvironment::modify(view,
                                [&](auto &set) { set.timecodeFieldValidationPolicy = policy; });
    return view;
}

} // namespace timecode
