#include "timecode/ui/demo/TimecodeDemoPages.h"

#include "timecode/ui/TimecodeEnvironment.h"
#include "timecode/ui/TimecodeField.h"
#include "timecode/ui/TimecodeState.h"
#include "timecode/ui/TimecodeText.h"
#include "timecode/ui/TimecodeTextField.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace timecode {

namespace {

using Option = Timecode::StringFormatOption;
using Base = Timecode::SubFramesBase;
using Limit = Timecode::UpperLimit;
using R = TimecodeFrameRate;

Timecode timecodeOf(Timecode::Components components, R rate, Base base = Base::max80SubFrames,
                    Limit limit = Limit::max24Hours) {
    Timecode timecode(Timecode::Properties(rate, base, limit));
    timecode.setComponents(components);
    return timecode;
}

// A page: a heading, a line saying what it shows, then labelled rows. The page itself holds
// the keyboard focus, so that no field is being edited unless the page says so: a window
// would otherwise give its first field the focus as it comes on screen.
class Page {
public:
    Page(const QString &heading, const QString &explanation) : widget_(new QWidget) {
        widget_->setFocusPolicy(Qt::ClickFocus);
        widget_->setFocus();
        auto *column = new QVBoxLayout(widget_);
        column->setContentsMargins(20, 16, 20, 16);
        column->setSpacing(10);
        auto *title = new QLabel(heading);
        QFont bold = title->font();
        bold.setBold(true);
        bold.setPointSizeF(bold.pointSizeF() * 1.2);
        title->setFont(bold);
        column->addWidget(title);
        auto *note = new QLabel(explanation);
        note->setWordWrap(true);
        note->setForegroundRole(QPalette::PlaceholderText);
        column->addWidget(note);
        form_ = new QFormLayout;
        form_->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        form_->setHorizontalSpacing(16);
        form_->setVerticalSpacing(10);
        column->addLayout(form_);
        column->addStretch(1);
    }

    std::unique_ptr<QWidget> take() const { return std::unique_ptr<QWidget>(widget_); }

    // A row holding one view in a box of its own, with the settings placed on the box.
    QWidget *row(const QString &label, QWidget *view,
                 const std::function<void(QWidget *)> &settings = {}) {
        auto *box = new QWidget;
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view);
        layout->addStretch(1);
        form_->addRow(label, box);
        if (settings) {
            settings(box);
        }
        return box;
    }

    // A field over a timecode state of the page.
    TimecodeField *field(const QString &label, const Timecode &initial,
                         const std::function<void(QWidget *)> &settings = {}) {
        auto *field = new TimecodeField((new TimecodeState(initial, widget_))->projectedValue());
        row(label, field, settings);
        return field;
    }

    void text(const QString &label, const Timecode &timecode,
              const std::function<void(QWidget *)> &settings = {}) {
        row(label, new TimecodeText(timecode), settings);
    }

private:
    QWidget *widget_;
    QFormLayout *form_;
};

void press(QWidget *target, Qt::Key key, const QString &text) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &event);
}

// The pointer over the view, as when the user moves it there.
void hover(QWidget *target) {
    const QPointF centre = QRectF(target->rect()).center();
    QHoverEvent event(QEvent::HoverEnter, centre, target->mapToGlobal(centre), QPointF(-1, -1));
    QCoreApplication::sendEvent(target, &event);
}

const QSize pageSize(440, 220);

std::unique_ptr<QWidget> fieldDefault() {
    Page page(QStringLiteral("Timecode field"),
              QStringLiteral("No settings around it: continuous typing within a number, "
                             "no wrapping, valid values only."));
    page.field(QStringLiteral("24 fps"), timecodeOf({0, 1, 0, 0, 0, 0}, R::fps24));
    page.field(QStringLiteral("23.976 fps"), timecodeOf({0, 0, 59, 58, 12, 0}, R::fps23_976));
    page.field(QStringLiteral("120 fps"), timecodeOf({0, 10, 0, 0, 119, 0}, R::fps120));
    return page.take();
}

std::unique_ptr<QWidget> fieldStates() {
    Page page(QStringLiteral("Field states"),
              QStringLiteral("Not being edited: at rest, with the pointer over the minutes, "
                             "and disabled."));
    page.field(QStringLiteral("Idle"), timecodeOf({0, 1, 0, 0, 0, 0}, R::fps24));
    TimecodeField *hovered =
        page.field(QStringLiteral("Hovered"), timecodeOf({0, 1, 0, 0, 0, 0}, R::fps24));
    hover(hovered->componentView(Timecode::Component::minutes));
    page.field(QStringLiteral("Disabled"), timecodeOf({0, 1, 0, 0, 0, 0}, R::fps24))
        ->setEnabled(false);
    return page.take();
}

