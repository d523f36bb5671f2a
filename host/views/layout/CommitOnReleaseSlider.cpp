#include "host/views/layout/CommitOnReleaseSlider.h"

#include "host/views/layout/EditorControls.h"
#include "host/views/layout/EditorStyle.h"

#include <QEvent>
#include <QLineEdit>
#include <QSlider>

namespace tandrel {

CommitOnReleaseSlider::CommitOnReleaseSlider(double value, SliderScale scale, Commit onCommit,
                                             QWidget *parent)
    : QWidget(parent), value_(value), draft_(value), scale_(scale), onCommit_(std::move(onCommit)),
      slider_(new QSlider), field_(new QLineEdit) {
    EditorStyle::sliderAndField(this, slider_, scale_.positionCount(), field_, fieldWidth);

    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        setDraft(scale_.value(position), true);
        // A drag commits when it ends; a step of the keyboard, the wheel or a click beside the
        // handle is a whole edit of its own.
        if (!slider_->isSliderDown()) {
            commit();
        }
    });
    connect(slider_, &QSlider::sliderReleased, this, &CommitOnReleaseSlider::commit);
    connect(field_, &QLineEdit::textEdited, this, [this](const QString &text) {
        typing_ = true;
        if (const std::optional<double> typed = SliderScale::parse(text, locale())) {
            setDraft(*typed, false);
        }
    });
    connect(field_, &QLineEdit::returnPressed, this, &CommitOnReleaseSlider::submit);
    // Leaving the field with Tab or a click after typing submits too: a number that shows in
    // the field and on the slider is a number stored. (Return comes here as well, after its
    // own submit.)
    connect(field_, &QLineEdit::editingFinished, this, [this] {
        if (typing_) {
            submit();
        } else {
            showDraftInField();
        }
    });

    // Escape drops what was typed: the field and the slider show the stored value again.
    EditorControls::onEscape(field_, [this] {
        if (!typing_) {
            return false;
        }
        typing_ = false;
        setDraft(value_, true);
        return true;
    });

    showDraftOnSlider();
    showDraftInField();
}

void CommitOnReleaseSlider::setValue(double value) {
    value_ = value;
    setDraft(value, true);
}

void CommitOnReleaseSlider::setDraft(double draft, bool showInField) {
    const bool changed = draft != draft_;
    draft_ = draft;
    showDraftOnSlider();
    if (showInField) {
        showDraftInField();
    }
    if (changed) {
        emit draftChanged(draft_);
    }
}

void CommitOnReleaseSlider::submit() {
    typing_ = false;
    if (const std::optional<double> typed = SliderScale::parse(field_->text(), locale())) {
        draft_ = *typed;
    }
    setDraft(scale_.clamp(draft_), true);
    commit();
}

void CommitOnReleaseSlider::commit() {
    if (onCommit_) {
        onCommit_(draft_);
    }
    // The owner stored the draft and handed it back (setValue), or dropped it: either way the
    // controls show what is stored.
    setDraft(value_, true);
}

void CommitOnReleaseSlider::showDraftOnSlider() {
    const QSignalBlocker quiet(slider_);
    slider_->setValue(scale_.position(draft_));
}

void CommitOnReleaseSlider::showDraftInField() {
    const QString text = scale_.format(draft_, locale());
    if (field_->text() != text) {
        field_->setText(text);
    }
}

void CommitOnReleaseSlider::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LocaleChange) {
        showDraftInField();
    }
}

} // namespace tandrel
