#include "platform/gpu/Surface.h"

#include <new>

namespace platform {

std::size_t Surface::bytesPerElement(std::uint32_t pixelFormat) {
    switch (pixelFormat) {
    case formatBGRA:
    case formatRGBA:
        return 4;
    case formatRGhA:
        return 8;
    case formatRGfA:
        return 16;
    default:
        return 0;
    }
}

std::shared_ptr<Surface> Surface::create(int width, int height, std::uint32_t pixelFormat) {
    const std::size_t element = bytesPerElement(pixelFormat);
    if (element == 0 || width < 1 || height < 1 || width > 65535 || height > 65535) {
        return nullptr;
    }
    const std::size_t size = element * static_cast<std::size_t>(width) * height;
    std::unique_ptr<std::byte[]> bytes(new (std::nothrow) std::byte[size]());
    if (!bytes) {
        return nullptr;
    }
    return std::shared_ptr<Surface>(new Surface(width, height, pixelFormat, std::move(bytes)));
}

Surface::Surface(int width, int height, std::uint32_t pixelFormat,
                 std::unique_ptr<std::byte[]> bytes)
    : width_(width), height_(height), pixelFormat_(pixelFormat),
      bytesPerRow_(bytesPerElement(pixelFormat) * static_cast<std::size_t>(width)),
      bytes_(std::move(bytes)) {}

} // namespace platform
