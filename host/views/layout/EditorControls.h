#pragma once

#include "host/views/common/QtText.h"
#include "host/views/layout/ElementOptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <functional>

class QComboBox;
class QLineEdit;
class QLabel;
class QWidget;

namespace tandrel::EditorControls {

// The width of the titles of the element editor's labelled rows.
inline constexpr int titleWidth = 118;

// A row of the element editor: the title at the leading edge, the control in the rest.
QWidget *labelledRow(const QString &title, QWidget *control);
// A pop-up picker of `titles`, named `title` for assistive technology.
QComboBox *picker(const QString &title, const QStringList &titles);
// A section's heading in the caption 2 style and the secondary colour.
QLabel *heading(std::string_view text);

template <typename Value, std::size_t N>
QStringList titles(const std::array<Choice<Value>, N> &choices) {
    QStringList texts;
    for (const Choice<Value> &choice : choices) {
        texts.push_back(qtText(choice.title));
    }
    return texts;
}

// Shows the entry at `index` without reporting it as the user's choice.
void select(QComboBox *picker, std::size_t index);

// A text field that writes once the user is done with it, not at every keystroke: on Return,
// or when the focus leaves it after typing. `commit` gets the typed text; `show` then puts
// what is stored back into the field (showStored), so a write that was dropped or changed does
// not linger there. Escape drops what was typed and shows what is stored.
void commitWhenDone(QLineEdit *field, std::function<void(const QString &typed)> commit,
                    std::function<void()> show);
// Runs `revert` when Escape is pressed in `field`; a revert that returns true has taken the
// key, one that returns false (nothing typed to drop) leaves it to the window.
void onEscape(QLineEdit *field, std::function<bool()> revert);
// Shows the stored text in a field of commitWhenDone, unless the user is typing in it: an
// outside change does not take the typed text away.
void showStored(QLineEdit *field, const QString &stored);
// Scrolls a field that does not have the keyboard back to its text's beginning; the fields
// above do so when shown a stored text and when left.
void showFromItsStart(QLineEdit *field);

} // namespace tandrel::EditorControls
