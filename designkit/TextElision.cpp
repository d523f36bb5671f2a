#include "designkit/TextElision.h"

#include "core/support/UnicodeText.h"

#include <QStringList>
#include <QStringView>

#include <algorithm>

namespace corvane {

namespace {

constexpr QChar ellipsis(0x2026);
constexpr char16_t zeroWidthJoiner = 0x200D;
constexpr char16_t graphemeJoiner = 0x034F;
constexpr char16_t popDirectionalIsolate = 0x2069;

bool opensIsolate(QChar c) {
    return c.unicode() >= 0x2066 && c.unicode() <= 0x2068;
}

// The isolates still open at the end of `text`.
int openIsolates(QStringView text) {
    int open = 0;
    for (const QChar c : text) {
        if (opensIsolate(c)) {
            ++open;
        } else if (c.unicode() == popDirectionalIsolate && open > 0) {
            --open;
        }
    }
    return open;
}

// As many of the code points the text starts with as fit in `width` before "…"; none that
// would end it in a joiner.
QString cutWithinCharacter(const QFontMetricsF &metrics, const QString &text, double width) {
    QString kept;
    // A character is bounded long before this; a text that is not has no more room anyway.
    constexpr int maxCodePoints = 64;
    int codePoints = 0;
    for (qsizetype at = 0; at < text.size() && codePoints < maxCodePoints; ++codePoints) {
        const qsizetype length = text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        const QString longer = kept + text.mid(at, length);
        if (metrics.horizontalAdvance(longer + ellipsis) > width) {
            break;
        }
        kept = longer;
        at += length;
    }
    while (!kept.isEmpty() &&
           (kept.back().unicode() == zeroWidthJoiner || kept.back().unicode() == graphemeJoiner)) {
        kept.chop(1);
    }
    return kept + ellipsis;
}

} // namespace

namespace {

// Qt's elision at the end, without the blanks it leaves before "…".
QString trimmedElidedRight(const QFontMetricsF &metrics, const QString &text, double width) {
    QString elided = metrics.elidedText(text, Qt::ElideRight, width);
    if (elided == text || !elided.endsWith(ellipsis)) {
        return elided;
    }
    qsizetype end = elided.size() - 1;
    while (end > 0 && elided.at(end - 1).isSpace()) {
        --end;
    }
    return elided.left(end) + ellipsis;
}

} // namespace

QString TextElision::elidedRight(const QFontMetricsF &metrics, const QString &text, double width) {
    return elided(metrics, text, Qt::ElideRight, width);
}

QString TextElision::elided(const QFontMetricsF &metrics, const QString &text,
                            Qt::TextElideMode mode, double width) {
    QString result = mode == Qt::ElideRight ? trimmedElidedRight(metrics, text, width)
                                            : metrics.elidedText(text, mode, width);
    if (result == text || mode == Qt::ElideNone) {
        return result;
    }
    // Nothing of the text beside "…": its first character alone is wider than the room.
    if (!text.isEmpty() && (result.isEmpty() || result == QString(ellipsis)) &&
        metrics.horizontalAdvance(ellipsis) <= width && mode != Qt::ElideLeft) {
        result = cutWithinCharacter(metrics, text, width);
    }
    // Where "…" stands: after the beginning the text and the result share.
    qsizetype at = 0;
    while (at < result.size() && at < text.size() && result.at(at) == text.at(at)) {
        ++at;
    }
    if (at < result.size() && result.at(at) == ellipsis) {
        const int open = openIsolates(QStringView(result).left(at));
        if (open > 0) {
            result.insert(at, QString(open, QChar(popDirectionalIsolate)));
            // Those Qt kept after "…" (it keeps the text's last format characters) close
            // nothing now.
            int depth = 0;
            for (qsizetype i = at + open + 1; i < result.size();) {
                if (opensIsolate(result.at(i))) {
                    ++depth;
                } else if (result.at(i).unicode() == popDirectionalIsolate) {
                    if (depth == 0) {
                        result.remove(i, 1);
                        continue;
                    }
                    --depth;
                }
                ++i;
            }
        }
    }
    return result;
}

QString TextElision::boundedLines(const QString &text, int maxLines, std::size_t maxCharacters) {
    if (text.size() <= static_cast<qsizetype>(maxCharacters) &&
        std::all_of(text.begin(), text.end(),
                    [](QChar c) {
                        return (c.unicode() >= 0x20 && c.unicode() < 0x7F) ||
                               c == QLatin1Char('\n');
                    }) &&
        text.count(QLatin1Char('\n')) < maxLines) {
        return text;
    }
    QStringList lines;
    qsizetype from = 0;
    while (from <= text.size() && lines.size() < maxLines) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), from);
        if (end < 0) {
            end = text.size();
        }
        const QByteArray line = QStringView(text).mid(from, end - from).toUtf8();
        const std::string kept = tandrel::withStrayControlsShown(tandrel::elidedLine(
            std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
            maxCharacters));
        lines << QString::fromUtf8(kept.data(), static_cast<qsizetype>(kept.size()));
        from = end + 1;
    }
    if (from <= text.size()) {
        lines << QString(ellipsis);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace corvane
