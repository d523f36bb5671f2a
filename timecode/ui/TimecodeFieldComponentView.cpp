#include "timecode/ui/TimecodeFieldComponentView.h"

#include "timecode/ui/KeyEvents.h"
#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeField.h"
#include "timecode/ui/TimecodePaste.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace timecode {

namespace {

using FocusResult = TimecodeFieldKeyResult::FocusResult;
using Result = TimecodeFieldKeyResult::Result;

constexpr qreal cornerRadius = 2;
constexpr int horizontalPadding = 1;
constexpr int verticalPadding = 1;

// The width every digit is drawn in: the widest digit of the font.
qreal digitCell(const QFont &font) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (QChar digit : QStringView(u"0123456789")) {
        widest = std::max(widest, metrics.horizontalAdvance(digit));
    }
    return widest;
}

void fillRounded(QPainter &painter, const QRectF &rect, const QBrush &brush) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawRoundedRect(rect, cornerRadius, cornerRadius);
}

} // namespace

TimecodeFieldComponentView::TimecodeFieldComponentView(
    TimecodeComponent component, Binding<TimecodeProperties> timecodeProperties,
    Binding<int64_t> value, TimecodeField *focusedComponent, QWidget *parent)
    : QWidget(parent), field_(focusedComponent), timecodeProperties_(std::move(timecodeProperties)),
      value_(std::move(value)), stateModel_(component, timecodeProperties_.get(), value_.get()),
      viewModel_(component, timecodeProperties_.get()), animator_(this) {
    setObjectName(QString::fromUtf8(component.nameLowerCamelCase()));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    stateModel_.setObserver([this](StateModel::Property property) {
        if (property == StateModel::Property::value) {
            if (value_.get() != stateModel_.value()) {
                value_.set(stateModel_.value());
            }
            emit valueEdited();
        }
        updateGeometry();
        update();
    });
    viewModel_.setObserver([this] { update(); });

    onPasteCommandOfTimecode(
        this, [this] { return viewModel_.timecodeProperties(); },
        [this] { return TimecodeEnvironment::of(this).timecodePasted; });
}

bool TimecodeFieldComponentView::isEditing() const {
    return field_->focusedComponent() == component();
}

void TimecodeFieldComponentView::startEditing() {
    field_->focus(component());
}

bool TimecodeFieldComponentView::perform(const std::optional<TimecodeFieldAction> &fieldAction) {
    if (!fieldAction) {
        return false;
    }
    const TimecodeStringFormat format = TimecodeEnvironment::of(this).timecodeFormat;
    switch (fieldAction->kind()) {
    case TimecodeFieldAction::Kind::resetComponentFocus:
        field_->focus(fieldAction->component().value_or(viewModel_.firstVisibleComponent(format)));
        return false;
    case TimecodeFieldAction::Kind::endEditing:
        field_->focus(std::nullopt);
        return false;
    case TimecodeFieldAction::Kind::focusNextComponent:
        moveFocus(FocusResult::focusNextComponent);
        return true;
    }
    return false;
}

void TimecodeFieldComponentView::moveFocus(FocusResult direction) {
    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    const bool wrap = environment.timecodeFieldInputWrapping == TimecodeFieldInputWrapping::wrap;
    field_->focus(direction == FocusResult::focusNextComponent
                      ? viewModel_.nextComponent(environment.timecodeFormat, wrap)
                      : viewModel_.previousComponent(environment.timecodeFormat, wrap));
}

bool TimecodeFieldComponentView::handleKeyPress(KeyEquivalent key) {
    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    const TimecodeFieldKeyResult result = stateModel_.handleKeyPress(
        key, environment.timecodeFieldInputStyle, environment.timecodeFieldValidationPolicy);
    bool handled = false;
    switch (result.result) {
    case Result::handled:
        handled = true;
        break;
    case Result::ignored:
        break;
    case Result::performEscapeAction:
        handled = perform(environment.timecodeFieldEscapeAction);
        break;
    case Result::performReturnAction:
        handled = perform(environment.timecodeFieldReturnAction);
        break;
    }
    if (result.updateFocus) {
        moveFocus(*result.updateFocus);
    }
    if (result.rejection) {
        giveRejectionFeedback(this, animator_,
                              TimecodeFieldInputRejectionFeedback::UserAction::keyRejected(
                                  component(), key, *result.rejection));
    }
    return handled;
}

ShapeStyle TimecodeFieldComponentView::backgroundStyle() const {
    return backgroundStyle(TimecodeEnvironment::of(this));
}

ShapeStyle TimecodeFieldComponentView::foregroundStyle() const {
    return foregroundStyle(TimecodeEnvironment::of(this));
}

ShapeStyle
TimecodeFieldComponentView::backgroundStyle(const TimecodeEnvironmentValues &environment) const {
    if (isEditing()) {
        if (ShapeStyle highlight = environment.timecodeFieldHighlightStyle) {
            // Digits in the validation colour cannot be read on the highlight (red on blue):
            // an out-of-range number being edited sits on the validation colour instead.
            if (isOutOfRange() && environment.timecodeValidationStyle) {
                return environment.timecodeValidationStyle;
            }
            return highlight;
        }
    }
    if (isHovering_) {
        QColor faint = palette().color(QPalette::WindowText);
        faint.setAlphaF(0.15f);
        return QBrush(faint);
    }
    return std::nullopt;
}

ShapeStyle
TimecodeFieldComponentView::foregroundStyle(const TimecodeEnvironmentValues &environment) const {
    if (isEditing()) {
        if (const ShapeStyle fill = backgroundStyle(environment)) {
            return QBrush(readableOn(fill->color()));
        }
    }
    if (isOutOfRange()) {
        if (ShapeStyle validation = environment.timecodeValidationStyle) {
            return validation;
        }
    }
    return ownStyle_;
}

