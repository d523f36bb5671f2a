#include "timecode/ui/TimecodeStyledText.h"

#include "timecode/core/NumericUtilities.h"
#include "timecode/core/ZeroPadded.h"

#include <functional>
#include <string>

namespace timecode {

namespace {

using Component = Timecode::Component;

// One piece of the text: a component's digits, or a separator.
struct Piece {
    std::optional<Component> component;
    QString text;
    bool invalid = false;
};

// The pieces in order. `filenameSeparators` writes "-" for ":" and ";".
void forEachPiece(const Timecode &timecode, Timecode::StringFormat format, bool filenameSeparators,
                  const std::function<void(const Piece &)> &visit) {
    const Timecode::Components &c = timecode.components();
    const Component::Set invalid = c.invalidComponents(timecode.properties());
    const QString main = filenameSeparators ? QStringLiteral("-") : QStringLiteral(":");
    const QString beforeFrames = filenameSeparators              ? QStringLiteral("-")
                                 : timecode.frameRate().isDrop() ? QStringLiteral(";")
                                                                 : QStringLiteral(":");
    auto component = [&](Component which, int width) {
        std::string digits;
        appendZeroPadded(digits, c.value(which), width);
        visit({which, QString::fromStdString(digits), invalid.count(which) != 0});
    };
    auto separator = [&](const QString &text) { visit({std::nullopt, text, false}); };

    if (c.days != 0 || format.alwaysShowDays()) {
        component(Component::days, 1);
        separator(QStringLiteral(" "));
    }
    component(Component::hours, 2);
    separator(main);
    component(Component::minutes, 2);
    separator(main);
    component(Component::seconds, 2);
    separator(beforeFrames);
    component(Component::frames, timecode.frameRate().numberOfDigits());
    if (format.showSubFrames()) {
        separator(QStringLiteral("."));
        const int width = numberOfDigits(timecode.validRange(Component::subFrames).upper);
        component(Component::subFrames, width);
    }
}

} // namespace

StyledText attributedString(const Timecode &timecode, Timecode::StringFormat format,
                            ShapeStyle separatorStyle, ShapeStyle subFramesStyle,
                            ShapeStyle validationStyle) {
    StyledText styled;
    forEachPiece(timecode, format, format.filenameCompatible(), [&](const Piece &piece) {
        if (!piece.component) {
            styled.append(piece.text, separatorStyle);
        } else if (piece.invalid) {
            styled.append(piece.text, validationStyle);
        } else if (*piece.component == Component::subFrames) {
            styled.append(piece.text, subFramesStyle);
        } else {
            styled.append(piece.text);
        }
    });
    return styled;
}

StyledText text(const Timecode &timecode, Timecode::StringFormat format, ShapeStyle separatorStyle,
                ShapeStyle subFramesStyle, TextScale subFramesScale, ShapeStyle validationStyle) {
    StyledText styled;
    forEachPiece(timecode, format, format.filenameCompatible(), [&](const Piece &piece) {
        StyledText::Run run{piece.text, std::nullopt, {}, TextScale::standard};
        if (!piece.component) {
            run.colour = separatorStyle;
        } else if (*piece.component == Component::subFrames) {
            run.colour = piece.invalid ? validationStyle : subFramesStyle;
            run.scale = subFramesScale;
        } else if (piece.invalid) {
            run.colour = validationStyle;
        }
        styled.append(std::move(run));
    });
    styled.setMonospacedDigits(true);
    return styled;
}

StyledText nsAttributedString(const Timecode &timecode, Timecode::StringFormat format,
                              const std::optional<QTextCharFormat> &defaultAttributes,
                              const std::optional<QTextCharFormat> &separatorAttributes,
                              const std::optional<QTextCharFormat> &subFramesAttributes,
                              const std::optional<QTextCharFormat> &invalidAttributes) {
    const QTextCharFormat base = defaultAttributes.value_or(QTextCharFormat());
    auto over = [&base](const QTextCharFormat &added) {
        QTextCharFormat merged = base;
        merged.merge(added);
        return merged;
    };
    StyledText styled;
    forEachPiece(timecode, format, false, [&](const Piece &piece) {
        QTextCharFormat pieceFormat = base;
        if (!piece.component) {
            pieceFormat = separatorAttributes.value_or(base);
        } else if (piece.invalid && invalidAttributes) {
            pieceFormat = over(*invalidAttributes);
        } else if (*piece.component == Component::subFrames && subFramesAttributes) {
            pieceFormat = over(*subFramesAttributes);
        }
        styled.append(piece.text, std::nullopt, pieceFormat);
    });
    return styled;
}

} // namespace timecode
