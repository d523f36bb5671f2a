#include "platform/gpu/Rasteriser.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace platform::detail {

namespace {

constexpr int subpixelBits = 8;
constexpr std::int64_t subpixels = 1 << subpixelBits;
// Geometry further than this outside the target is cut off first, which keeps fixed-point
// products well inside 64 bits for targets up to 16384 pixels.
constexpr double guardBand = 4096;

struct Point {
    double x;
    double y;
};

// A linear function of window position: value = a + dx × (x − x0) + dy × (y − y0).
struct Plane {
    double a;
    double dx;
    double dy;
    double x0;
    double y0;

    double at(double x, double y) const { return a + dx * (x - x0) + dy * (y - y0); }
};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { // b > 0
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { // b > 0
    return -floorDiv(-a, b);
}

// Sutherland–Hodgman against one side. The crossing of an edge is computed from its endpoints
// in a fixed order, so two triangles sharing that edge get the very same point.
template <typename Inside>
int clipAgainst(const Point *in, int count, Point *out, Inside inside, bool vertical,
                double limit) {
    int produced = 0;
    for (int i = 0; i < count; ++i) {
        const Point &current = in[i];
        const Point &previous = in[(i + count - 1) % count];
        const bool currentIn = inside(current);
        if (currentIn != inside(previous)) {
            Point a = previous;
            Point b = current;
            if (b.x < a.x || (b.x == a.x && b.y < a.y)) {
                std::swap(a, b);
            }
            if (vertical) {
                const double t = (limit - a.x) / (b.x - a.x);
                out[produced++] = {limit, a.y + t * (b.y - a.y)};
            } else {
                const double t = (limit - a.y) / (b.y - a.y);
                out[produced++] = {a.x + t * (b.x - a.x), limit};
            }
        }
        if (currentIn) {
            out[produced++] = current;
        }
    }
    return produced;
}

void rasteriseFixed(const Point (&p)[3], const Plane &u, const Plane &v, int width, int height,
                    const std::function<void(const Span &)> &emit) {
    std::int64_t x[3];
    std::int64_t y[3];
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(p[i].x) || !std::isfinite(p[i].y)) {
            return;
        }
        x[i] = std::llround(p[i].x * subpixels);
        y[i] = std::llround(p[i].y * subpixels);
    }
    const std::int64_t area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    if (area == 0) {
        return;
    }
    if (area < 0) {
        std::swap(x[1], x[2]);
        std::swap(y[1], y[2]);
    }

    // Edge i runs from vertex i to vertex i+1; at the centre of pixel (px, py) its function is
    // a × px + b × py + c, positive inside. Centres on an edge count for top and left edges only.
    std::int64_t a[3];
    std::int64_t b[3];
    std::int64_t c[3];
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3;
        const std::int64_t dx = x[j] - x[i];
        const std::int64_t dy = y[j] - y[i];
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        a[i] = -subpixels * dy;
        b[i] = subpixels * dx;
        c[i] = dx * (subpixels / 2 - y[i]) - dy * (subpixels / 2 - x[i]) - (topLeft ? 0 : 1);
    }

    const std::int64_t half = subpixels / 2;
    const std::int64_t top =
        std::max<std::int64_t>(0, ceilDiv(std::min({y[0], y[1], y[2]}) - half, subpixels));
    const std::int64_t bottom = std::min<std::int64_t>(
        height - 1, floorDiv(std::max({y[0], y[1], y[2]}) - half, subpixels));
    for (std::int64_t py = top; py <= bottom; ++py) {
        std::int64_t first = 0;
        std::int64_t last = width - 1;
        for (int i = 0; i < 3; ++i) {
            const std::int64_t k = b[i] * py + c[i];
            if (a[i] > 0) {
                first = std::max(first, ceilDiv(-k, a[i]));
            } else if (a[i] < 0) {
                last = std::min(last, floorDiv(k, -a[i]));
            } else if (k < 0) {
                last = -1;
            }
        }
        if (first > last) {
            continue;
        }
        // Texture coordinates are taken a hair right of and below the centre: a centre on a
        // texel boundary then reads the texel that the half-open pixel range enters, whichever
        // way the coordinates run, so no texel row or column is doubled or dropped.
        const double cx = static_cast<double>(first) + 0.5 + 1.0 / 1024;
        const double cy = static_cast<double>(py) + 0.5 + 1.0 / 1024;
        emit(Span{static_cast<int>(py), static_cast<int>(first), static_cast<int>(last),
                  u.at(cx, cy), v.at(cx, cy), u.dx, v.dx});
    }
}

} // namespace

void rasteriseTriangle(const std::array<WindowVertex, 3> &triangle, int width, int height,
                       const std::function<void(const Span &)> &emit) {
    if (width < 1 || height < 1) {
        return;
    }
    const WindowVertex &p0 = triangle[0];
    const WindowVertex &p1 = triangle[1];
    const WindowVertex &p2 = triangle[2];
    for (const WindowVertex &p : triangle) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
            return;
        }
    }
    const double det = (p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y);
    if (det == 0 || !std::isfinite(det)) {
        return;
    }
    // Texture coordinates follow the original triangle, however it is cut below.
    const auto plane = [&](double a0, double a1, double a2) {
        return Plane{a0, ((a1 - a0) * (p2.y - p0.y) - (a2 - a0) * (p1.y - p0.y)) / det,
                     ((a2 - a0) * (p1.x - p0.x) - (a1 - a0) * (p2.x - p0.x)) / det, p0.x, p0.y};
    };
    const Plane u = plane(p0.u, p1.u, p2.u);
    const Plane v = plane(p0.v, p1.v, p2.v);

    Point polygon[9] = {{p0.x, p0.y}, {p1.x, p1.y}, {p2.x, p2.y}};
    Point scratch[9];
    int count = 3;
    const double left = -guardBand;
    const double right = width + guardBand;
    const double upper = -guardBand;
    const double lower = height + guardBand;
    count = clipAgainst(
        polygon, count, scratch, [&](Point q) { return q.x >= left; }, true, left);
    count = clipAgainst(
        scratch, count, polygon, [&](Point q) { return q.x <= right; }, true, right);
    count = clipAgainst(
        polygon, count, scratch, [&](Point q) { return q.y >= upper; }, false, upper);
    count = clipAgainst(
        scratch, count, polygon, [&](Point q) { return q.y <= lower; }, false, lower);
    for (int i = 1; i + 1 < count; ++i) {
        const Point fan[3] = {polygon[0], polygon[i], polygon[i + 1]};
        rasteriseFixed(fan, u, v, width, height, emit);
    }
}

} // namespace platform::detail
