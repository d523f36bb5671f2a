#include "GpuTestSupport.h"

#include <cmath>

namespace platform::testing {
namespace {

TEST_F(GpuFixture, ClearFillsTheTargetInEachFormat) {
    struct Case {
        PixelFormat format;
        Rgba expected;
    };
    const Case cases[] = {
        {PixelFormat::bgra8Unorm, {64, 128, 191, 255}}, // 0.25, 0.5, 0.75 rounded to steps
        {PixelFormat::rgba16Float, {0.25f, 0.5f, 0.75f, 1}},
        {PixelFormat::rgba32Float, {0.25f, 0.5f, 0.75f, 1}},
    };
    for (const Case &c : cases) {
        auto texture = target(c.format, 7, 3);
        clear(texture, {0.25, 0.5, 0.75, 1});
        for (auto [x, y] : {std::pair{0, 0}, {6, 0}, {3, 1}, {0, 2}, {6, 2}}) {
            EXPECT_EQ(pixel(*texture, x, y), c.expected) << int(c.format) << " " << x << "," << y;
        }
        clear(texture, {0, 0, 0, 0});
        EXPECT_EQ(pixel(*texture, 6, 2), (Rgba{0, 0, 0, 0}));
    }
}

TEST_F(GpuFixture, NothingHappensBeforeCommitAndLoadKeepsContents) {
    auto texture = target(PixelFormat::rgba32Float, 4, 4);
    clear(texture, {1, 0, 0, 1});

    auto buffer = device->newCommandQueue()->commandBuffer();
    RenderPassDescriptor pass;
    pass.colorAttachments[0] = {texture, LoadAction::clear, StoreAction::store, {0, 0, 0, 0}};
    buffer->renderCommandEncoder(pass)->endEncoding();
    EXPECT_EQ(pixel(*texture, 1, 1), (Rgba{1, 0, 0, 1})); // recorded, not committed

    drawQuad(texture, image(1, 1, {{0, 0, 0, 0}}), 0, 0, 4, 4, false, LoadAction::load);
    EXPECT_EQ(pixel(*texture, 1, 1), (Rgba{1, 0, 0, 1}));
    buffer->commit();
    EXPECT_EQ(buffer->status(), CommandBuffer::Status::completed);
    EXPECT_EQ(pixel(*texture, 1, 1), (Rgba{0, 0, 0, 0}));
}

// A 3 × 2 image whose texels are told apart by their red value, drawn 1:1 at whole and half
// pixel positions, inside the target and hanging over each of its edges.
TEST_F(GpuFixture, QuadCoversThePixelsWhoseCentresItContainsAndClipsAtEdges) {
    constexpr int w = 3;
    constexpr int h = 2;
    std::vector<Rgba8> texels;
    for (int i = 0; i < w * h; ++i) {
        texels.push_back({static_cast<std::uint8_t>(10 + i), 0, 0, 255});
    }
    const auto source = image(w, h, texels);
    struct Case {
        double left;
        double top;
    };
    const Case cases[] = {{4, 3},  {0, 0},   {-2, -1}, {8, 7},    {-1, 6},
                          {8, -1}, {4.5, 3}, {4, 2.5}, {-0.5, 0}, {8.5, 6.5}};
    for (bool upsideDown : {false, true}) {
        for (const Case &c : cases) {
            auto texture = target(PixelFormat::bgra8Unorm, 10, 8);
            drawQuad(texture, source, c.left, c.top, w, h, upsideDown, LoadAction::clear);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 10; ++x) {
                    const double cx = x + 0.5 - c.left;
                    const double cy = y + 0.5 - c.top;
                    float expected = 0;
                    if (cx >= 0 && cx < w && cy >= 0 && cy < h) {
                        const int row = static_cast<int>(cy);
                        expected =
                            float(10 + static_cast<int>(cx) + w * (upsideDown ? h - 1 - row : row));
                    }
                    ASSERT_EQ(pixel(*texture, x, y)[0], expected)
                        << "quad at " << c.left << "," << c.top << " pixel " << x << "," << y
                        << (upsideDown ? " upside down" : "");
                }
            }
        }
    }
}

// Half-transparent quads: a pixel blended twice would show a third value.
TEST_F(GpuFixture, SharedEdgesAreCoveredOnce) {
    const auto source = image(1, 1, {{64, 64, 64, 128}});
    auto texture = target(PixelFormat::bgra8Unorm, 64, 48);

    // Two quads meeting at x = 20.5, and a skewed quad whose diagonal is not axis-aligned.
    drawQuad(texture, source, 0, 0, 20.5, 10, false, LoadAction::clear);
    drawQuad(texture, source, 20.5, 0, 20, 10);
    const float skewed[16] = {0.9f, -0.8f, 1, 1, -0.3f, -0.95f, 0, 1,
                              0.6f, 0.7f,  1, 0, -0.7f, 0.2f,   0, 0};
    auto buffer = device->newCommandQueue()->commandBuffer();
    RenderPassDescriptor pass;
    pass.colorAttachments[0] = {texture, LoadAction::load, StoreAction::store, {}};
    auto encoder = buffer->renderCommandEncoder(pass);
    encoder->setRenderPipelineState(pipeline(PixelFormat::bgra8Unorm));
    encoder->setVertexBytes(skewed, sizeof skewed, 0);
    encoder->setFragmentTexture(source, 0);
    encoder->drawPrimitives(PrimitiveType::triangleStrip, 0, 4);
    encoder->endEncoding();
    buffer->commit();

    int covered = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const float value = pixel(*texture, x, y)[3];
            ASSERT_TRUE(value == 0 || value == 128) << x << "," << y << " alpha " << value;
            covered += value == 128 ? 1 : 0;
        }
    }
    EXPECT_GT(covered, 40 * 10);
}

