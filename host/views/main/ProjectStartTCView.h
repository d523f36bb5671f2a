#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tandrel {

class AppState;
class WrappingLabel;

// The sidebar's field for overriding the project's start timecode, with a hint that says which
// start timecode is in force. Every edit of the user's is the state object's new override at
// once, keystroke by keystroke, stored as typed; the field follows the state object without
// ever writing back what it was given. The row reads: the label as wide as its text, the field
// right after it, then free room; where the row is too narrow for the label on one line, the
// label wraps, and the field still follows its text.
class ProjectStartTCView : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 110;

    explicit ProjectStartTCView(AppState &state, QWidget *parent = nullptr);

    QLineEdit *field() const { return field_; }
    WrappingLabel *label() const { return label_; }
    QLabel *hint() const { return hint_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();
    void fitLabel();

    AppState &state_;
    QWidget *symbol_;
    WrappingLabel *label_;
    QLineEdit *field_;
    QLabel *hint_;
};

} // namespace tandrel
