#include "platform/gpu/Texture.h"

#include "platform/gpu/Surface.h"

#include <cstring>

namespace platform {

Texture::Texture(const TextureDescriptor &descriptor, std::unique_ptr<std::byte[]> storage,
                 AllocationCounter counter)
    : width_(descriptor.width), height_(descriptor.height), pixelFormat_(descriptor.pixelFormat),
      usage_(descriptor.usage), storage_(std::move(storage)), data_(storage_.get()),
      bytesPerRow_(bytesPerPixel(pixelFormat_) * static_cast<std::size_t>(width_)),
      counter_(std::move(counter)) {
    *counter_ += bytesPerRow_ * static_cast<std::size_t>(height_);
}

Texture::Texture(const TextureDescriptor &descriptor, std::shared_ptr<Surface> surface)
    : width_(descriptor.width), height_(descriptor.height), pixelFormat_(descriptor.pixelFormat),
      usage_(descriptor.usage), surface_(std::move(surface)), data_(surface_->baseAddress()),
      bytesPerRow_(surface_->bytesPerRow()) {}

Texture::~Texture() {
    if (counter_) {
        *counter_ -= bytesPerRow_ * static_cast<std::size_t>(height_);
    }
}

bool Texture::regionFits(const Region &region, int mipmapLevel, std::size_t bytesPerRow) const {
    const Origin &o = region.origin;
    const Size &s = region.size;
    return mipmapLevel == 0 && o.z == 0 && s.depth == 1 && o.x >= 0 && o.y >= 0 && s.width >= 0 &&
           s.height >= 0 && s.width <= width_ - o.x && s.height <= height_ - o.y &&
           bytesPerRow >= bytesPerPixel(pixelFormat_) * static_cast<std::size_t>(s.width);
}

bool Texture::replaceRegion(const Region &region, int mipmapLevel, const void *bytes,
                            std::size_t bytesPerRow) {
    if (!regionFits(region, mipmapLevel, bytesPerRow) || bytes == nullptr) {
        return false;
    }
    const std::size_t pixel = bytesPerPixel(pixelFormat_);
    const std::size_t length = pixel * static_cast<std::size_t>(region.size.width);
    const auto *source = static_cast<const std::byte *>(bytes);
    for (int y = 0; y < region.size.height; ++y) {
        std::memcpy(row(region.origin.y + y) + pixel * static_cast<std::size_t>(region.origin.x),
                    source + bytesPerRow * static_cast<std::size_t>(y), length);
    }
    return true;
}

bool Texture::getBytes(void *bytes, std::size_t bytesPerRow, const Region &region,
                       int mipmapLevel) const {
    if (!regionFits(region, mipmapLevel, bytesPerRow) || bytes == nullptr) {
        return false;
    }
    const std::size_t pixel = bytesPerPixel(pixelFormat_);
    const std::size_t length = pixel * static_cast<std::size_t>(region.size.width);
    auto *target = static_cast<std::byte *>(bytes);
    for (int y = 0; y < region.size.height; ++y) {
        std::memcpy(target + bytesPerRow * static_cast<std::size_t>(y),
                    row(region.origin.y + y) + pixel * static_cast<std::size_t>(region.origin.x),
                    length);
    }
    return true;
}

} // namespace platform
