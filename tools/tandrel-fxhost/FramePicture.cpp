#include "tools/tandrel-fxhost/FramePicture.h"

#include "platform/gpu/HalfFloat.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace tandrel::fxhost {

namespace {

using platform::Surface;

struct Premultiplied {
    float r;
    float g;
    float b;
    float a;
};

uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           static_cast<uint32_t>(b);
}

// Seven 75 % bars over two thirds of the height, a grey ramp with a grid below.
std::vector<uint32_t> testPattern(int width, int height) {
    static constexpr std::array<uint32_t, 7> bars{0xBFBFBF, 0xBFBF00, 0x00BFBF, 0x00BF00,
                                                  0xBF00BF, 0xBF0000, 0x0000BF};
    std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height);
    const int barsHeight = height * 2 / 3;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t colour = 0;
            if (y < barsHeight) {
                colour = bars[static_cast<std::size_t>(x) * bars.size() / width];
            } else {
                const int level = 16 + x * 219 / std::max(1, width - 1);
                const bool grid = x % 64 == 0 || (y - barsHeight) % 64 == 0;
                colour = grid ? rgb(235, 235, 235) : rgb(level, level, level);
            }
            pixels[static_cast<std::size_t>(y) * width + x] = colour;
        }
    }
    return pixels;
}

float channel(uint32_t colour, int shift) {
    return static_cast<float>((colour >> shift) & 0xFF) / 255.0f;
}

int toByte(float value) {
    return static_cast<int>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

Premultiplied loadPixel(uint32_t format, const std::byte *pixel) {
    switch (format) {
    case Surface::formatBGRA:
    case Surface::formatRGBA: {
        uint8_t c[4];
        std::memcpy(c, pixel, 4);
        const bool bgra = format == Surface::formatBGRA;
        return {c[bgra ? 2 : 0] / 255.0f, c[1] / 255.0f, c[bgra ? 0 : 2] / 255.0f, c[3] / 255.0f};
    }
    case Surface::formatRGhA: {
        uint16_t h[4];
        std::memcpy(h, pixel, 8);
        return {platform::halfToFloat(h[0]), platform::halfToFloat(h[1]),
                platform::halfToFloat(h[2]), platform::halfToFloat(h[3])};
    }
    case Surface::formatRGfA: {
        Premultiplied p;
        std::memcpy(&p, pixel, 16);
        return p;
    }
    default:
        return {0, 0, 0, 0};
    }
}

} // namespace

FramePicture::FramePicture(int width, int height)
    : width_(width), height_(height), pattern_(testPattern(width, height)), pixels_(pattern_) {}

void FramePicture::composite(const platform::FxImageTile &tile) {
    pixels_ = pattern_;
    const auto &surface = tile.ioSurface();
    if (!surface) {
        return;
    }
    const int width = std::min(width_, surface->width());
    const int height = std::min(height_, surface->height());
    const std::size_t pixelSize = surface->bytesPerElement();
    const bool bottomUp = tile.imageOrigin() == platform::FxImageOrigin::bottomLeft;
    for (int row = 0; row < height; ++row) {
        // Rows of a bottom-left tile run from the picture's bottom up.
        const int y = bottomUp ? surface->height() - 1 - row : row;
        if (y >= height_) {
            continue;
        }
        const std::byte *source = surface->baseAddress() + surface->bytesPerRow() * row;
        uint32_t *target = pixels_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = 0; x < width; ++x) {
            const Premultiplied over = loadPixel(surface->pixelFormat(), source + pixelSize * x);
            if (over.a <= 0 && over.r <= 0 && over.g <= 0 && over.b <= 0) {
                continue;
            }
            const float keep = 1.0f - std::clamp(over.a, 0.0f, 1.0f);
            const uint32_t under = target[x];
            target[x] = rgb(toByte(over.r + channel(under, 16) * keep),
                            toByte(over.g + channel(under, 8) * keep),
                            toByte(over.b + channel(under, 0) * keep));
        }
    }
}

void FramePicture::writePNG(const std::filesystem::path &path) const {
    const std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_), cairo_surface_destroy);
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot make a picture of " + std::to_string(width_) + "x" +
                                 std::to_string(height_));
    }
    cairo_surface_flush(image.get());
    unsigned char *data = cairo_image_surface_get_data(image.get());
    const int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < height_; ++y) {
        // RGB24 is one native-endian 32-bit word per pixel, the top byte unused.
        std::memcpy(data + static_cast<std::size_t>(stride) * y,
                    pixels_.data() + static_cast<std::size_t>(y) * width_,
                    sizeof(uint32_t) * static_cast<std::size_t>(width_));
    }
    cairo_surface_mark_dirty(image.get());
    const cairo_status_t status = cairo_surface_write_to_png(image.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path.string() + ": " +
                                 cairo_status_to_string(status));
    }
}

} // namespace tandrel::fxhost
