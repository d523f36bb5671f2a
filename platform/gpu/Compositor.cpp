#include "platform/gpu/Compositor.h"

#include "platform/gpu/HalfFloat.h"
#include "platform/gpu/Rasteriser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace platform::detail {

namespace {

struct Color {
    float r;
    float g;
    float b;
    float a;
};

// value / 255, correctly rounded, from a table: the division costs more than the blend.
const std::array<float, 256> unormToFloatTable = [] {
    std::array<float, 256> values{};
    for (int i = 0; i < 256; ++i) {
        values[i] = static_cast<float>(i) / 255.0f;
    }
    return values;
}();

inline float unormToFloat(std::uint8_t value) {
    return unormToFloatTable[value];
}

// Clamped to 0…1 (NaN as 0) and rounded to the nearest step.
std::uint8_t floatToUnorm(float value) {
    const float clamped = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
    return static_cast<std::uint8_t>(clamped * 255.0f + 0.5f);
}

Color loadPixel(PixelFormat format, const std::byte *pixel) {
    switch (format) {
    case PixelFormat::rgba8Unorm:
    case PixelFormat::bgra8Unorm: {
        std::uint8_t c[4];
        std::memcpy(c, pixel, 4);
        const bool bgra = format == PixelFormat::bgra8Unorm;
        return {unormToFloat(c[bgra ? 2 : 0]), unormToFloat(c[1]), unormToFloat(c[bgra ? 0 : 2]),
                unormToFloat(c[3])};
    }
    case PixelFormat::rgba16Float: {
        std::uint16_t h[4];
        std::memcpy(h, pixel, 8);
        return {halfToFloat(h[0]), halfToFloat(h[1]), halfToFloat(h[2]), halfToFloat(h[3])};
    }
    case PixelFormat::rgba32Float: {
        Color c;
        std::memcpy(&c, pixel, 16);
        return c;
    }
    case PixelFormat::invalid:
        break;
    }
    return {0, 0, 0, 0};
}

void storePixel(PixelFormat format, std::byte *pixel, const Color &c) {
    switch (format) {
    case PixelFormat::rgba8Unorm:
    case PixelFormat::bgra8Unorm: {
        const bool bgra = format == PixelFormat::bgra8Unorm;
        const std::uint8_t bytes[4] = {floatToUnorm(bgra ? c.b : c.r), floatToUnorm(c.g),
                                       floatToUnorm(bgra ? c.r : c.b), floatToUnorm(c.a)};
        std::memcpy(pixel, bytes, 4);
        return;
    }
    case PixelFormat::rgba16Float: {
        const std::uint16_t h[4] = {floatToHalf(c.r), floatToHalf(c.g), floatToHalf(c.b),
                                    floatToHalf(c.a)};
        std::memcpy(pixel, h, 8);
        return;
    }
    case PixelFormat::rgba32Float:
        std::memcpy(pixel, &c, 16);
        return;
    case PixelFormat::invalid:
        return;
    }
}

float factor(BlendFactor f, float sourceAlpha) {
    switch (f) {
    case BlendFactor::zero:
        return 0.0f;
    case BlendFactor::one:
        return 1.0f;
    case BlendFactor::sourceAlpha:
        return sourceAlpha;
    case BlendFactor::oneMinusSourceAlpha:
        return 1.0f - sourceAlpha;
    }
    return 0.0f;
}

Color blend(const RenderPipelineColorAttachmentDescriptor &state, const Color &s, const Color &d) {
    if (!state.blendingEnabled) {
        return s;
    }
    const float fs = factor(state.sourceRGBBlendFactor, s.a);
    const float fd = factor(state.destinationRGBBlendFactor, s.a);
    const float as = factor(state.sourceAlphaBlendFactor, s.a);
    const float ad = factor(state.destinationAlphaBlendFactor, s.a);
    return {s.r * fs + d.r * fd, s.g * fs + d.g * fd, s.b * fs + d.b * fd, s.a * as + d.a * ad};
}

// Nearest texel: floor(t × size), clamped to the edge.
int texelIndex(double t, int size) {
    const double scaled = t * size;
    if (!(scaled >= 0)) {
        return 0;
    }
    return scaled >= size ? size - 1 : static_cast<int>(scaled);
}

// Reads the texels of a span: nearest texel along the row, one texture row when the row's
// texture coordinate does not change across it.
class SpanTexels {
public:
    SpanTexels(const Texture &source, const Span &span)
        : source_(source), span_(span), pixelSize_(bytesPerPixel(source.pixelFormat())),
          fixedRow_(span.dv == 0 ? rowOf(span.v) : nullptr) {}

    const std::byte *at(int x) const {
        const double step = static_cast<double>(x - span_.x0);
        const std::byte *row = fixedRow_ ? fixedRow_ : rowOf(span_.v + span_.dv * step);
        return row + pixelSize_ * static_cast<std::size_t>(
                                      texelIndex(span_.u + span_.du * step, source_.width()));
    }

