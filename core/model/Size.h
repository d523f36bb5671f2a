#pragma once

namespace tandrel {

// A width and a height, in pixels where it is a frame size.
struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(const Size &, const Size &) = default;
};

} // namespace tandrel
