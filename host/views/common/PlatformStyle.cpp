#include "host/views/common/PlatformStyle.h"

#include "designkit/Fonts.h"
#include "designkit/Palette.h"
#include "host/views/common/WrappingLabel.h"

#include <QFontDatabase>
#include <QLabel>

namespace tandrel {

namespace {

using corvane::CorvaneFontWeight;
using corvane::FontTextStyle;

// Sizes in kit points, a little above the platform's own: the kit's face is smaller on the
// line than the platform's system face at the same size.
double size(FontTextStyle style) {
    switch (style) {
    case FontTextStyle::largeTitle:
        return 26;
    case FontTextStyle::title:
        return 22;
    case FontTextStyle::title2:
        return 19;
    case FontTextStyle::title3:
        return 17;
    case FontTextStyle::headline:
    case FontTextStyle::body:
        return 15;
    case FontTextStyle::callout:
        return 14;
    case FontTextStyle::subheadline:
        return 13;
    case FontTextStyle::footnote:
    case FontTextStyle::caption:
        return 13;
    case FontTextStyle::caption2:
        return 12;
    }
    return 15;
}

} // namespace

QFont textStyleFont(FontTextStyle style) {
    return textStyleFont(style, style == FontTextStyle::headline ? CorvaneFontWeight::demiBold
                                                                 : CorvaneFontWeight::regular);
}

QFont textStyleFont(FontTextStyle style, CorvaneFontWeight weight) {
    return corvane::corvaneFont(size(style), weight, style);
}

QFont monospacedFont(FontTextStyle style) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The monospaced face runs wider and taller than the kit's: a point smaller sits level.
    font.setPointSizeF(corvane::fontPointSize(size(style) - 1));
    return font;
}

QLabel *styledLabel(const QString &text, const QFont &font, const QColor &colour) {
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    corvane::corvaneForeground(label, colour);
    return label;
}

WrappingLabel *wrappingLabel(const QString &text, const QFont &font, const QColor &colour) {
    auto *label = new WrappingLabel(text);
    label->setFont(font);
    corvane::corvaneForeground(label, colour);
    return label;
}

} // namespace tandrel
