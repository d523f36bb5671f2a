#pragma once

#include <QColor>
#include <QPalette>

class QApplication;
class QWidget;

namespace corvane {

// The kit is dark only: its tokens are drawn for a near-black window. The palette's text
// colour is the adaptive primary colour (Color::primary()).
QPalette darkPalette();

// Gives the application the Fusion style, which honours the palette on every desktop, and
// the dark palette. Called once, right after the QApplication is made.
void installPalette(QApplication &application);

// Sets the colour of the view's text and symbols, for every state; children that set no
// colour of their own inherit it.
void corvaneForeground(QWidget *view, const QColor &colour);

// The colour a view draws its text and symbols in.
QColor foregroundOf(const QWidget *view);

} // namespace corvane
