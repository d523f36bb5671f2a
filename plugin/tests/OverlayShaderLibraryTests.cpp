#include "platform/gpu/Device.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(OverlayShaderLibrary, NamesTheOverlaysTwoFunctions) {
    platform::Error error;
    const auto library = platform::Library::fromBundle(TANDREL_PLUGIN_SOURCE_DIR, &error);
    ASSERT_TRUE(library) << error.description;
    platform::RenderPipelineDescriptor descriptor;
    descriptor.vertexFunction = library->newFunction("tandrelVertexShader");
    descriptor.fragmentFunction = library->newFunction("tandrelFragmentShader");
    descriptor.colorAttachments[0].pixelFormat = platform::PixelFormat::rgba16Float;
    EXPECT_TRUE(platform::RenderPipelineState::make(descriptor, &error)) << error.description;
}

} // namespace
} // namespace tandrel
