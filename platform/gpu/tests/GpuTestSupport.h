#pragma once

#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/CommandQueue.h"
#include "platform/gpu/Device.h"
#include "platform/gpu/HalfFloat.h"
#include "platform/gpu/RenderCommandEncoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace platform::testing {

using Rgba8 = std::array<std::uint8_t, 4>;
using Rgba = std::array<float, 4>;

// A device with a library of one vertex and one fragment function, and helpers that draw a
// texture as one quad the way the overlay does.
struct GpuFixture : ::testing::Test {
    std::shared_ptr<Device> device = Device::make({42, "test"});
    std::shared_ptr<Library> library = device->newLibrary("vertex quadVertex\n"
                                                          "fragment quadFragment\n");

    std::shared_ptr<RenderPipelineState> pipeline(PixelFormat format, bool blending = true) {
        RenderPipelineDescriptor descriptor;
        descriptor.vertexFunction = library->newFunction("quadVertex");
        descriptor.fragmentFunction = library->newFunction("quadFragment");
        auto &attachment = descriptor.colorAttachments[0];
        attachment.pixelFormat = format;
        attachment.blendingEnabled = blending;
        attachment.destinationRGBBlendFactor = BlendFactor::oneMinusSourceAlpha;
        attachment.destinationAlphaBlendFactor = BlendFactor::oneMinusSourceAlpha;
        return device->newRenderPipelineState(descriptor);
    }

    std::shared_ptr<Texture> target(PixelFormat format, int width, int height) {
        TextureDescriptor descriptor{format, width, height, 1,
                                     TextureUsage::renderTarget | TextureUsage::shaderRead};
        return device->newTexture(descriptor);
    }

    // Texels in rows, first row first.
    std::shared_ptr<Texture> image(int width, int height, const std::vector<Rgba8> &texels) {
        auto texture = device->newTexture(
            TextureDescriptor::texture2D(PixelFormat::rgba8Unorm, width, height, false));
        EXPECT_TRUE(texture->replaceRegion(Region::make2D(0, 0, width, height), 0, texels.data(),
                                           4 * static_cast<std::size_t>(width)));
        return texture;
    }

    // One pass: clears (when asked) and draws `source` over the window rectangle left…left+w,
    // top…top+h (pixels, y down from row 0). `upsideDown` samples the texture's last row at the
    // top, as for a target whose rows grow upward.
    std::shared_ptr<CommandBuffer> drawQuad(const std::shared_ptr<Texture> &into,
                                            const std::shared_ptr<Texture> &source, double left,
                                            double top, double w, double h, bool upsideDown = false,
                                            LoadAction load = LoadAction::load,
                                            ClearColor clear = {0, 0, 0, 0}) {
        const float width = static_cast<float>(into->width());
        const float height = static_cast<float>(into->height());
        const float xL = static_cast<float>(2 * left / width - 1);
        const float xR = static_cast<float>(2 * (left + w) / width - 1);
        const float yTop = static_cast<float>(1 - 2 * top / height);
        const float yBottom = static_cast<float>(1 - 2 * (top + h) / height);
        const float vTop = upsideDown ? 1.0f : 0.0f;
        const float vBottom = upsideDown ? 0.0f : 1.0f;
        const float quad[16] = {xR, yBottom, 1, vBottom, xL, yBottom, 0, vBottom,
                                xR, yTop,    1, vTop,    xL, yTop,    0, vTop};
        auto buffer = device->newCommandQueue()->commandBuffer();
        RenderPassDescriptor pass;
        pass.colorAttachments[0] = {into, load, StoreAction::store, clear};
        auto encoder = buffer->renderCommandEncoder(pass);
        EXPECT_TRUE(encoder);
        encoder->setRenderPipelineState(pipeline(into->pixelFormat()));
        encoder->setVertexBytes(quad, sizeof quad, 0);
        encoder->setFragmentTexture(source, 0);
        encoder->drawPrimitives(PrimitiveType::triangleStrip, 0, 4);
        encoder->endEncoding();
        buffer->commit();
        buffer->waitUntilScheduled();
        return buffer;
    }

    void clear(const std::shared_ptr<Texture> &into, ClearColor color) {
        auto buffer = device->newCommandQueue()->commandBuffer();
        RenderPassDescriptor pass;
        pass.colorAttachments[0] = {into, LoadAction::clear, StoreAction::store, color};
        buffer->renderCommandEncoder(pass)->endEncoding();
        buffer->commit();
    }
};

// A pixel of any format as RGBA floats; unorm channels as their 0…255 step numbers.
inline Rgba pixel(const Texture &texture, int x, int y) {
    std::byte bytes[16];
    EXPECT_TRUE(texture.getBytes(bytes, sizeof bytes, Region::make2D(x, y, 1, 1), 0));
    switch (texture.pixelFormat()) {
    case PixelFormat::rgba8Unorm:
    case PixelFormat::bgra8Unorm: {
        std::uint8_t c[4];
        std::memcpy(c, bytes, 4);
        const bool bgra = texture.pixelFormat() == PixelFormat::bgra8Unorm;
        return {float(c[bgra ? 2 : 0]), float(c[1]), float(c[bgra ? 0 : 2]), float(c[3])};
    }
    case PixelFormat::rgba16Float: {
        std::uint16_t h[4];
        std::memcpy(h, bytes, 8);
        return {halfToFloat(h[0]), halfToFloat(h[1]), halfToFloat(h[2]), halfToFloat(h[3])};
    }
    case PixelFormat::rgba32Float: {
        Rgba c;
        std::memcpy(c.data(), bytes, 16);
        return c;
    }
    case PixelFormat::invalid:
        break;
    }
    return {};
}

} // namespace platform::testing