// Every source value and alpha over a few destination values: the integer path for BGRA8
// must round s + d × (255 − a) / 255 to the nearest step, clamped to 255.
TEST_F(GpuFixture, PremultipliedOverInBGRA8RoundsToNearestStep) {
    std::vector<Rgba8> texels;
    for (int alpha = 0; alpha < 256; ++alpha) {
        for (int value = 0; value < 256; ++value) {
            const auto v = static_cast<std::uint8_t>(value);
            texels.push_back({v, v, v, static_cast<std::uint8_t>(alpha)});
        }
    }
    const auto source = image(256, 256, texels);
    auto texture = target(PixelFormat::bgra8Unorm, 256, 256);
    drawQuad(texture, source, 0, 0, 256, 256, false, LoadAction::clear,
             {0, 77.0 / 255, 128.0 / 255, 1});
    const float destination[4] = {0, 77, 128, 255};
    for (int alpha = 0; alpha < 256; ++alpha) {
        for (int value = 0; value < 256; ++value) {
            const Rgba got = pixel(*texture, value, alpha);
            for (int channel = 0; channel < 4; ++channel) {
                const double s = channel == 3 ? alpha : value;
                const double exact = s + destination[channel] * (255 - alpha) / 255.0;
                ASSERT_EQ(got[channel], std::min(255.0, std::round(exact)))
                    << "value " << value << " alpha " << alpha << " channel " << channel;
            }
        }
    }
}

TEST_F(GpuFixture, PremultipliedOverInFloatFormats) {
    struct Case {
        Rgba8 source;
        ClearColor destination;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, {0.2, 0.4, 0.6, 0.8}},      // transparent source keeps the destination
        {{255, 0, 51, 255}, {0.2, 0.4, 0.6, 0.8}}, // opaque source replaces it
        {{64, 32, 0, 128}, {0.2, 0.4, 0.6, 0.8}},
        {{200, 0, 0, 100}, {0.9, 0, 0, 1}},         // over-bright source stays unclamped
        {{10, 20, 30, 40}, {4.0, -0.5, 1e-5, 0.5}}, // values outside 0…1 blend as they are
        {{64, 32, 0, 128}, {0, 0, 0, 0}},           // over a cleared target
    };
    for (PixelFormat format : {PixelFormat::rgba16Float, PixelFormat::rgba32Float}) {
        const bool half = format == PixelFormat::rgba16Float;
        // A texel magnified, and texels drawn one to a pixel (which run through their own path).
        for (const Case &c : cases) {
            for (int texels : {1, 2}) {
                auto texture = target(format, 2, 2);
                drawQuad(texture,
                         image(texels, texels, std::vector<Rgba8>(texels * texels, c.source)), 0, 0,
                         2, 2, false, LoadAction::clear, c.destination);
                const double d[4] = {c.destination.red, c.destination.green, c.destination.blue,
                                     c.destination.alpha};
                const double keep = 1 - c.source[3] / 255.0;
                const Rgba got = pixel(*texture, 1, 1);
                for (int channel = 0; channel < 4; ++channel) {
                    const double stored =
                        half ? halfToFloat(floatToHalf(float(d[channel]))) : float(d[channel]);
                    const double exact = c.source[channel] / 255.0 + stored * keep;
                    const double tolerance = half ? std::max(std::abs(exact), 1e-4) / 1024 : 1e-6;
                    EXPECT_NEAR(got[channel], exact, tolerance)
                        << (half ? "half" : "float") << " channel " << channel << " source "
                        << int(c.source[0]) << "," << int(c.source[3]) << " texels " << texels;
                }
            }
        }
    }
}

TEST_F(GpuFixture, BlendingOffWritesTheSourceAsIs) {
    auto texture = target(PixelFormat::rgba32Float, 2, 2);
    clear(texture, {1, 1, 1, 1});
    const float quad[16] = {1, -1, 1, 1, -1, -1, 0, 1, 1, 1, 1, 0, -1, 1, 0, 0};
    auto buffer = device->newCommandQueue()->commandBuffer();
    RenderPassDescriptor pass;
    pass.colorAttachments[0] = {texture, LoadAction::load, StoreAction::store, {}};
    auto encoder = buffer->renderCommandEncoder(pass);
    encoder->setRenderPipelineState(pipeline(PixelFormat::rgba32Float, false));
    encoder->setVertexBytes(quad, sizeof quad, 0);
    encoder->setFragmentTexture(image(1, 1, {{0, 51, 0, 102}}), 0);
    encoder->drawPrimitives(PrimitiveType::triangleStrip, 0, 4);
    encoder->endEncoding();
    buffer->commit();
    EXPECT_EQ(pixel(*texture, 0, 1), (Rgba{0, 0.2f, 0, 0.4f}));
}

} // namespace
} // namespace platform::testing
