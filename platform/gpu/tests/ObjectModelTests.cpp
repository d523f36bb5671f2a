#include "GpuTestSupport.h"

#include "platform/gpu/Surface.h"

#include <cstdlib>
#include <fstream>

namespace platform::testing {
namespace {

std::filesystem::path freshFolder(const char *name) {
    const char *root = std::getenv("TEST_ARTIFACT_DIR");
    auto folder = std::filesystem::path(root ? root : "/tmp") / "gpu" / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST_F(GpuFixture, LibrariesNameTheirFunctions) {
    const auto bundle = freshFolder("bundle");
    Error error;
    EXPECT_FALSE(device->newDefaultLibrary(bundle, &error));
    EXPECT_NE(error.description.find("no library"), std::string::npos);

    std::ofstream(bundle / Library::defaultFileName) << "# overlay\n\nvertex  passVertex \r\n"
                                                        "fragment sampleText\n";
    auto loaded = device->newDefaultLibrary(bundle);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->functionNames(), (std::vector<std::string>{"passVertex", "sampleText"}));
    EXPECT_EQ(loaded->newFunction("sampleText")->functionType(), FunctionType::fragment);
    EXPECT_FALSE(loaded->newFunction("missing"));

    for (const char *bad :
         {"vertex", "geometry g", "vertex a b", "vertex 1a", "vertex a\nfragment a"}) {
        EXPECT_FALSE(device->newLibrary(bad)) << bad;
    }
}

TEST_F(GpuFixture, PipelinesNeedBothStagesAndADrawableFormat) {
    RenderPipelineDescriptor descriptor;
    descriptor.vertexFunction = library->newFunction("quadVertex");
    descriptor.fragmentFunction = library->newFunction("quadFragment");
    descriptor.colorAttachments[0].pixelFormat = PixelFormat::rgba16Float;
    EXPECT_TRUE(device->newRenderPipelineState(descriptor));

    struct Case {
        const char *vertex;
        const char *fragment;
        PixelFormat format;
    };
    const Case cases[] = {
        {"missing", "quadFragment", PixelFormat::bgra8Unorm},
        {"quadVertex", "missing", PixelFormat::bgra8Unorm},
        {"quadFragment", "quadVertex", PixelFormat::bgra8Unorm},
        {"quadVertex", "quadFragment", PixelFormat::rgba8Unorm},
        {"quadVertex", "quadFragment", PixelFormat::invalid},
    };
    for (const Case &c : cases) {
        descriptor.vertexFunction = library->newFunction(c.vertex);
        descriptor.fragmentFunction = library->newFunction(c.fragment);
        descriptor.colorAttachments[0].pixelFormat = c.format;
        Error error;
        EXPECT_FALSE(device->newRenderPipelineState(descriptor, &error)) << c.vertex;
        EXPECT_EQ(error.domain, RenderPipelineState::errorDomain);
        EXPECT_FALSE(error.description.empty());
    }
}

TEST_F(GpuFixture, FaultyCommandsAreLeftOutAndReported) {
    auto texture = target(PixelFormat::bgra8Unorm, 4, 4);
    const auto source = image(1, 1, {{255, 255, 255, 255}});
    const float quad[16] = {1, -1, 1, 1, -1, -1, 0, 1, 1, 1, 1, 0, -1, 1, 0, 0};
    RenderPassDescriptor pass;
    pass.colorAttachments[0] = {texture, LoadAction::clear, StoreAction::store, {0, 0, 0, 0}};

    auto buffer = device->newCommandQueue()->commandBuffer();
    buffer->enqueue();
    EXPECT_EQ(buffer->status(), CommandBuffer::Status::enqueued);
    auto encoder = buffer->renderCommandEncoder(pass);
    EXPECT_FALSE(buffer->renderCommandEncoder(pass)); // one open encoder at a time
    encoder->setRenderPipelineState(pipeline(PixelFormat::rgba16Float)); // wrong format
    encoder->setVertexBytes(quad, sizeof quad, 0);
    encoder->setFragmentTexture(source, 0);
    encoder->drawPrimitives(PrimitiveType::triangleStrip, 0, 4);
    encoder->setRenderPipelineState(pipeline(PixelFormat::bgra8Unorm));
    encoder->drawPrimitives(PrimitiveType::triangleStrip, 1, 4); // beyond the vertices
    encoder->endEncoding();
    buffer->commit();
    EXPECT_EQ(buffer->status(), CommandBuffer::Status::error);
    ASSERT_TRUE(buffer->error());
    EXPECT_NE(buffer->error()->description.find("pixel format"), std::string::npos);
    EXPECT_EQ(pixel(*texture, 2, 2), (Rgba{0, 0, 0, 0})); // the clear still ran
    EXPECT_FALSE(buffer->renderCommandEncoder(pass));     // committed

    // Targets must be drawable and marked for rendering.
    pass.colorAttachments[0].texture = source;
    EXPECT_FALSE(device->newCommandQueue()->commandBuffer()->renderCommandEncoder(pass));
    pass.colorAttachments[0].texture = nullptr;
    EXPECT_FALSE(device->newCommandQueue()->commandBuffer()->renderCommandEncoder(pass));
}

TEST(GpuDevice, TexturesQueuesAndAllocations) {
    auto device = Device::make({9, "small", 2, 64});
    EXPECT_TRUE(device->newCommandQueue());
    EXPECT_TRUE(device->newCommandQueue());
    EXPECT_FALSE(device->newCommandQueue());

    EXPECT_EQ(device->currentAllocatedSize(), 0u);
    auto texture =
        device->newTexture(TextureDescriptor::texture2D(PixelFormat::rgba16Float, 64, 3, false));
    ASSERT_TRUE(texture);
    EXPECT_EQ(device->currentAllocatedSize(), 64u * 3 * 8);
    texture.reset();
    EXPECT_EQ(device->currentAllocatedSize(), 0u);

    for (auto descriptor : {TextureDescriptor::texture2D(PixelFormat::rgba8Unorm, 65, 1, false),
                            TextureDescriptor::texture2D(PixelFormat::rgba8Unorm, 0, 1, false),
                            TextureDescriptor::texture2D(PixelFormat::rgba8Unorm, 4, 4, true),
                            TextureDescriptor::texture2D(PixelFormat::invalid, 4, 4, false)}) {
        EXPECT_FALSE(device->newTexture(descriptor));
    }

    auto small =
        device->newTexture(TextureDescriptor::texture2D(PixelFormat::rgba8Unorm, 4, 2, false));
    const std::uint8_t bytes[4 * 4 * 2] = {1, 2, 3, 4};
    EXPECT_FALSE(small->replaceRegion(Region::make2D(1, 0, 4, 1), 0, bytes, 16)); // overhangs
    EXPECT_FALSE(small->replaceRegion(Region::make2D(0, 0, 4, 1), 1, bytes, 16)); // no level 1
    EXPECT_FALSE(small->replaceRegion(Region::make2D(0, 0, 4, 1), 0, bytes, 12)); // short rows
    EXPECT_FALSE(small->replaceRegion(Region::make2D(-1, 0, 1, 1), 0, bytes, 4));
    EXPECT_TRUE(small->replaceRegion(Region::make2D(3, 1, 1, 1), 0, bytes, 4));
    std::uint8_t back[4] = {};
    EXPECT_TRUE(small->getBytes(back, 4, Region::make2D(3, 1, 1, 1), 0));
    EXPECT_EQ(back[3], 4);
}

TEST_F(GpuFixture, TexturesOverSurfacesDrawIntoTheSurface) {
    auto surface = Surface::create(6, 4, Surface::formatRGhA);
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->bytesPerRow(), 48u);
    EXPECT_FALSE(Surface::create(6, 4, fourCharCode("l10r")));
    EXPECT_FALSE(Surface::create(0, 4, Surface::formatBGRA));

