#include "host/views/layout/EditorControls.h"

#include "designkit/CorvaneElidingComboBox.h"
#include "host/views/common/QtText.h"
#include "host/views/layout/EditorStyle.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <utility>

namespace tandrel::EditorControls {

namespace {

// Hands Escape in a field to its revert.
class EscapeFilter : public QObject {
public:
    EscapeFilter(QLineEdit *field, std::function<bool()> revert)
        : QObject(field), revert_(std::move(revert)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // The shortcut's override comes first: taken there, no window command sees the key.
        if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
            static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier) {
            if (event->type() == QEvent::ShortcutOverride) {
                if (pending_ = revert_(); pending_) {
                    event->accept();
                    return true;
                }
                return false;
            }
            return std::exchange(pending_, false) || revert_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool()> revert_;
    bool pending_ = false;
};

} // namespace

QWidget *labelledRow(const QString &title, QWidget *control) {
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    QLabel *label = EditorStyle::label(title, EditorStyle::caption(), EditorStyle::secondary());
    label->setFixedWidth(titleWidth);
    label->setBuddy(control);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    // A control of a fixed size (a colour well) stands at the start of its space.
    const bool fixed = control->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed;
    layout->addWidget(control, 1, fixed ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignVCenter);
    if (control->accessibleName().isEmpty()) {
        control->setAccessibleName(title);
    }
    return row;
}

QComboBox *picker(const QString &title, const QStringList &titles) {
    auto *menu = new corvane::CorvaneElidingComboBox;
    EditorStyle::popUpMenu(menu, EditorStyle::caption());
    // Long field names are cut short with "…" rather than widening the panel; the menu shows
    // them whole.
    menu->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    menu->setMinimumContentsLength(8);
    menu->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    menu->setAccessibleName(title);
    menu->addItems(titles);
    return menu;
}

QLabel *heading(std::string_view text) {
    return EditorStyle::wrappingLabel(qtText(text), EditorStyle::caption2(),
                                      EditorStyle::secondary());
}

void select(QComboBox *picker, std::size_t index) {
    const QSignalBlocker quiet(picker);
    picker->setCurrentIndex(static_cast<int>(index));
}

void commitWhenDone(QLineEdit *field, std::function<void(const QString &typed)> commit,
                    std::function<void()> show) {
    // The field's modified flag marks typing not yet committed.
    QObject::connect(field, &QLineEdit::textEdited, field, [field] { field->setModified(true); });
    QObject::connect(field, &QLineEdit::editingFinished, field,
                     [field, commit = std::move(commit), show] {
                         if (!field->isModified()) {
                             showFromItsStart(field);
                             return;
                         }
                         field->setModified(false);
                         commit(field->text());
                         show();
                         showFromItsStart(field);
                     });
    onEscape(field, [field, show = std::move(show)] {
        if (!field->isModified()) {
            return false;
        }
        field->setModified(false);
        show();
        return true;
    });
}

void onEscape(QLineEdit *field, std::function<bool()> revert) {
    new EscapeFilter(field, std::move(revert));
}

void showStored(QLineEdit *field, const QString &stored) {
    if (!field->isModified() && field->text() != stored) {
        field->setText(stored);
        showFromItsStart(field);
    }
}

void showFromItsStart(QLineEdit *field) {
    // A text longer than the field shows its beginning, not the end the caret was left at
    // ("atermark applied by…" for "Watermark applied by…"), unless it is being typed in.
    if (!field->hasFocus()) {
        field->setCursorPosition(0);
    }
}

} // namespace tandrel::EditorControls
