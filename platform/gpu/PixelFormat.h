#pragma once

#include <cstddef>

namespace platform {

// The colour formats of textures. Unorm formats hold 8 bits a channel; float formats hold
// half (16-bit) or single (32-bit) floats a channel. Colours are pre-multiplied by alpha
// wherever they are blended.
enum class PixelFormat { invalid, rgba8Unorm, bgra8Unorm, rgba16Float, rgba32Float };

constexpr std::size_t bytesPerPixel(PixelFormat format) {
    switch (format) {
    case PixelFormat::rgba8Unorm:
    case PixelFormat::bgra8Unorm:
        return 4;
    case PixelFormat::rgba16Float:
        return 8;
    case PixelFormat::rgba32Float:
        return 16;
    case PixelFormat::invalid:
        break;
    }
    return 0;
}

// The formats a render pass can draw into.
constexpr bool isColorRenderable(PixelFormat format) {
    return format == PixelFormat::bgra8Unorm || format == PixelFormat::rgba16Float ||
           format == PixelFormat::rgba32Float;
}

} // namespace platform