    TextureDescriptor descriptor{PixelFormat::rgba16Float, 6, 4, 1,
                                 TextureUsage::renderTarget | TextureUsage::shaderRead};
    EXPECT_FALSE(device->newTexture({PixelFormat::bgra8Unorm, 6, 4, 1, descriptor.usage}, surface));
    EXPECT_FALSE(
        device->newTexture({PixelFormat::rgba16Float, 7, 4, 1, descriptor.usage}, surface));
    auto texture = device->newTexture(descriptor, surface);
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->iosurface(), surface);
    EXPECT_EQ(device->currentAllocatedSize(), 0u);

    clear(texture, {0, 0, 0, 1});
    drawQuad(texture, image(1, 1, {{255, 0, 0, 255}}), 5, 3, 1, 1);
    std::uint16_t last[4];
    std::memcpy(last, surface->baseAddress() + 3 * surface->bytesPerRow() + 5 * 8, 8);
    EXPECT_EQ(last[0], floatToHalf(1.0f));
    EXPECT_EQ(last[1], floatToHalf(0.0f));
    std::uint16_t first[4];
    std::memcpy(first, surface->baseAddress(), 8);
    EXPECT_EQ(first[0], floatToHalf(0.0f));
    EXPECT_EQ(first[3], floatToHalf(1.0f));
}

TEST(GpuDevice, TheMachinesDevicesCanBeReplaced) {
    const auto original = copyAllDevices();
    ASSERT_EQ(original.size(), 1u);
    EXPECT_EQ(original[0]->registryID(), systemDeviceRegistryID);
    EXPECT_EQ(createSystemDefaultDevice(), original[0]);

    setSystemDevices({Device::make({5, "a"}), Device::make({6, "b"})});
    EXPECT_EQ(copyAllDevices()[1]->registryID(), 6u);
    setSystemDevices({});
    EXPECT_FALSE(createSystemDefaultDevice());
    setSystemDevices(original);
}

} // namespace
} // namespace platform::testing
