#pragma once

#include "designkit/CorvaneFontWeight.h"
#include "designkit/FontTextStyle.h"

#include <QFont>

class QWidget;

namespace corvane {

// Loads the kit's fontconfig alias, which maps the face names "AvenirNext-Regular" ...
// "AvenirNext-Heavy" and the family "Avenir Next" onto Lato at the same weights. Every Qt
// program of ours calls it first, before its QApplication: Qt asks fontconfig about a family
// once and remembers the answer. Calling it again does nothing.
void installFonts();

// Kit lengths are in points of 1/96 inch, a device-independent pixel. A font of `points`
// gets the Qt point size that is that many pixels at 96 dpi, so the type keeps its
// proportions to the kit's paddings and still follows a desktop's larger font DPI.
double fontPointSize(double points);
// The size in kit points of a font made by the kit (the inverse of fontPointSize).
double kitPoints(const QFont &font);

// The kit's face of `weight` at `size` points (family = the face name, weight set, so that
// the alias lands on Lato at that weight).
QFont corvaneFont(double size, CorvaneFontWeight weight);
QFont corvaneFont(double size, CorvaneFontWeight weight, FontTextStyle relativeTo);
void corvaneFont(QWidget *view, double size, CorvaneFontWeight weight);
void corvaneFont(QWidget *view, double size, CorvaneFontWeight weight, FontTextStyle relativeTo);

// The desktop's own sans-serif face at `size` points and `weight`, where the kit's views ask
// for the platform's system font.
QFont systemFont(double size, QFont::Weight weight = QFont::Normal);

} // namespace corvane