    // The texel of x0 when the span reads consecutive texels of one row, one per pixel (a
    // quad drawn at the texture's own size): at(x0 + k) is then that texel plus k. The texel
    // coordinate of each pixel stays well inside its texel, so rounding cannot move it.
    const std::byte *consecutive() const {
        const int count = span_.x1 - span_.x0;
        const double size = source_.width();
        const double first = span_.u * size;
        const double slope = span_.du * size;
        if (!fixedRow_ || !(first >= 0) || !(std::abs(slope - 1) * count < 1e-3)) {
            return nullptr;
        }
        const double within = first - std::floor(first);
        const double last = first + count * slope;
        if (within < 2e-3 || within > 1 - 2e-3 || !(last < size)) {
            return nullptr;
        }
        return fixedRow_ + pixelSize_ * static_cast<std::size_t>(first);
    }

private:
    const std::byte *rowOf(double v) const {
        return TextureAccess::row(source_, texelIndex(v, source_.height()));
    }

    const Texture &source_;
    const Span &span_;
    const std::size_t pixelSize_;
    const std::byte *fixedRow_;
};

// The half-float of each 8-bit step, as the float path computes it.
const std::array<std::uint16_t, 256> unormToHalfTable = [] {
    std::array<std::uint16_t, 256> values{};
    for (int i = 0; i < 256; ++i) {
        values[i] = floatToHalf(static_cast<float>(i) / 255.0f);
    }
    return values;
}();

inline std::uint16_t unormToHalf(std::uint8_t value) {
    return unormToHalfTable[value];
}

// One pre-multiplied RGBA8 texel `s` over a target pixel. Transparent texels leave the target
// as it is and opaque ones, or any over a pixel still cleared to zero, replace it, which is
// what the blend gives for them. In BGRA8 the blend runs in integers and rounds
// s + d × (255 − a) / 255 to the nearest step, as the float path does.
template <PixelFormat Target> void overPixel(const std::uint8_t *s, std::byte *pixel) {
    if ((s[0] | s[1] | s[2] | s[3]) == 0) {
        return;
    }
    if constexpr (Target == PixelFormat::bgra8Unorm) {
        std::uint8_t d[4];
        std::memcpy(d, pixel, 4);
        const unsigned keep = 255u - s[3];
        const auto mix = [keep](unsigned from, unsigned onto) {
            // (t + t / 256) / 256 with t = x + 128 is x / 255 rounded, exactly, for x ≤ 255².
            const unsigned t = onto * keep + 128u;
            return static_cast<std::uint8_t>(std::min(255u, from + ((t + (t >> 8)) >> 8)));
        };
        const std::uint8_t out[4] = {mix(s[2], d[0]), mix(s[1], d[1]), mix(s[0], d[2]),
                                     mix(s[3], d[3])};
        std::memcpy(pixel, out, 4);
    } else if constexpr (Target == PixelFormat::rgba16Float) {
        std::uint64_t bits;
        std::memcpy(&bits, pixel, 8);
        if (s[3] == 255 || bits == 0) {
            const std::uint16_t h[4] = {unormToHalf(s[0]), unormToHalf(s[1]), unormToHalf(s[2]),
                                        unormToHalf(s[3])};
            std::memcpy(pixel, h, 8);
            return;
        }
        const Color d = loadPixel(Target, pixel);
        const float keep = 1.0f - unormToFloat(s[3]);
        storePixel(Target, pixel,
                   {unormToFloat(s[0]) + d.r * keep, unormToFloat(s[1]) + d.g * keep,
                    unormToFloat(s[2]) + d.b * keep, unormToFloat(s[3]) + d.a * keep});
    } else {
        const Color c{unormToFloat(s[0]), unormToFloat(s[1]), unormToFloat(s[2]),
                      unormToFloat(s[3])};
        if (s[3] == 255) {
            storePixel(Target, pixel, c);
            return;
        }
        const Color d = loadPixel(Target, pixel);
        const float keep = 1.0f - c.a;
        storePixel(Target, pixel,
                   {c.r + d.r * keep, c.g + d.g * keep, c.b + d.b * keep, c.a + d.a * keep});
    }
}

// Consecutive RGBA8 texels over as many BGRA8 pixels: the blend of overPixel without its
// branches, which it gives for every texel (a transparent one adds 0 and keeps d exactly),
// written so that the compiler runs it on many channels at once.
void overRunBGRA8(const std::uint8_t *__restrict s, std::uint8_t *__restrict d, int count) {
    for (int i = 0; i < count; ++i, s += 4, d += 4) {
        const unsigned keep = 255u - s[3];
        const unsigned t0 = d[0] * keep + 128u;
        const unsigned t1 = d[1] * keep + 128u;
        const unsigned t2 = d[2] * keep + 128u;
        const unsigned t3 = d[3] * keep + 128u;
        d[0] = static_cast<std::uint8_t>(std::min(255u, s[2] + ((t0 + (t0 >> 8)) >> 8)));
        d[1] = static_cast<std::uint8_t>(std::min(255u, s[1] + ((t1 + (t1 >> 8)) >> 8)));
        d[2] = static_cast<std::uint8_t>(std::min(255u, s[0] + ((t2 + (t2 >> 8)) >> 8)));
        d[3] = static_cast<std::uint8_t>(std::min(255u, s[3] + ((t3 + (t3 >> 8)) >> 8)));
    }
}

// Pre-multiplied RGBA8 texels over a target, the overlay's one case.
template <PixelFormat Target>
void overFromRGBA8(const Texture &source, std::byte *row, const Span &span) {
    constexpr std::size_t size = bytesPerPixel(Target);
    const SpanTexels texels(source, span);
    std::byte *pixel = row + size * static_cast<std::size_t>(span.x0);
    if (const std::byte *texel = texels.consecutive()) {
        if constexpr (Target == PixelFormat::bgra8Unorm) {
            overRunBGRA8(reinterpret_cast<const std::uint8_t *>(texel),
                         reinterpret_cast<std::uint8_t *>(pixel), span.x1 - span.x0 + 1);
            return;
        }
        for (int x = span.x0; x <= span.x1; ++x, texel += 4, pixel += size) {
            overPixel<Target>(reinterpret_cast<const std::uint8_t *>(texel), pixel);
        }
        return;
    }
    for (int x = span.x0; x <= span.x1; ++x, pixel += size) {
        overPixel<Target>(reinterpret_cast<const std::uint8_t *>(texels.at(x)), pixel);
    }
}

void shadeSpan(Texture &target, const Texture &source,
               const RenderPipelineColorAttachmentDescriptor &state, const Span &span) {
    std::byte *row = TextureAccess::row(target, span.y);
    const PixelFormat format = target.pixelFormat();
    if (source.pixelFormat() == PixelFormat::rgba8Unorm && state.isPremultipliedOver()) {
        switch (format) {
        case PixelFormat::bgra8Unorm:
            return overFromRGBA8<PixelFormat::bgra8Unorm>(source, row, span);
        case PixelFormat::rgba16Float:
            return overFromRGBA8<PixelFormat::rgba16Float>(source, row, span);
        case PixelFormat::rgba32Float:
            return overFromRGBA8<PixelFormat::rgba32Float>(source, row, span);
        default:
            break;
        }
    }
    const SpanTexels texels(source, span);
    const std::size_t size = bytesPerPixel(format);
    for (int x = span.x0; x <= span.x1; ++x) {
        const Color s = loadPixel(source.pixelFormat(), texels.at(x));
        std::byte *pixel = row + size * static_cast<std::size_t>(x);
        storePixel(format, pixel, blend(state, s, loadPixel(format, pixel)));
    }
}

} // namespace

