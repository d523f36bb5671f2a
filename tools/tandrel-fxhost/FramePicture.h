#pragma once

#include "platform/fxplug/FxImageTile.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tandrel::fxhost {

// The picture the editor shows under the effect: an opaque test pattern (colour bars over a
// grey ramp) onto which an effect's tile is composited, pre-multiplied over, and written as a
// PNG. One picture per thread: it is not shared.
class FramePicture {
public:
    FramePicture(int width, int height);

    // The test pattern with the tile over it, whatever the tile's pixel format and row order.
    // The tile covers the whole picture.
    void composite(const platform::FxImageTile &tile);

    // Writes the picture as an 8-bit RGB PNG. Fails with std::runtime_error.
    void writePNG(const std::filesystem::path &path) const;

    int width() const { return width_; }
    int height() const { return height_; }
    // Pixels as 0x00RRGGBB, top row first.
    const std::vector<uint32_t> &pixels() const { return pixels_; }

private:
    int width_;
    int height_;
    std::vector<uint32_t> pattern_;
    std::vector<uint32_t> pixels_;
};

} // namespace tandrel::fxhost
