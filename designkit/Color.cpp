#include "designkit/Color.h"

#include "designkit/HexColorParser.h"

namespace corvane {

QColor Color::sRGB(double red, double green, double blue) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue));
}

QColor withOpacity(const QColor &color, double opacity) {
    QColor result = color;
    result.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return result;
}

QString styleSheetColor(const QColor &color) {
    return color.name(QColor::HexArgb);
}

QColor Color::corvaneBase() {
    static const QColor color = sRGB(0.06, 0.07, 0.09);
    return color;
}

QColor Color::corvaneSurface() {
    static const QColor color = sRGB(0.10, 0.11, 0.13);
    return color;
}

QColor Color::corvaneAccent() {
    static const QColor color = sRGB(0.0, 0.549, 0.847);
    return color;
}

QColor Color::cyanElectric() {
    static const QColor color = sRGB(0.0, 0.85, 1.0);
    return color;
}

QColor Color::timecodeBlue() {
    static const QColor color = sRGB(0.4, 0.6, 1.0);
    return color;
}

QColor Color::deepNavy() {
    static const QColor color = sRGB(0.05, 0.1, 0.2);
    return color;
}

QColor Color::vibrantBlue() {
    static const QColor color = sRGB(0.2, 0.4, 0.9);
    return color;
}

QColor Color::corvaneDivider() {
    return withOpacity(white(), 0.08);
}
QColor Color::corvaneHover() {
    return withOpacity(primary(), 0.05);
}
QColor Color::corvaneHoverSubtle() {
    return withOpacity(primary(), 0.03);
}
QColor Color::corvaneChipFill() {
    return withOpacity(white(), 0.06);
}
QColor Color::corvaneCardFill() {
    return withOpacity(white(), 0.05);
}
QColor Color::corvaneCardFillRaised() {
    return withOpacity(white(), 0.10);
}
QColor Color::corvaneTextSecondary() {
    return withOpacity(white(), 0.7);
}
QColor Color::corvaneTextTertiary() {
    return withOpacity(white(), 0.5);
}
QColor Color::corvaneSelection() {
    return withOpacity(corvaneAccent(), 0.25);
}
QColor Color::corvaneAccentBackground() {
    return withOpacity(corvaneAccent(), 0.2);
}
QColor Color::corvaneAccentStroke() {
    return withOpacity(corvaneAccent(), 0.5);
}
QColor Color::corvaneAccentStrokeFaint() {
    return withOpacity(corvaneAccent(), 0.3);
}
QColor Color::corvaneRecording() {
    return red();
}
QColor Color::corvaneRecordingGlow() {
    return withOpacity(red(), 0.3);
}

QColor Color::primary() {
    return white();
}

QColor Color::red() {
    static const QColor color = sRGB(1.0, 0.271, 0.227);
    return color;
}

QColor Color::orange() {
    static const QColor color = sRGB(1.0, 0.624, 0.039);
    return color;
}

QColor Color::yellow() {
    static const QColor color = sRGB(1.0, 0.839, 0.039);
    return color;
}

QColor Color::green() {
    static const QColor color = sRGB(0.188, 0.82, 0.345);
    return color;
}

QColor Color::white() {
    return QColor(255, 255, 255);
}
QColor Color::black() {
    return QColor(0, 0, 0);
}
QColor Color::clear() {
    return QColor(0, 0, 0, 0);
}

std::optional<QColor> Color::fromHex(const QString &hex) {
    const auto rgb = HexColorParser::parse(hex);
    if (!rgb) {
        return std::nullopt;
    }
    return QColor(rgb->red, rgb->green, rgb->blue);
}

} // namespace corvane
