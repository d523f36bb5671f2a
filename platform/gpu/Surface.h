#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

// A four-character pixel-format code, as surfaces name their formats ("BGRA" and so on).
constexpr std::uint32_t fourCharCode(std::string_view code) {
    std::uint32_t value = 0;
    for (char c : code.substr(0, 4)) {
        value = (value << 8) | static_cast<unsigned char>(c);
    }
    return value;
}

// Pixel memory shared between a host and the GPU: the image tiles a host hands to an effect
// live in surfaces, and a texture can be made over one so that drawing lands in the host's
// memory without a copy. Rows are tightly packed, the first row first.
class Surface {
public:
    static constexpr std::uint32_t formatBGRA = fourCharCode("BGRA"); // 8-bit BGRA
    static constexpr std::uint32_t formatRGBA = fourCharCode("RGBA"); // 8-bit RGBA
    static constexpr std::uint32_t formatRGhA = fourCharCode("RGhA"); // half-float RGBA
    static constexpr std::uint32_t formatRGfA = fourCharCode("RGfA"); // float RGBA

    // Zero-filled; nothing for an unknown format, a size outside 1…65535 or memory refused.
    static std::shared_ptr<Surface> create(int width, int height, std::uint32_t pixelFormat);

    // Bytes a pixel of the format takes; 0 for an unknown format.
    static std::size_t bytesPerElement(std::uint32_t pixelFormat);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t pixelFormat() const { return pixelFormat_; }
    std::size_t bytesPerElement() const { return bytesPerElement(pixelFormat_); }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    std::byte *baseAddress() { return bytes_.get(); }
    const std::byte *baseAddress() const { return bytes_.get(); }

private:
    Surface(int width, int height, std::uint32_t pixelFormat, std::unique_ptr<std::byte[]> bytes);

    int width_;
    int height_;
    std::uint32_t pixelFormat_;
    std::size_t bytesPerRow_;
    std::unique_ptr<std::byte[]> bytes_;
};

} // namespace platform
