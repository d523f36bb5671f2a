#pragma once

#include "timecode/ui/ShapeStyle.h"

#include <QFont>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextLayout>

#include <optional>

namespace timecode {

// Text in runs, each with its own optional colour, character format and scale, and one
// paragraph alignment over all of it: what the timecode views draw. A run without a colour
// takes the surrounding one; a colour given both ways is the run's colour.
//
// It is drawn through QTextLayout (formatRanges) or a rich-text label (toHtml). With
// monospaced digits every digit is laid out as wide as the font's widest digit, so digits line
// up whatever the typeface.
class StyledText {
public:
    struct Run {
        QString text;
        ShapeStyle colour;
        QTextCharFormat format;
        TextScale scale = TextScale::standard;
        friend bool operator==(const Run &, const Run &) = default;
    };

    StyledText() = default;
    explicit StyledText(const QString &text, ShapeStyle colour = std::nullopt,
                        const QTextCharFormat &format = {});

    void append(Run run);
    void append(const QString &text, ShapeStyle colour = std::nullopt,
                const QTextCharFormat &format = {});
    void append(const StyledText &other);

    const QList<Run> &runs() const { return runs_; }
    QString plainText() const;
    bool isEmpty() const { return runs_.isEmpty(); }

    std::optional<Qt::Alignment> alignment() const { return alignment_; }
    // A copy with the alignment over its whole length.
    StyledText addingAttribute(Qt::Alignment alignment) const;
    void addAttribute(Qt::Alignment alignment) { alignment_ = alignment; }

    bool monospacedDigits() const { return monospacedDigits_; }
    void setMonospacedDigits(bool on) { monospacedDigits_ = on; }

    // The runs as layout formats over a base font: colours as foregrounds, secondary scale as
    // a smaller size, and with monospaced digits each digit widened to the widest one. The
    // ranges do not overlap and cover the text.
    QList<QTextLayout::FormatRange> formatRanges(const QFont &base) const;
    // The same as rich text for a label; the alignment, when set, as a block around it.
    QString toHtml(const QFont &base) const;

    friend bool operator==(const StyledText &, const StyledText &) = default;

private:
    // One run's format over the base font, before any widening of digits.
    QTextCharFormat resolvedFormat(const Run &run, const QFont &base) const;

    QList<Run> runs_;
    std::optional<Qt::Alignment> alignment_;
    bool monospacedDigits_ = false;
};

} // namespace timecode
