#pragma once

#include "host/views/common/QtText.h"
#include "host/views/layout/ElementOptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>

class QComboBox;
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

} // namespace tandrel::EditorControls