std::unique_ptr<QWidget> fieldDrop() {
    Page page(QStringLiteral("Drop-frame rates"),
              QStringLiteral("A semicolon stands before the frames at the drop-frame rates."));
    page.field(QStringLiteral("29.97 drop"), timecodeOf({0, 0, 59, 59, 29, 0}, R::fps29_97d));
    page.field(QStringLiteral("59.94 drop"), timecodeOf({0, 1, 0, 0, 4, 0}, R::fps59_94d));
    page.field(QStringLiteral("29.97"), timecodeOf({0, 0, 59, 59, 29, 0}, R::fps29_97));
    return page.take();
}

std::unique_ptr<QWidget> fieldDays() {
    Page page(QStringLiteral("Days"),
              QStringLiteral("Days come first under the 100-day limit, or when the format "
                             "always shows them."));
    page.field(QStringLiteral("100 days"),
               timecodeOf({2, 1, 0, 0, 0, 0}, R::fps25, Base::max80SubFrames, Limit::max100Days));
    page.field(QStringLiteral("Always show days"), timecodeOf({0, 10, 0, 0, 0, 0}, R::fps24),
               [](QWidget *box) { timecodeFormat(box, {Option::alwaysShowDays}); });
    return page.take();
}

std::unique_ptr<QWidget> fieldSubFrames() {
    Page page(QStringLiteral("Sub-frames"),
              QStringLiteral("With the sub-frames option the row ends with a point and the "
                             "sub-frames, here smaller and in grey."));
    auto subFrames = [](QWidget *box) {
        timecodeFormat(box, {Option::showSubFrames});
        timecodeSubFramesStyle(box, QColor(Qt::darkGray), TextScale::secondary);
    };
    page.field(QStringLiteral("80 sub-frames"), timecodeOf({0, 1, 0, 0, 12, 40}, R::fps24),
               subFrames);
    page.field(QStringLiteral("Quarter frames"),
               timecodeOf({0, 1, 0, 0, 12, 3}, R::fps25, Base::quarterFrames), subFrames);
    page.field(QStringLiteral("Standard scale"),
               timecodeOf({0, 1, 0, 0, 12, 75}, R::fps29_97d, Base::max100SubFrames),
               [](QWidget *box) { timecodeFormat(box, {Option::showSubFrames}); });
    return page.take();
}

std::unique_ptr<QWidget> fieldEditing() {
    Page page(QStringLiteral("Editing"),
              QStringLiteral("The number being edited sits on the highlight; here 4 has just "
                             "been typed into the minutes."));
    TimecodeField *field =
        page.field(QStringLiteral("24 fps"), timecodeOf({0, 1, 30, 0, 0, 0}, R::fps24));
    field->setFocusedComponent(Timecode::Component::minutes);
    press(field->componentView(Timecode::Component::minutes), Qt::Key_4, QStringLiteral("4"));
    page.field(QStringLiteral("23.976 fps"), timecodeOf({0, 0, 59, 58, 12, 0}, R::fps23_976));
    return page.take();
}

std::unique_ptr<QWidget> fieldHighlight() {
    Page page(QStringLiteral("Custom highlight"),
              QStringLiteral("A highlight style set around the field: the frames being edited "
                             "sit on yellow, in dark digits."));
    TimecodeField *custom =
        page.field(QStringLiteral("25 fps"), timecodeOf({0, 0, 10, 0, 0, 0}, R::fps25),
                   [](QWidget *box) { timecodeFieldHighlightStyle(box, QColor(255, 204, 0)); });
    custom->setFocusedComponent(Timecode::Component::frames);
    return page.take();
}

std::unique_ptr<QWidget> fieldInvalid() {
    Page page(QStringLiteral("Invalid values"),
              QStringLiteral("Allowed to hold invalid values, the field shows them in the "
                             "validation style and keeps them; the hours being edited sit on "
                             "it."));
    auto allowInvalid = [](QWidget *box) {
        timecodeFieldValidationPolicy(box, TimecodeFieldValidationPolicy::allowInvalid);
    };
    page.field(QStringLiteral("25 fps"), timecodeOf({0, 25, 0, 0, 30, 0}, R::fps25), allowInvalid)
        ->setFocusedComponent(Timecode::Component::hours);
    page.field(QStringLiteral("29.97 drop"), timecodeOf({0, 1, 75, 0, 12, 0}, R::fps29_97d),
               allowInvalid);
    page.field(QStringLiteral("No validation style"), timecodeOf({0, 25, 0, 0, 30, 0}, R::fps25),
               [&](QWidget *box) {
                   allowInvalid(box);
                   timecodeValidationStyle(box, nullptr);
               });
    return page.take();
}

