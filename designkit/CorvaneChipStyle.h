#pragma once

#include <QColor>
#include <QHashFunctions>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace corvane {

// How a chip takes its colours: `colored` from a colour of its own instead of the tint,
// `standard` from the tint when selected and neutral otherwise, `plain` without fill,
// `tabBare` without fill or border. Two `colored` styles are equal only with equal colours.
class CorvaneChipStyle {
public:
    enum class Case : uint8_t { colored, standard, plain, tabBare };

    static CorvaneChipStyle colored(const QColor &color) { return {Case::colored, color}; }
    static CorvaneChipStyle standard() { return {Case::standard, {}}; }
    static CorvaneChipStyle plain() { return {Case::plain, {}}; }
    static CorvaneChipStyle tabBare() { return {Case::tabBare, {}}; }

    Case kind() const { return kind_; }
    // The colour of a `colored` style; an invalid colour for the others.
    QColor color() const { return color_; }

    friend bool operator==(const CorvaneChipStyle &a, const CorvaneChipStyle &b) {
        return a.kind_ == b.kind_ && (a.kind_ != Case::colored || a.color_ == b.color_);
    }

private:
    CorvaneChipStyle(Case kind, const QColor &color) : kind_(kind), color_(color) {}

    Case kind_;
    QColor color_;
};

// A chip's padding: compact 8 × 4 points, comfortable 10 × 6.
class CorvaneChipSize {
public:
    enum Case : uint8_t { compact, comfortable };

    constexpr CorvaneChipSize(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    constexpr int horizontalPadding() const { return value_ == compact ? 8 : 10; }
    constexpr int verticalPadding() const { return value_ == compact ? 4 : 6; }

private:
    Case value_;
};

inline size_t qHash(CorvaneChipSize size, size_t seed = 0) {
    return ::qHash(static_cast<int>(CorvaneChipSize::Case(size)), seed);
}

} // namespace corvane

template <> struct std::hash<corvane::CorvaneChipSize> {
    size_t operator()(corvane::CorvaneChipSize size) const noexcept {
        return std::hash<int>()(static_cast<int>(corvane::CorvaneChipSize::Case(size)));
    }
};
