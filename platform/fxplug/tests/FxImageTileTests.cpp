#include "platform/fxplug/FxImageTile.h"
#include "platform/fxplug/FxProjectAPI_v2.h"
#include "platform/fxplug/FxTimingAPI_v4.h"
#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/CommandQueue.h"
#include "platform/gpu/RenderCommandEncoder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace platform {
namespace {

TEST(FxImageTile, TexturesOverTheSurfaceInItsFormat) {
    auto device = Device::make({9, "test"});
    const struct {
        uint32_t surfaceFormat;
        PixelFormat textureFormat;
    } cases[] = {
        {Surface::formatBGRA, PixelFormat::bgra8Unorm},
        {Surface::formatRGBA, PixelFormat::rgba8Unorm},
        {Surface::formatRGhA, PixelFormat::rgba16Float},
        {Surface::formatRGfA, PixelFormat::rgba32Float},
    };
    for (const auto &c : cases) {
        const FxImageTile tile(Surface::create(4, 2, c.surfaceFormat), 9, {0, 0, 4, 2},
                               {0, 0, 4, 2}, FxImageOrigin::topLeft);
        const auto texture = tile.metalTextureForDevice(*device);
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->pixelFormat(), c.textureFormat);
        EXPECT_EQ(texture->iosurface(), tile.ioSurface());
        EXPECT_EQ(texture->width(), 4);
        EXPECT_EQ(texture->height(), 2);
    }

    // Drawing into the texture lands in the host's memory.
    const FxImageTile tile(Surface::create(2, 2, Surface::formatBGRA), 9, {0, 0, 2, 2},
                           {0, 0, 2, 2});
    RenderPassDescriptor pass;
    pass.colorAttachments[0] = {tile.metalTextureForDevice(*device), LoadAction::clear,
                                StoreAction::store, ClearColor{0, 0, 1, 1}};
    auto buffer = device->newCommandQueue()->commandBuffer();
    buffer->renderCommandEncoder(pass)->endEncoding();
    buffer->commit();
    const std::uint8_t opaqueBlue[4] = {255, 0, 0, 255};
    EXPECT_EQ(std::memcmp(tile.ioSurface()->baseAddress(), opaqueBlue, 4), 0);

    EXPECT_FALSE(FxImageTile(nullptr, 9, {}, {}).metalTextureForDevice(*device));
}

struct Timing : FxTimingAPI_v4 {
    unsigned int timelineFpsNumeratorForEffect(const FxTileableEffect *) override { return 25; }
    unsigned int timelineFpsDenominatorForEffect(const FxTileableEffect *) override { return 1; }
    void timelineTime(CMTime *timelineTime, CMTime fromInputTime) override {
        *timelineTime = fromInputTime;
    }
};

// Gives its timing interface under every name.
struct Manager : PROAPIAccessing {
    Timing timing;
    FxAPIObject *apiForProtocol(std::string_view) override { return &timing; }
};

TEST(PROAPIAccessing, GivesOnlyInterfacesOfTheKindAskedFor) {
    Manager manager;
    EXPECT_EQ(apiFor<FxTimingAPI_v4>(manager), &manager.timing);
    EXPECT_EQ(apiFor<FxProjectAPI_v2>(manager), nullptr);
}

} // namespace
} // namespace platform
