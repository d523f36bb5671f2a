#pragma once

// Triangle coverage for the compositor. Internal to the library.

#include <array>
#include <functional>

namespace platform::detail {

// A vertex in window pixels (x to the right, y down from row 0) with its texture coordinates.
struct WindowVertex {
    double x;
    double y;
    double u;
    double v;
};

// A run of covered pixels in row y, x0 to x1 inclusive, with the texture coordinates at the
// centre of pixel x0 (nudged by 1/1024 pixel to the right and down) and their change from one
// pixel to the next.
struct Span {
    int y;
    int x0;
    int x1;
    double u;
    double v;
    double du;
    double dv;
};

// Calls `emit` for the pixels of a width × height target whose centres the triangle covers.
// Vertices snap to 1/256 pixel; a centre on an edge belongs to the triangle when the edge is a
// top or left edge, so triangles sharing an edge cover each pixel once. Either winding is
// drawn; degenerate or non-finite triangles draw nothing.
void rasteriseTriangle(const std::array<WindowVertex, 3> &triangle, int width, int height,
                       const std::function<void(const Span &)> &emit);

} // namespace platform::detail
