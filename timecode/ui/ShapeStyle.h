#pragma once

#include <QBrush>
#include <QColor>

#include <cstddef>
#include <optional>

namespace timecode {

// A style the timecode views draw with: a colour or other fill, or none (no style of its own,
// so the surrounding one shows).
using ShapeStyle = std::optional<QBrush>;

// The size of a piece of text relative to its surroundings.
enum class TextScale {
    // The surrounding size. ("default" is a word of the language.)
    standard,
    // A step smaller, as for secondary text.
    secondary,
};

// How much smaller secondary text is drawn.
inline constexpr double secondaryTextScaleFactor = 0.8;

// What a style setting accepts: a fill, a colour, an optional fill, or nullptr / std::nullopt
// for none. Every form becomes a ShapeStyle the same way, so a literal nullptr stores none,
// which is not the same as leaving the setting alone.
class ShapeStyleArgument {
public:
    ShapeStyleArgument(const QBrush &brush) : style_(brush) {}
    ShapeStyleArgument(const QColor &color) : style_(QBrush(color)) {}
    ShapeStyleArgument(Qt::GlobalColor color) : style_(QBrush(color)) {}
    ShapeStyleArgument(ShapeStyle style) : style_(std::move(style)) {}
    ShapeStyleArgument(std::nullopt_t) {}
    ShapeStyleArgument(std::nullptr_t) {}

    const ShapeStyle &style() const { return style_; }

private:
    ShapeStyle style_;
};

// Any fill as a ShapeStyle.
inline ShapeStyle asAnyShapeStyle(const QBrush &brush) {
    return brush;
}

} // namespace timecode
