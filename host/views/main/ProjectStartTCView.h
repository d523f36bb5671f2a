#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tandrel {

class AppState;

// The sidebar's field for overriding the project's start timecode, with a hint that says which
// start timecode is in force. Every edit of the user's is the state object's new override at
// once, keystroke by keystroke, stored as typed; the field follows the state object without
// ever writing back what it was given.
class ProjectStartTCView : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 110;

    explicit ProjectStartTCView(AppState &state, QWidget *parent = nullptr);

    QLineEdit *field() const { return field_; }
    QLabel *hint() const { return hint_; }

private:
    void refresh();

    AppState &state_;
    QLineEdit *field_;
    QLabel *hint_;
};

} // namespace tandrel
