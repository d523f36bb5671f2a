#pragma once

#include "designkit/CorvaneFontWeight.h"

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace tandrel {

// How the layout editor draws the platform's text styles and controls it names: the kit's
// face at a fixed size per text style, hierarchical text colours, and the rounded-border
// field, the bordered button and the pop-up menu in the kit's colours.
namespace EditorStyle {

// The body (15), caption (13) and caption 2 (12) text styles in the kit's face.
QFont body(corvane::CorvaneFontWeight weight = corvane::CorvaneFontWeight::regular);
QFont caption();
QFont caption2();

// The secondary and tertiary text colours.
QColor secondary();
QColor tertiary();

// Plain text on one line, and plain text that wraps at the width it is given.
QLabel *label(const QString &text, const QFont &font, const QColor &colour);
QLabel *wrappingLabel(const QString &text, const QFont &font, const QColor &colour);

// A field with a rounded border, its text in `font`, aligned as given.
void roundedField(QLineEdit *field, const QFont &font,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
// A small bordered push button ("Apply", "Duplicate").
void borderedButton(QAbstractButton *button, const QFont &font);
// A switch in the kit's look (corvaneToggle), in `font`.
void toggle(QCheckBox *box, const QFont &font);
// A pop-up menu button.
void popUpMenu(QComboBox *menu, const QFont &font);
// The kit's slider (corvane::corvaneSlider).
void slider(QSlider *slider);
// Lays out in `owner` a slider over `positions` steps (see SliderScale) and, beside it, a
// number field `fieldWidth` wide with its text at the trailing edge.
void sliderAndField(QWidget *owner, QSlider *slider, int positions, QLineEdit *field,
                    int fieldWidth);

} // namespace EditorStyle

} // namespace tandrel
