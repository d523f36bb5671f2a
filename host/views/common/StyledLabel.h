#pragma once

#include <QLabel>

namespace tandrel {

// A label of plain text (never read as rich text: names come from libraries) in a kit text
// style (corvaneMicro, corvaneCaption ...).
inline QLabel *styledLabel(const QString &text, void (*style)(QWidget *),
                           QWidget *parent = nullptr) {
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    style(label);
    return label;
}

} // namespace tandrel
