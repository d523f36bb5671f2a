#include "plugin/OverlayRenderer.h"
#include "plugin/RenderState.h"
#include "plugin/StatusText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace tandrel {
namespace {

using platform::FxImageOrigin;
using platform::FxImageTile;
using platform::Surface;

constexpr uint64_t gpu = 7;
constexpr std::byte pattern{0x5A};

// Pixels of a tile whose alpha is not 0, as a box in picture coordinates: columns left…right
// and rows top…bottom (exclusive ends), counted from the picture's top whichever way the
// tile's rows run.
struct InkBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const InkBox &, const InkBox &) = default;
};

std::ostream &operator<<(std::ostream &out, const InkBox &box) {
    return out << "[" << box.left << ", " << box.right << ") x [" << box.top << ", " << box.bottom
               << ")";
}

InkBox inkBox(const FxImageTile &tile) {
    const Surface &surface = *tile.ioSurface();
    const std::size_t pixel = surface.bytesPerElement();
    InkBox box{surface.width(), surface.height(), 0, 0};
    for (int row = 0; row < surface.height(); ++row) {
        const int y =
            tile.imageOrigin() == FxImageOrigin::topLeft ? row : surface.height() - 1 - row;
        for (int x = 0; x < surface.width(); ++x) {
            // The alpha channel is the pixel's last quarter in every format.
            const std::byte *alpha =
                surface.baseAddress() + row * surface.bytesPerRow() + x * pixel + pixel * 3 / 4;
            if (std::any_of(alpha, alpha + pixel / 4,
                            [](std::byte b) { return b != std::byte{0}; })) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                       std::max(box.bottom, y + 1)};
            }
        }
    }
    return box;
}

std::vector<std::byte> bytes(const FxImageTile &tile) {
    const Surface &surface = *tile.ioSurface();
    return {surface.baseAddress(),
            surface.baseAddress() + surface.bytesPerRow() * surface.height()};
}

struct OverlayRendererTest : ::testing::Test {
    std::vector<std::shared_ptr<platform::Device>> machine = platform::copyAllDevices();
    std::shared_ptr<platform::Device> device = [] {
        auto made = platform::Device::make({gpu, "test"});
        platform::setSystemDevices({made});
        return made;
    }();
    MetalDeviceCache cache{TANDREL_PLUGIN_SOURCE_DIR};
    TextRenderer textRenderer;
    ProbeFlags probes;
    OverlayRenderer overlay{cache, textRenderer, probes};

    ~OverlayRendererTest() override { platform::setSystemDevices(machine); }

    // A tile filled with a pattern, so that what the overlay does not touch shows.
    static FxImageTile tile(int width, int height, FxImageOrigin origin,
                            uint32_t format = Surface::formatBGRA, uint64_t registryID = gpu) {
        auto surface = Surface::create(width, height, format);
        std::fill_n(surface->baseAddress(), surface->bytesPerRow() * height, pattern);
        return FxImageTile(surface, registryID, {0, 0, width, height}, {0, 0, width, height},
                           origin);
    }

    static BurnInElement element(MetadataField field, std::string label, double posX, double posY) {
        BurnInElement made(field);
        made.label = std::move(label);
        made.posX = posX;
        made.posY = posY;
        return made;
    }

    void render(const FxImageTile &into, const RenderState &state) {
        const platform::FxData data = state.encoded();
        overlay.renderFrame(into, &data);
    }

    // The size of an element's texture: its own look with 8 pixels of margin.
    std::pair<int, int> textSize(const BurnInElement &of, std::string_view text) {
        const auto drawn = textRenderer.render(text, of.id,
                                               {of.fontSize, of.textR, of.textG, of.textB,
                                                of.textOpacity, of.showBackground, of.bgR, of.bgG,
                                                of.bgB, of.bgOpacity, 8, of.textAlignment},
                                               *device);
        EXPECT_TRUE(drawn);
        return drawn ? std::pair{drawn->width, drawn->height} : std::pair{0, 0};
    }
};

TEST_F(OverlayRendererTest, DrawsEachEnabledElementWhereItsPositionSays) {
    RenderState state;
    state.elements = {element(MetadataField::custom, "CAM B", 0.25, 0.5),
                      element(MetadataField::custom, "hidden", 0.75, 0.75),
                      element(MetadataField::clipName, "", 0.75, 0.25)};
    state.elements[1].isEnabled = false;
    state.showRecord(TandrelMetadata::status("\u2014", 25)); // no clip: no clip name
    const auto [tw, th] = textSize(state.elements[0], "CAM B");

    for (const uint32_t format : {Surface::formatBGRA, Surface::formatRGhA, Surface::formatRGfA}) {
        const FxImageTile into = tile(1920, 1080, FxImageOrigin::topLeft, format);
        render(into, state);
        EXPECT_EQ(inkBox(into), (InkBox{480, 540 - th, 480 + tw, 540})) << format;
    }
}

TEST_F(OverlayRendererTest, BothRowOrdersGiveTheSamePicture) {
    RenderState state;
    state.elements = {element(MetadataField::sourceTC, "TC:", 0.98, 0.05),
                      element(MetadataField::clipName, "", 0.05, 0.9)};
    state.elements[1].showBackground = false;
    state.visiblePictureAspectRatio = 2.39;
    state.constrainToVisiblePicture = true;
    TandrelMetadata record = TandrelMetadata::status("A001_C002", 25);
    record.sourceTimecode = "01:00:00:00";
    state.showRecord(record);

    const FxImageTile topFirst = tile(640, 360, FxImageOrigin::topLeft);
    const FxImageTile bottomFirst = tile(640, 360, FxImageOrigin::bottomLeft);
    render(topFirst, state);
    render(bottomFirst, state);
    const InkBox box = inkBox(topFirst);
    EXPECT_EQ(inkBox(bottomFirst), box);
    EXPECT_EQ(box.right, 640); // constrained to the visible picture's right edge

    const std::size_t rowBytes = topFirst.ioSurface()->bytesPerRow();
    const std::vector<std::byte> top = bytes(topFirst);
    const std::vector<std::byte> bottom = bytes(bottomFirst);
    for (int row = 0; row < 360; ++row) {
        ASSERT_EQ(std::memcmp(&top[row * rowBytes], &bottom[(359 - row) * rowBytes], rowBytes), 0)
            << "row " << row;
    }
}

