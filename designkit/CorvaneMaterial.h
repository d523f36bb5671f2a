#pragma once

#include <QColor>

#include <array>
#include <cstdint>

namespace corvane {

// A material: on the original platform a blur of what lies behind the window; here a painted
// translucent fill, thinner materials letting more of the backdrop through.
class CorvaneMaterial {
public:
    enum Case : uint8_t { ultraThin, thin, regular, thick, ultraThick, hudWindow };

    static const std::array<CorvaneMaterial, 6> allCases;

    constexpr CorvaneMaterial(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    QColor fill() const;

private:
    Case value_;
};

} // namespace corvane
