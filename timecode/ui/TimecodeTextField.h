#pragma once

#include "timecode/ui/TimecodeTextFormatter.h"

#include <QLineEdit>

namespace timecode {

// A line edit for timecode text. It installs a TimecodeTextFormatter of its own (with all
// initial values; set its properties through formatter()). While it is not being edited it
// shows the formatter's display form: the text reformatted, invalid components marked when
// the formatter shows validation. Escape drops what was typed, restoring the text from before
// editing, and keeps the focus.
class TimecodeTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit TimecodeTextField(QWidget *parent = nullptr);

    TimecodeTextFormatter *formatter() const { return formatter_; }
    // The Escape action.
    void cancelOperation();

signals:
    // Typing was refused; the description is empty when there is nothing to say.
    void typingRejected(const QString &errorDescription);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The display form of the current text, while not editing.
    void showDisplayForm();
    void setDisplayFormats(const QList<QTextLayout::FormatRange> &ranges);

    TimecodeTextFormatter *formatter_;
    QString textBeforeEditing_;
};

} // namespace timecode
