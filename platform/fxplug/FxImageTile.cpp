#include "platform/fxplug/FxImageTile.h"

namespace platform {

namespace {

PixelFormat textureFormat(uint32_t surfaceFormat) {
    switch (surfaceFormat) {
    case Surface::formatBGRA:
        return PixelFormat::bgra8Unorm;
    case Surface::formatRGBA:
        return PixelFormat::rgba8Unorm;
    case Surface::formatRGhA:
        return PixelFormat::rgba16Float;
    case Surface::formatRGfA:
        return PixelFormat::rgba32Float;
    default:
        return PixelFormat::invalid;
    }
}

} // namespace

std::shared_ptr<Texture> FxImageTile::metalTextureForDevice(Device &device) const {
    if (!ioSurface_) {
        return nullptr;
    }
    const TextureDescriptor descriptor{textureFormat(ioSurface_->pixelFormat()),
                                       ioSurface_->width(), ioSurface_->height(), 1,
                                       TextureUsage::shaderRead | TextureUsage::renderTarget};
    return device.newTexture(descriptor, ioSurface_);
}

} // namespace platform
