#include "timecode/ui/StyledText.h"

#include <QFontMetricsF>

#include <algorithm>

namespace timecode {

namespace {

constexpr QStringView digits = u"0123456789";

// A piece of the text with one final format.
struct Piece {
    int start;
    int length;
    QTextCharFormat format;
};

QString cssColour(const QColor &colour) {
    if (colour.alpha() == 255) {
        return colour.name(QColor::HexRgb);
    }
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}

QString cssStyle(const QTextCharFormat &format) {
    QString style;
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        style += QStringLiteral("color:%1;").arg(cssColour(format.foreground().color()));
    }
    if (format.hasProperty(QTextFormat::BackgroundBrush)) {
        style += QStringLiteral("background-color:%1;").arg(cssColour(format.background().color()));
    }
    if (format.hasProperty(QTextFormat::FontPointSize)) {
        style += QStringLiteral("font-size:%1pt;").arg(format.fontPointSize());
    } else if (format.hasProperty(QTextFormat::FontPixelSize)) {
        style +=
            QStringLiteral("font-size:%1px;").arg(format.intProperty(QTextFormat::FontPixelSize));
    }
    if (format.hasProperty(QTextFormat::FontWeight)) {
        style += QStringLiteral("font-weight:%1;").arg(format.fontWeight());
    }
    if (format.hasProperty(QTextFormat::FontItalic)) {
        style += format.fontItalic() ? QStringLiteral("font-style:italic;")
                                     : QStringLiteral("font-style:normal;");
    }
    if (format.fontUnderline()) {
        style += QStringLiteral("text-decoration:underline;");
    }
    if (format.hasProperty(QTextFormat::FontLetterSpacing) &&
        format.fontLetterSpacingType() == QFont::AbsoluteSpacing) {
        style += QStringLiteral("letter-spacing:%1px;").arg(format.fontLetterSpacing());
    }
    return style;
}

QString htmlAlignment(Qt::Alignment alignment) {
    if (alignment & Qt::AlignJustify) {
        return QStringLiteral("justify");
    }
    if (alignment & Qt::AlignHCenter) {
        return QStringLiteral("center");
    }
    if (alignment & Qt::AlignRight) {
        return QStringLiteral("right");
    }
    return alignment & Qt::AlignAbsolute ? QStringLiteral("left") : QString();
}

// The extra space after each digit that makes it as wide as the widest digit of the font.
QList<qreal> digitPadding(const QFont &font) {
    const QFontMetricsF metrics(font);
    QList<qreal> advances;
    for (QChar digit : digits) {
        advances.append(metrics.horizontalAdvance(digit));
    }
    const qreal widest = *std::max_element(advances.begin(), advances.end());
    for (qreal &advance : advances) {
        advance = widest - advance;
    }
    return advances;
}

} // namespace

StyledText::StyledText(const QString &text, ShapeStyle colour, const QTextCharFormat &format) {
    append(text, std::move(colour), format);
}

void StyledText::append(Run run) {
    runs_.append(std::move(run));
}

void StyledText::append(const QString &text, ShapeStyle colour, const QTextCharFormat &format) {
    runs_.append(Run{text, std::move(colour), format, TextScale::standard});
}

void StyledText::append(const StyledText &other) {
    runs_.append(other.runs_);
}

QString StyledText::plainText() const {
    QString text;
    for (const Run &run : runs_) {
        text += run.text;
    }
    return text;
}

StyledText StyledText::addingAttribute(Qt::Alignment alignment) const {
    StyledText copy = *this;
    copy.addAttribute(alignment);
    return copy;
}

QTextCharFormat StyledText::resolvedFormat(const Run &run, const QFont &base) const {
    QTextCharFormat format = run.format;
    if (run.colour) {
        format.setForeground(*run.colour);
    }
    if (run.scale == TextScale::secondary) {
        const QFont font = format.font().resolve(base);
        if (font.pointSizeF() > 0) {
            format.setFontPointSize(font.pointSizeF() * secondaryTextScaleFactor);
        } else {
            format.setProperty(QTextFormat::FontPixelSize,
                               qRound(font.pixelSize() * secondaryTextScaleFactor));
        }
    }
    return format;
}

QList<QTextLayout::FormatRange> StyledText::formatRanges(const QFont &base) const {
    QList<QTextLayout::FormatRange> ranges;
    int start = 0;
    for (const Run &run : runs_) {
        const QTextCharFormat format = resolvedFormat(run, base);
        const QList<qreal> padding = monospacedDigits_ ? digitPadding(format.font().resolve(base))
                                                       : QList<qreal>(digits.size(), 0.0);
        // Characters with the same padding share a range.
        int from = 0;
        while (from < run.text.size()) {
            auto paddingAt = [&](int i) {
                const qsizetype digit = digits.indexOf(run.text.at(i));
                return digit < 0 ? 0.0 : padding[digit];
            };
            const qreal pad = paddingAt(from);
            int to = from + 1;
            while (to < run.text.size() && paddingAt(to) == pad) {
                ++to;
            }
            QTextLayout::FormatRange range{start + from, to - from, format};
            if (pad > 0) {
                range.format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
                range.format.setFontLetterSpacing(pad);
            }
            ranges.append(range);
            from = to;
        }
        start += static_cast<int>(run.text.size());
    }
    return ranges;
}

QString StyledText::toHtml(const QFont &base) const {
    const QString text = plainText();
    QString html;
    for (const QTextLayout::FormatRange &range : formatRanges(base)) {
        const QString piece = text.mid(range.start, range.length).toHtmlEscaped();
        const QString style = cssStyle(range.format);
        html += style.isEmpty() ? piece
                                : QStringLiteral("<span style=\"%1\">%2</span>").arg(style, piece);
    }
    const QString align = alignment_ ? htmlAlignment(*alignment_) : QString();
    const QString blockStyle = QStringLiteral("white-space:pre;");
    return align.isEmpty() ? QStringLiteral("<div style=\"%1\">%2</div>").arg(blockStyle, html)
                           : QStringLiteral("<div align=\"%1\" style=\"%2\">%3</div>")
                                 .arg(align, blockStyle, html);
}

} // namespace timecode
