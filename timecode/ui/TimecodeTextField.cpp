#include "timecode/ui/TimecodeTextField.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace timecode {

TimecodeTextField::TimecodeTextField(QWidget *parent)
    : QLineEdit(parent), formatter_(new TimecodeTextFormatter(this)) {
    setValidator(formatter_);
    connect(this, &QLineEdit::inputRejected, this,
            [this] { emit typingRejected(formatter_->lastErrorDescription()); });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        textBeforeEditing_ = text();
        showDisplayForm();
    });
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!hasFocus()) {
            showDisplayForm();
        }
    });
    connect(formatter_, &QValidator::changed, this, [this] {
        if (!hasFocus()) {
            showDisplayForm();
        }
    });
}

void TimecodeTextField::cancelOperation() {
    setText(textBeforeEditing_);
    setFocus(Qt::OtherFocusReason);
}

void TimecodeTextField::focusInEvent(QFocusEvent *event) {
    // Editing starts from the plain text.
    setDisplayFormats({});
    textBeforeEditing_ = text();
    QLineEdit::focusInEvent(event);
}

void TimecodeTextField::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancelOperation();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TimecodeTextField::showDisplayForm() {
    const std::optional<QString> shown = formatter_->string(text());
    if (shown && *shown != text()) {
        // Comes back here through textChanged with the shown text.
        setText(*shown);
        return;
    }
    const std::optional<StyledText> styled = formatter_->attributedString(text(), {});
    setAlignment(styled && styled->alignment() ? *styled->alignment() : formatter_->alignment());
    setDisplayFormats(styled ? styled->formatRanges(font()) : QList<QTextLayout::FormatRange>());
}

// A line edit draws formats only for text being composed; an empty composition carrying them
// lays them over the committed text.
void TimecodeTextField::setDisplayFormats(const QList<QTextLayout::FormatRange> &ranges) {
    QList<QInputMethodEvent::Attribute> attributes;
    for (const QTextLayout::FormatRange &range : ranges) {
        if (range.format.properties().isEmpty()) {
            continue;
        }
        attributes.append(QInputMethodEvent::Attribute(QInputMethodEvent::TextFormat,
                                                       range.start - cursorPosition(), range.length,
                                                       range.format));
    }
    QInputMethodEvent event(QString(), attributes);
    QCoreApplication::sendEvent(this, &event);
}

} // namespace timecode
