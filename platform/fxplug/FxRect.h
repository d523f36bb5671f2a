#pragma once

#include <climits>

namespace platform {

// A rectangle of whole pixels in an effect host's image space: left and bottom inclusive,
// right and top exclusive, y growing upward.
struct FxRect {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;

    constexpr int width() const { return right - left; }
    constexpr int height() const { return top - bottom; }

    friend constexpr bool operator==(const FxRect &, const FxRect &) = default;
};

// Every pixel there is: an effect that draws wherever it is asked to.
inline constexpr FxRect kFxRect_Infinite{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
// No pixel at all: an effect that needs nothing of an input image.
inline constexpr FxRect kFxRect_Empty{0, 0, 0, 0};

} // namespace platform
