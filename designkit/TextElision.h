#pragma once

#include <QFontMetricsF>
#include <QString>

namespace corvane {

// Cutting a one-line text short to fit a width, with "…".
struct TextElision {
    // `text` whole when it fits in `width`, else as much of its start as fits before "…",
    // without the blanks Qt leaves before it ("Source…", not "Source …"), with the mends of
    // `elided`.
    static QString elidedRight(const QFontMetricsF &metrics, const QString &text, double width);

    // `text` shortened to `width` as Qt elides it in `mode`, with two mends:
    // - one character wider than the room (emoji chained by joiners, say) is cut where one of
    //   its code points ends, rather than leaving "…" alone where the text was;
    // - an isolate of bidirectional text that the cut leaves open is closed before "…", so
    //   that what follows "…" is not taken into it.
    static QString elided(const QFontMetricsF &metrics, const QString &text, Qt::TextElideMode mode,
                          double width);

    // A text of the system's own lines as a tooltip or a message keeps it, whatever was put
    // into it: at most `maxLines` lines (the rest said as "…"), each of at most
    // `maxCharacters` characters of at most 31 code points (elided in the middle), with
    // every control but the line breaks between them shown rather than obeyed (texts shown
    // already keep their escapes and isolates).
    static QString boundedLines(const QString &text, int maxLines = 12,
                                std::size_t maxCharacters = 300);
};

} // namespace corvane
