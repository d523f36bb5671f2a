#pragma once

#include "platform/gpu/PixelFormat.h"

#include <atomic>
#include <cstddef>
#include <memory>

namespace platform {

class Surface;

namespace detail {
struct TextureAccess;
}

// How a texture may be used; a set of flags.
enum class TextureUsage : unsigned {
    unknown = 0,
    shaderRead = 1,
    shaderWrite = 2,
    renderTarget = 4
};

constexpr TextureUsage operator|(TextureUsage a, TextureUsage b) {
    return static_cast<TextureUsage>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

constexpr bool includes(TextureUsage set, TextureUsage flag) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) ==
           static_cast<unsigned>(flag);
}

struct TextureDescriptor {
    PixelFormat pixelFormat = PixelFormat::rgba8Unorm;
    int width = 1;
    int height = 1;
    int mipmapLevelCount = 1; // only 1 is supported
    TextureUsage usage = TextureUsage::shaderRead;

    static TextureDescriptor texture2D(PixelFormat format, int width, int height, bool mipmapped) {
        return {format, width, height, mipmapped ? 2 : 1, TextureUsage::shaderRead};
    }
};

struct Origin {
    int x = 0;
    int y = 0;
    int z = 0;
};

struct Size {
    int width = 0;
    int height = 0;
    int depth = 1;
};

struct Region {
    Origin origin;
    Size size;

    static constexpr Region make2D(int x, int y, int width, int height) {
        return {{x, y, 0}, {width, height, 1}};
    }
};

// A 2D image in one of the pixel formats, made by a device. Row 0 is the first row in memory;
// a render pass maps it to the top of clip space (y = +1) and texture coordinate v = 0 reads it.
// Contents may be written and read by one thread at a time; a texture that is only read may be
// shared between threads.
class Texture {
public:
    ~Texture();
    Texture(const Texture &) = delete;
    Texture &operator=(const Texture &) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat pixelFormat() const { return pixelFormat_; }
    TextureUsage usage() const { return usage_; }
    // The surface the texture was made over, or null.
    const std::shared_ptr<Surface> &iosurface() const { return surface_; }

    // Copies pixels in from rows of `bytesPerRow` bytes. Only level 0 of a 2D texture exists;
    // a region outside the texture, another level or rows shorter than the region change
    // nothing and answer false.
    bool replaceRegion(const Region &region, int mipmapLevel, const void *bytes,
                       std::size_t bytesPerRow);
    // Copies pixels out, with the same rules.
    bool getBytes(void *bytes, std::size_t bytesPerRow, const Region &region,
                  int mipmapLevel) const;

private:
    friend class Device;
    friend struct detail::TextureAccess;

    using AllocationCounter = std::shared_ptr<std::atomic<std::size_t>>;

    Texture(const TextureDescriptor &descriptor, std::unique_ptr<std::byte[]> storage,
            AllocationCounter counter);
    Texture(const TextureDescriptor &descriptor, std::shared_ptr<Surface> surface);

    bool regionFits(const Region &region, int mipmapLevel, std::size_t bytesPerRow) const;
    std::byte *row(int y) const { return data_ + static_cast<std::size_t>(y) * bytesPerRow_; }

    int width_;
    int height_;
    PixelFormat pixelFormat_;
    TextureUsage usage_;
    std::unique_ptr<std::byte[]> storage_;
    std::shared_ptr<Surface> surface_;
    std::byte *data_;
    std::size_t bytesPerRow_;
    AllocationCounter counter_;
};

} // namespace platform
