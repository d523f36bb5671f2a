#pragma once

#include <QFontMetricsF>
#include <QString>

namespace corvane {

// Cutting a one-line text short to fit a width, with "…" at its end.
struct TextElision {
    // `text` whole when it fits in `width`, else as much of its start as fits before "…",
    // without the blanks Qt leaves before it ("Source…", not "Source …").
    static QString elidedRight(const QFontMetricsF &metrics, const QString &text, double width);
};

} // namespace corvane