TEST_F(OverlayRendererTest, StatusTextSitsAtTheTopLeftOfTheWholeFrame) {
    RenderState state;
    state.elements = {element(MetadataField::custom, "not drawn", 0.5, 0.5)};
    state.visiblePictureAspectRatio = 2.39;
    state.showStatus(std::string(StatusText::gap), 25, 1);
    const auto status = textRenderer.render(
        StatusText::gap, TextRenderer::statusElementID(),
        {24, 1.0, 0.9, 0.3, 1.0, true, 0.2, 0, 0, 0.85, 12, BurnInTextAlignment::left}, *device);
    ASSERT_TRUE(status);

    for (const FxImageOrigin origin : {FxImageOrigin::topLeft, FxImageOrigin::bottomLeft}) {
        const FxImageTile into = tile(720, 480, origin);
        render(into, state);
        EXPECT_EQ(inkBox(into), (InkBox{36, 0, 36 + status->width, status->height}));
    }
}

TEST_F(OverlayRendererTest, AStateThatIsMissingOrNotAStateLeavesTheTileTransparent) {
    const std::vector<std::byte> transparent(200 * 100 * 4, std::byte{0});
    const FxImageTile without = tile(200, 100, FxImageOrigin::bottomLeft);
    overlay.renderFrame(without, nullptr);
    EXPECT_EQ(bytes(without), transparent);

    const platform::FxData garbage{'n', 'o', 't', ' ', 'j', 's', 'o', 'n'};
    const FxImageTile with = tile(200, 100, FxImageOrigin::bottomLeft);
    overlay.renderFrame(with, &garbage);
    EXPECT_EQ(bytes(with), transparent);
}

TEST_F(OverlayRendererTest, FramesWithoutAQueueGpuOrSurfaceLeaveTheTileUntouched) {
    const auto item = cache.itemFor(gpu, platform::PixelFormat::bgra8Unorm);
    ASSERT_TRUE(item);
    std::vector<std::shared_ptr<platform::CommandQueue>> busy;
    while (auto queue = item->nextFreeCommandQueue()) {
        busy.push_back(queue);
    }
    ASSERT_EQ(busy.size(), MetalDeviceCacheItem::poolSize);

    const FxImageTile into = tile(64, 32, FxImageOrigin::topLeft);
    const std::vector<std::byte> before = bytes(into);
    overlay.renderFrame(into, nullptr);
    EXPECT_EQ(bytes(into), before);

    cache.returnCommandQueue(busy.back());
    overlay.renderFrame(into, nullptr);
    EXPECT_NE(bytes(into), before);
    // The frame gave its queue back.
    EXPECT_EQ(item->nextFreeCommandQueue(), busy.back());

    const FxImageTile elsewhere = tile(64, 32, FxImageOrigin::topLeft, Surface::formatBGRA, 99);
    overlay.renderFrame(elsewhere, nullptr);
    EXPECT_EQ(bytes(elsewhere), before);
    overlay.renderFrame(FxImageTile(nullptr, gpu, {}, {}), nullptr);
}

TEST_F(OverlayRendererTest, AMissingShaderLibraryDrawsNothing) {
    platform::Error error;
    EXPECT_FALSE(MetalDeviceCacheItem::make(device, platform::PixelFormat::bgra8Unorm,
                                            "/nonexistent/bundle", &error));
    EXPECT_EQ(error.domain, "Tandrel");
    EXPECT_EQ(error.code, -1);
    EXPECT_EQ(error.description, "Metal library not found");

    MetalDeviceCache withoutLibrary("/nonexistent/bundle");
    EXPECT_FALSE(withoutLibrary.device(gpu));
    OverlayRenderer drawing(withoutLibrary, textRenderer, probes);
    const FxImageTile into = tile(64, 32, FxImageOrigin::topLeft);
    const std::vector<std::byte> before = bytes(into);
    const platform::FxData data = RenderState().encoded();
    drawing.renderFrame(into, &data);
    EXPECT_EQ(bytes(into), before);
}

TEST_F(OverlayRendererTest, ConcurrentFramesDrawWholeOrNotAtAllAndGiveTheirQueuesBack) {
    RenderState state;
    state.elements = {element(MetadataField::custom, "CAM B", 0.1, 0.1)};
    const FxImageTile reference = tile(160, 90, FxImageOrigin::topLeft);
    render(reference, state);
    const std::vector<std::byte> drawn = bytes(reference);

    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int frame = 0; frame < 5; ++frame) {
                const FxImageTile into = tile(160, 90, FxImageOrigin::topLeft);
                const std::vector<std::byte> before = bytes(into);
                render(into, state);
                const std::vector<std::byte> after = bytes(into);
                wrong += after != drawn && after != before;
            }
        });
    }
    for (auto &thread : threads) {
        thread.join();
    }
    EXPECT_EQ(wrong, 0);
    const auto item = cache.itemFor(gpu, platform::PixelFormat::bgra8Unorm);
    for (std::size_t i = 0; i < MetalDeviceCacheItem::poolSize; ++i) {
        EXPECT_TRUE(item->nextFreeCommandQueue()) << i;
    }
}

} // namespace
} // namespace tandrel
