#include "host/views/preview/ChipFont.h"

#include "host/views/common/QtText.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tandrel {

QFont ChipFont::font(double pixelSize, QFont::Weight weight, const QPaintDevice &device) {
    QFont font(QString::fromLatin1(family));
    font.setStyleHint(QFont::Monospace);
    font.setWeight(weight);
    // QFont takes whole pixel sizes only; a point size at the device's DPI keeps fractions.
    font.setPointSizeF(pixelSize * 72.0 / device.logicalDpiY());
    return font;
}

ChipLayout::TextMeasure ChipFont::measure(const QPaintDevice &device) {
    return [&device](std::string_view text, double pixelSize) {
        const QFontMetricsF metrics(font(pixelSize, QFont::Medium, device), &device);
        const QStringList lines = qtText(text).split(u'\n');
        double width = 0;
        for (const QString &line : lines) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
        const double lineHeight = std::ceil(metrics.ascent()) + std::ceil(metrics.descent());
        const auto count = static_cast<double>(lines.size());
        return QSizeF(width, count * lineHeight + (count - 1) * ChipLayout::lineSpacing);
    };
}

} // namespace tandrel
