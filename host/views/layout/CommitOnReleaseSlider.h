#pragma once

#include "host/views/layout/SliderScale.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QSlider;

namespace tandrel {

// A slider with a number field beside it that edit a draft of a value and hand it to their
// owner only when the user is done: when the slider is released, at once for a step made with
// the keyboard or the wheel, and when Return is pressed in the field or the focus leaves it
// after typing (the draft is clamped into the range first). So a drag makes one write, not one
// per step. After each commit the draft is the owner's value again: a commit the owner drops
// does not linger in the controls. Escape in the field drops what was typed.
//
// The field shows the draft in the user's locale with the scale's decimals and reads what is
// typed in that locale; text that is no finite number leaves the draft as it was. A value
// between the slider's steps (a typed 30.4 on a scale of whole steps) is kept as it is: the
// slider shows the nearest step, the draft keeps the value.
//
//     auto *fontSize = new CommitOnReleaseSlider(element.fontSize, SliderScale(12, 72, 1),
//         [this, id](double size) { write(id, [size](BurnInElement &e) { e.fontSize = size; }); });
//     connect(&state, &AppState::presetsChanged, fontSize, [=] { fontSize->setValue(...); });
class CommitOnReleaseSlider : public QWidget {
    Q_OBJECT

public:
    static constexpr int fieldWidth = 52;
    using Commit = std::function<void(double value)>;

    CommitOnReleaseSlider(double value, SliderScale scale, Commit onCommit,
                          QWidget *parent = nullptr);

    // The owner's value, and the draft being edited (equal to it while idle).
    double value() const { return value_; }
    double draft() const { return draft_; }
    const SliderScale &scale() const { return scale_; }
    // The owner's value changed (a commit came back, or the element changed elsewhere): the
    // draft takes it.
    void setValue(double value);

    QSlider *slider() const { return slider_; }
    QLineEdit *field() const { return field_; }

signals:
    void draftChanged(double draft);

protected:
    void changeEvent(QEvent *event) override;

private:
    void setDraft(double draft, bool showInField);
    // The field's number, clamped, committed.
    void submit();
    void commit();
    void showDraftOnSlider();
    void showDraftInField();

    double value_;
    double draft_;
    SliderScale scale_;
    Commit onCommit_;
    // Text typed in the field and not yet submitted.
    bool typing_ = false;
    QSlider *slider_;
    QLineEdit *field_;
};

} // namespace tandrel
