#pragma once

#include <QFont>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace corvane {

// The five weights of the kit's typeface, each named by its face ("AvenirNext-DemiBold").
class CorvaneFontWeight {
public:
    enum Case : uint8_t { regular, medium, demiBold, bold, heavy };

    static const std::array<CorvaneFontWeight, 5> allCases;

    constexpr CorvaneFontWeight() = default;
    constexpr CorvaneFontWeight(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    QString fontName() const;
    // 400 for regular up to 800 for heavy.
    QFont::Weight qtWeight() const;

private:
    Case value_ = regular;
};

inline size_t qHash(CorvaneFontWeight weight, size_t seed = 0) {
    return ::qHash(static_cast<int>(CorvaneFontWeight::Case(weight)), seed);
}

} // namespace corvane

template <> struct std::hash<corvane::CorvaneFontWeight> {
    size_t operator()(corvane::CorvaneFontWeight weight) const noexcept {
        return std::hash<int>()(static_cast<int>(corvane::CorvaneFontWeight::Case(weight)));
    }
};
