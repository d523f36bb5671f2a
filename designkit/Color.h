#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace corvane {

// The kit's colour tokens. Every token is built once, on first use, and is sRGB; translucent
// tokens are white (or the accent, or the primary colour) at an opacity, laid over whatever
// is behind them. The accent's four derivatives are computed from corvaneAccent() itself, so
// they always follow it.
class Color {
public:
    Color() = delete;

    static QColor corvaneBase();
    static QColor corvaneSurface();
    static QColor corvaneAccent();
    static QColor cyanElectric();
    static QColor timecodeBlue();
    static QColor deepNavy();
    static QColor vibrantBlue();
    static QColor corvaneDivider();
    static QColor corvaneHover();
    static QColor corvaneHoverSubtle();
    static QColor corvaneChipFill();
    static QColor corvaneCardFill();
    static QColor corvaneCardFillRaised();
    static QColor corvaneTextSecondary();
    static QColor corvaneTextTertiary();
    static QColor corvaneSelection();
    static QColor corvaneAccentBackground();
    static QColor corvaneAccentStroke();
    static QColor corvaneAccentStrokeFaint();
    static QColor corvaneRecording();
    static QColor corvaneRecordingGlow();

    // The adaptive primary colour: the text colour of the kit's dark palette.
    static QColor primary();
    // The standard colours of the dark palette.
    static QColor red();
    static QColor orange();
    static QColor yellow();
    static QColor green();
    static QColor white();
    static QColor black();
    static QColor clear();

    // An opaque sRGB colour from components given as fractions of 1.
    static QColor sRGB(double red, double green, double blue);

    // Colour text such as "#0D0D0D" (see HexColorParser for the lenient rules), or nothing
    // when the text is not a colour.
    static std::optional<QColor> fromHex(const QString &hex);
};

// `color` with its opacity multiplied by `opacity`, as a translucent colour of a colour is.
QColor withOpacity(const QColor &color, double opacity);
// `color` as a style sheet writes it, opacity included ("#AARRGGBB").
QString styleSheetColor(const QColor &color);

} // namespace corvane
