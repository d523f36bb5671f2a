#pragma once

#include "platform/fxplug/FxRect.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/Surface.h"
#include "platform/gpu/Texture.h"

#include <cstdint>
#include <memory>

namespace platform {

// Which way an image's rows run in memory: with bottomLeft the first row is the picture's
// bottom, with topLeft its top. The raw values are the host's.
enum class FxImageOrigin : unsigned long { bottomLeft = 0, topLeft = 1 };

// One tile of an image a host hands to an effect: pixels in a surface that lives on the GPU
// with the given registry identifier, covering `tilePixelBounds` of an image that covers
// `imagePixelBounds`. The surface may be missing (a host that could not make one).
class FxImageTile {
public:
    FxImageTile(std::shared_ptr<Surface> ioSurface, uint64_t deviceRegistryID,
                FxRect tilePixelBounds, FxRect imagePixelBounds,
                FxImageOrigin imageOrigin = FxImageOrigin::bottomLeft)
        : ioSurface_(std::move(ioSurface)), deviceRegistryID_(deviceRegistryID),
          tilePixelBounds_(tilePixelBounds), imagePixelBounds_(imagePixelBounds),
          imageOrigin_(imageOrigin) {}

    const std::shared_ptr<Surface> &ioSurface() const { return ioSurface_; }
    uint64_t deviceRegistryID() const { return deviceRegistryID_; }
    FxRect tilePixelBounds() const { return tilePixelBounds_; }
    FxRect imagePixelBounds() const { return imagePixelBounds_; }
    FxImageOrigin imageOrigin() const { return imageOrigin_; }

    // A texture of the device over the tile's surface, shader-readable and drawable, in the
    // surface's format (8-bit BGRA or RGBA, half-float or float RGBA), so that drawing lands
    // in the host's memory. Nothing without a surface or when the device refuses it.
    std::shared_ptr<Texture> metalTextureForDevice(Device &device) const;

private:
    std::shared_ptr<Surface> ioSurface_;
    uint64_t deviceRegistryID_;
    FxRect tilePixelBounds_;
    FxRect imagePixelBounds_;
    FxImageOrigin imageOrigin_;
};

} // namespace platform
