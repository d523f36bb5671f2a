#pragma once

#include "designkit/CorvaneFontWeight.h"
#include "designkit/FontTextStyle.h"
#include "host/views/common/QtText.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string_view>

class QLabel;

namespace tandrel {

// The platform's default padding around a view's content, in kit points.
inline constexpr int defaultPadding = 16;

// The platform's text styles that the validation views name (headline, caption, caption 2,
// ...), which Linux does not have: the kit's face at a fixed size per style, at the style's
// own weight (semibold for the headline, regular otherwise) unless a weight is given.
QFont textStyleFont(corvane::FontTextStyle style);
QFont textStyleFont(corvane::FontTextStyle style, corvane::CorvaneFontWeight weight);
// The system's monospaced face at the style's size.
QFont monospacedFont(corvane::FontTextStyle style);

class WrappingLabel;

// Plain text on one line, and plain text that wraps, in a font and colour.
QLabel *styledLabel(const QString &text, const QFont &font, const QColor &colour);
WrappingLabel *wrappingLabel(const QString &text, const QFont &font, const QColor &colour);

} // namespace tandrel
