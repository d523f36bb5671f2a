#pragma once

#include "designkit/Shadow.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

#include <QtGlobal>

class QWidget;

namespace corvane {

// The kit's lengths, in points (device-independent pixels).
namespace CorvaneDesign {

namespace CornerRadius {
inline constexpr double panel = 14;
inline constexpr double card = 10;
inline constexpr double button = 8;
inline constexpr double thumbnail = 8;
} // namespace CornerRadius

namespace DotSize {
inline constexpr double dense = 6;
inline constexpr double standard = 8;
} // namespace DotSize

namespace Spacing {
inline constexpr double tight = 4;
inline constexpr double standard = 8;
inline constexpr double comfortable = 12;
inline constexpr double generous = 16;
} // namespace Spacing

namespace IconSize {
inline constexpr double small = 12;
inline constexpr double standard = 14;
inline constexpr double medium = 16;
inline constexpr double large = 20;
} // namespace IconSize

namespace Layout {
inline constexpr double leftSidebar = 360;
inline constexpr double rightSidebar = 330;
} // namespace Layout

// How far a surface floats above what is behind it, drawn as one black shadow.
class Elevation {
public:
    enum Case : uint8_t { card, panel, floating };

    static const std::array<Elevation, 3> allCases;

    constexpr Elevation(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    Shadow shadow() const;

private:
    Case value_;
};

inline size_t qHash(Elevation elevation, size_t seed = 0) {
    return ::qHash(static_cast<int>(Elevation::Case(elevation)), seed);
}

} // namespace CorvaneDesign

void corvaneElevation(QWidget *view, CorvaneDesign::Elevation elevation);

} // namespace corvane

template <> struct std::hash<corvane::CorvaneDesign::Elevation> {
    size_t operator()(corvane::CorvaneDesign::Elevation elevation) const noexcept {
        return std::hash<int>()(
            static_cast<int>(corvane::CorvaneDesign::Elevation::Case(elevation)));
    }
};
