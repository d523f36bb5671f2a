#include "designkit/TextElision.h"

namespace corvane {

QString TextElision::elidedRight(const QFontMetricsF &metrics, const QString &text, double width) {
    QString elided = metrics.elidedText(text, Qt::ElideRight, width);
    constexpr QChar ellipsis(0x2026);
    if (elided == text || !elided.endsWith(ellipsis)) {
        return elided;
    }
    qsizetype end = elided.size() - 1;
    while (end > 0 && elided.at(end - 1).isSpace()) {
        --end;
    }
    return elided.left(end) + ellipsis;
}

} // namespace corvane
