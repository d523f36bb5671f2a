#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QPainter;
class QRectF;

namespace corvane {

// The system symbols the views name ("xmark", "checkmark.circle.fill"), drawn by us as SVGs
// on a 20 × 20 grid. A symbol is one colour; a filled symbol with a glyph on it ("xmark.circle
// .fill") has two layers, its glyph ("primary") cut out of its shape ("secondary") when drawn
// in one colour, or each layer in its own colour (palette drawing). Heavier weights draw
// thicker strokes, as a symbol set beside text of that weight does.
//
// A symbol whose shapes run together when drawn only a dozen pixels across may have a small
// form too (symbols/small/NAME.svg), drawn on a grid of whole pixels (its view box): where
// the symbol is drawn that size, or up to 3 pixels larger, the small form is drawn pixel for
// pixel, its strokes as drawn, centred in the square on whole pixels.
class CorvaneSymbols {
public:
    CorvaneSymbols() = delete;

    // Whether a symbol of that name exists. An unknown name is logged, once per name.
    static bool contains(const QString &name);
    static QStringList names();

    // The side of the square a symbol takes beside text of `pointSize` points.
    static double side(double pointSize);
    // How much thicker than at regular weight the strokes are drawn at `weight`.
    static double strokeScale(int weight);

    // Draws the symbol into `rect`, in one colour. An unknown name draws nothing.
    static void paint(QPainter &painter, const QRectF &rect, const QString &name, int weight,
                      const QColor &colour);
    // Draws a layered symbol's glyph in `primary` over its shape in `secondary`; a symbol
    // without layers is drawn all in `primary`.
    static void paint(QPainter &painter, const QRectF &rect, const QString &name, int weight,
                      const QColor &primary, const QColor &secondary);
};

} // namespace corvane