void clear(Texture &target, const ClearColor &color) {
    const PixelFormat format = target.pixelFormat();
    const std::size_t size = bytesPerPixel(format);
    std::byte pattern[16] = {};
    storePixel(format, pattern,
               {static_cast<float>(color.red), static_cast<float>(color.green),
                static_cast<float>(color.blue), static_cast<float>(color.alpha)});
    const std::size_t rowBytes = size * static_cast<std::size_t>(target.width());
    const bool zero =
        std::all_of(pattern, pattern + size, [](std::byte b) { return b == std::byte{0}; });
    std::byte *first = TextureAccess::row(target, 0);
    const bool packed = target.height() < 2 || TextureAccess::row(target, 1) == first + rowBytes;
    if (zero && packed) {
        // One call for the whole image: large clears then stream past the caches instead of
        // reading every line before writing it.
        std::memset(first, 0, rowBytes * static_cast<std::size_t>(target.height()));
        return;
    }
    if (zero) {
        std::memset(first, 0, rowBytes);
    } else {
        for (int x = 0; x < target.width(); ++x) {
            std::memcpy(first + size * static_cast<std::size_t>(x), pattern, size);
        }
    }
    for (int y = 1; y < target.height(); ++y) {
        std::byte *row = TextureAccess::row(target, y);
        if (zero) {
            std::memset(row, 0, rowBytes);
        } else {
            std::memcpy(row, first, rowBytes);
        }
    }
}

void draw(Texture &target, const DrawCall &call) {
    const auto &vertices = call.vertices;
    const double width = target.width();
    const double height = target.height();
    const auto window = [&](const ClipVertex &c) {
        return WindowVertex{(static_cast<double>(c.x) + 1.0) * 0.5 * width,
                            (1.0 - static_cast<double>(c.y)) * 0.5 * height, c.u, c.v};
    };
    const auto shade = [&](const Span &span) {
        shadeSpan(target, *call.texture, call.pipeline->colorAttachment(), span);
    };
    const bool strip = call.primitive == PrimitiveType::triangleStrip;
    for (std::size_t i = 0; i + 2 < vertices.size(); i += strip ? 1 : 3) {
        rasteriseTriangle({window(vertices[i]), window(vertices[i + 1]), window(vertices[i + 2])},
                          target.width(), target.height(), shade);
    }
}

} // namespace platform::detail
