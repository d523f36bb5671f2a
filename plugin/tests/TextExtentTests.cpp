#include "plugin/TextExtent.h"

#include "core/tests/HostileTexts.h"
#include "platform/gpu/Device.h"

#include <gtest/gtest.h>

#include <string>

namespace tandrel {
namespace {

using testing::repeatedText;

// The size a measure gives is the size of the texture the effect draws for an element's text:
// its cut of long texts, its wrap at the frame limit and its padding of 8 included, on texts
// asked one after another, again, and back.
TEST(TextExtent, IsTheSizeOfTheTextureTheEffectDraws) {
    TextExtent extent;
    TextRenderer renderer;
    const std::shared_ptr<platform::Device> device = platform::Device::make({9, "effect"});
    const Uuid element = Uuid::random();
    const std::string texts[] = {
        "TC: 01:00:00:00",
        "Two\nlines",
        repeatedText("Watermark ", 30), // wraps at the frame limit
        repeatedText("x", 301),         // cut after 300 characters
        repeatedText("e\xCC\x81", 450), // cut by user-perceived characters
        "TC: 01:00:00:00",
    };
    for (const double size : {12.0, 36.0, 72.0}) {
        for (const std::string &text : texts) {
            SCOPED_TRACE(text.substr(0, 20) + " at " + std::to_string(size));
            TextRenderer::DisplayParams params;
            params.fontSize = size;
            params.padding = 8;
            params.showBackground = true;
            const auto drawn = renderer.render(text, element, params, *device);
            ASSERT_TRUE(drawn);
            EXPECT_EQ(extent.of(text, size), (TextExtent::Size{drawn->width, drawn->height}));
        }
    }
    // Where the effect draws nothing, there is no size.
    EXPECT_EQ(extent.of("", 24), std::nullopt);
    EXPECT_EQ(extent.of("x", 0), std::nullopt);
    EXPECT_EQ(extent.of("x", 5000), std::nullopt);
}

} // namespace
} // namespace tandrel