bool TimecodeFieldComponentView::isOutOfRange() const {
    return !stateModel_.validRange().contains(stateModel_.value());
}

QColor TimecodeFieldComponentView::readableOn(const QColor &fill) {
    // Dark digits on a light fill, light ones on a dark fill, by how bright the fill looks
    // (yellow is light, blue and red dark).
    const double luminance = 0.299 * fill.redF() + 0.587 * fill.greenF() + 0.114 * fill.blueF();
    return luminance > 0.6 ? QColor(Qt::black) : QColor(Qt::white);
}

void TimecodeFieldComponentView::setOwnStyle(ShapeStyle style, TextScale scale) {
    const bool resized = scale != scale_;
    ownStyle_ = std::move(style);
    scale_ = scale;
    if (resized) {
        updateGeometry();
    }
    update();
}

void TimecodeFieldComponentView::syncFromBindings() {
    const TimecodeProperties properties = timecodeProperties_.get();
    stateModel_.setTimecodeProperties(properties);
    viewModel_.setTimecodeProperties(properties);
    stateModel_.setValue(value_.get());
}

QFont TimecodeFieldComponentView::scaledFont() const {
    QFont scaled = font();
    if (scale_ == TextScale::secondary) {
        if (scaled.pointSizeF() > 0) {
            scaled.setPointSizeF(scaled.pointSizeF() * secondaryTextScaleFactor);
        } else {
            scaled.setPixelSize(qRound(scaled.pixelSize() * secondaryTextScaleFactor));
        }
    }
    return scaled;
}

QSize TimecodeFieldComponentView::sizeHint() const {
    const QFont scaled = scaledFont();
    const QFontMetricsF metrics(scaled);
    const auto characters = static_cast<qreal>(stateModel_.valuePadded().size());
    // The height of the surrounding font, so that the row keeps one height whatever the scale.
    const QFontMetricsF rowMetrics(font());
    return QSize(qCeil(characters * digitCell(scaled)) + 2 * horizontalPadding,
                 qCeil(std::max(rowMetrics.height(), metrics.height())) + 2 * verticalPadding);
}

bool TimecodeFieldComponentView::event(QEvent *event) {
    if (TimecodeEnvironment::isChange(event)) {
        update();
    }
    if (event->type() == QEvent::HoverEnter || event->type() == QEvent::HoverLeave) {
        isHovering_ = event->type() == QEvent::HoverEnter;
        update();
    }
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
    }
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const std::optional<KeyEquivalent> key = keyEquivalent(*keyEvent);
        if (!key) {
            return QWidget::event(event);
        }
        if (event->type() == QEvent::ShortcutOverride) {
            // Keys the component edits with are its own, ahead of the window's shortcuts; a
            // trial run on a copy of the state tells which.
            StateModel trial = stateModel_;
            trial.setObserver({});
            const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
            const TimecodeFieldKeyResult result =
                trial.handleKeyPress(*key, environment.timecodeFieldInputStyle,
                                     environment.timecodeFieldValidationPolicy);
            if (result.result == Result::handled) {
                event->accept();
                return true;
            }
            return QWidget::event(event);
        }
        if (handleKeyPress(*key)) {
            keyEvent->accept();
            return true;
        }
        keyEvent->ignore();
        // Tab still moves focus the usual way; other keys travel on to the widgets around.
        if (keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab) {
            return QWidget::event(event);
        }
        return false;
    }
    return QWidget::event(event);
}

void TimecodeFieldComponentView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    const TimecodeEnvironmentValues environment = TimecodeEnvironment::of(this);
    const ShapeStyle background = backgroundStyle(environment);
    if (background) {
        fillRounded(painter, bounds, *background);
        fillRounded(painter, bounds, *background);
    }
    const ShapeStyle foreground = foregroundStyle(environment);
    const QColor colour = foreground ? foreground->color() : palette().color(QPalette::WindowText);
    const QFont scaled = scaledFont();
    painter.setFont(scaled);
    painter.setPen(colour);
    // Each character centred in a cell as wide as the widest digit, all on the baseline of
    // the row's font, so that smaller sub-frames sit on the line with the rest.
    const QFontMetricsF metrics(scaled);
    const QFontMetricsF rowMetrics(font());
    const qreal cell = digitCell(scaled);
    const QString text = QString::fromStdString(stateModel_.valuePadded());
    const qreal baseline = (bounds.height() - rowMetrics.height()) / 2 + rowMetrics.ascent();
    qreal x = (bounds.width() - cell * static_cast<qreal>(text.size())) / 2;
    for (QChar character : text) {
        const qreal advance = metrics.horizontalAdvance(character);
        painter.drawText(QPointF(x + (cell - advance) / 2, baseline), QString(character));
        x += cell;
    }
}

void TimecodeFieldComponentView::mousePressEvent(QMouseEvent *event) {
    startEditing();
    QWidget::mousePressEvent(event);
}

void TimecodeFieldComponentView::focusInEvent(QFocusEvent *event) {
    field_->componentFocusedIn(component());
    QWidget::focusInEvent(event);
}

void TimecodeFieldComponentView::focusOutEvent(QFocusEvent *event) {
    field_->componentFocusedOut(event->reason());
    QWidget::focusOutEvent(event);
}

void TimecodeFieldComponentView::hideEvent(QHideEvent *event) {
    // A view that goes away while it is being edited ends the editing.
    if (!event->spontaneous() && isEditing()) {
        field_->focus(std::nullopt);
    }
    QWidget::hideEvent(event);
}

} // namespace timecode