std::unique_ptr<QWidget> textStyles() {
    Page page(QStringLiteral("Timecode text"),
              QStringLiteral("One styled text per timecode, drawn with the settings around it."));
    page.text(QStringLiteral("29.97 drop"), timecodeOf({0, 1, 0, 0, 0, 0}, R::fps29_97d));
    page.text(QStringLiteral("Separators in grey"), timecodeOf({0, 10, 0, 0, 0, 0}, R::fps24),
              [](QWidget *box) { timecodeSeparatorStyle(box, QColor(Qt::darkGray)); });
    page.text(QStringLiteral("Sub-frames, secondary"), timecodeOf({0, 1, 0, 0, 12, 40}, R::fps24),
              [](QWidget *box) {
                  timecodeFormat(box, {Option::showSubFrames});
                  timecodeSubFramesStyle(box, QColor(Qt::darkCyan), TextScale::secondary);
              });
    page.text(QStringLiteral("File-name form"),
              timecodeOf({2, 1, 0, 0, 0, 0}, R::fps25, Base::max80SubFrames, Limit::max100Days),
              [](QWidget *box) { timecodeFormat(box, {Option::filenameCompatible}); });
    page.text(QStringLiteral("Invalid hours"), timecodeOf({0, 25, 0, 0, 0, 0}, R::fps24));
    page.text(QStringLiteral("No validation style"), timecodeOf({0, 25, 0, 0, 0, 0}, R::fps24),
              [](QWidget *box) { timecodeValidationStyle(box, nullptr); });
    page.text(QStringLiteral("120 fps"), timecodeOf({0, 0, 0, 0, 5, 0}, R::fps120));
    return page.take();
}

std::unique_ptr<QWidget> textFieldFormatter() {
    Page page(QStringLiteral("Timecode text field"),
              QStringLiteral("The formatter turns points into the separators due and shows "
                             "the text reformatted once editing ends."));
    auto formatted = [&](const QString &label, const Timecode::Properties &properties,
                         const QString &typed, bool showsValidation) {
        auto *field = new TimecodeTextField;
        field->formatter()->setFrameRate(properties.frameRate);
        field->formatter()->setSubFramesBase(properties.subFramesBase);
        field->formatter()->setUpperLimit(properties.upperLimit);
        field->formatter()->setShowsValidation(showsValidation);
        QTextCharFormat invalid;
        invalid.setForeground(QColor(Qt::red));
        field->formatter()->setInvalidAttributes(invalid);
        field->setText(typed);
        field->setFixedWidth(160);
        page.row(label, field);
        return field;
    };
    formatted(QStringLiteral("Typed 01.02.03.04"),
              Timecode::Properties(R::fps29_97d, Base::max80SubFrames, Limit::max24Hours),
              QStringLiteral("01.02.03.04"), false);
    formatted(QStringLiteral("Typed 1:2:3:4"),
              Timecode::Properties(R::fps25, Base::max80SubFrames, Limit::max24Hours),
              QStringLiteral("1:2:3:4"), false);
    formatted(QStringLiteral("Invalid frames"),
              Timecode::Properties(R::fps25, Base::max80SubFrames, Limit::max24Hours),
              QStringLiteral("01:00:00:30"), true);
    TimecodeTextField *refusing =
        formatted(QStringLiteral("Typed a letter"),
                  Timecode::Properties(R::fps25, Base::max80SubFrames, Limit::max24Hours),
                  QStringLiteral("01:00"), false);
    auto *message = new QLabel;
    message->setForegroundRole(QPalette::PlaceholderText);
    QObject::connect(refusing, &TimecodeTextField::typingRejected, message,
                     [message](const QString &description) { message->setText(description); });
    refusing->setCursorPosition(static_cast<int>(refusing->text().size()));
    press(refusing, Qt::Key_X, QStringLiteral("x"));
    qobject_cast<QHBoxLayout *>(refusing->parentWidget()->layout())->insertWidget(1, message);
    return page.take();
}

} // namespace

std::vector<TimecodeDemoPage> timecodeDemoPages() {
    return {
        {QStringLiteral("timecode-field-default"), pageSize, fieldDefault},
        {QStringLiteral("timecode-field-states"), pageSize, fieldStates},
        {QStringLiteral("timecode-field-drop"), pageSize, fieldDrop},
        {QStringLiteral("timecode-field-days"), pageSize, fieldDays},
        {QStringLiteral("timecode-field-subframes"), pageSize, fieldSubFrames},
        {QStringLiteral("timecode-field-editing"), pageSize, fieldEditing},
        {QStringLiteral("timecode-field-highlight"), pageSize, fieldHighlight},
        {QStringLiteral("timecode-field-invalid"), pageSize, fieldInvalid},
        {QStringLiteral("timecode-text-styles"), QSize(440, 320), textStyles},
        {QStringLiteral("timecode-textfield-formatter"), QSize(470, 250), textFieldFormatter},
    };
}

} // namespace timecode
