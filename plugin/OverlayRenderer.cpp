#include "plugin/OverlayRenderer.h"

#include "core/support/Log.h"
#include "platform/gpu/CommandBuffer.h"
#include "platform/gpu/RenderCommandEncoder.h"
#include "plugin/BurnInText.h"
#include "plugin/OverlayGeometry.h"
#include "plugin/RenderState.h"

#include <exception>

namespace tandrel {

namespace {

// A command queue lent by the cache, given back however the frame ends.
class QueueLoan {
public:
    QueueLoan(MetalDeviceCache &cache, std::shared_ptr<platform::CommandQueue> queue)
        : cache_(cache), queue_(std::move(queue)) {}
    ~QueueLoan() { cache_.returnCommandQueue(queue_); }
    QueueLoan(const QueueLoan &) = delete;
    QueueLoan &operator=(const QueueLoan &) = delete;

private:
    MetalDeviceCache &cache_;
    std::shared_ptr<platform::CommandQueue> queue_;
};

} // namespace

TextRenderer::DisplayParams OverlayRenderer::statusParams() {
    // Amber on a dark red box.
    return {24, 1.0, 0.9, 0.3, 1.0, true, 0.2, 0, 0, 0.85, 12, BurnInTextAlignment::left};
}

TextRenderer::DisplayParams OverlayRenderer::elementParams(const BurnInElement &element) {
    return {.fontSize = element.fontSize,
            .textR = element.textR,
            .textG = element.textG,
            .textB = element.textB,
            .textOpacity = element.textOpacity,
            .showBackground = element.showBackground,
            .bgR = element.bgR,
            .bgG = element.bgG,
            .bgB = element.bgB,
            .bgOpacity = element.bgOpacity,
            .padding = 8,
            .alignment = element.textAlignment};
}

struct OverlayRenderer::Frame {
    platform::Device &device;
    platform::RenderCommandEncoder &encoder;
    float width;
    float height;
    platform::FxImageOrigin origin;

    void drawQuad(const TextRenderer::RenderedText &text, OverlayGeometry::Point corner) {
        const auto vertices =
            OverlayGeometry::quad(corner, text.width, text.height, width, height, origin);
        encoder.setVertexBytes(vertices.data(), sizeof vertices, 0);
        encoder.setFragmentTexture(text.texture, 0);
        encoder.drawPrimitives(platform::PrimitiveType::triangleStrip, 0, 4);
    }
};

OverlayRenderer::OverlayRenderer(MetalDeviceCache &deviceCache, TextRenderer &textRenderer,
                                 ProbeFlags &probes)
    : deviceCache_(deviceCache), textRenderer_(textRenderer), probes_(probes),
      logger_(logger("com.ostrevale.tandrel.plugin", "render")) {}

void OverlayRenderer::renderFrame(const platform::FxImageTile &into,
                                  const platform::FxData *pluginState) try {
    if (!into.ioSurface()) {
        return;
    }
    const uint64_t registryID = into.deviceRegistryID();
    const platform::PixelFormat format =
        MetalDeviceCache::pixelFormat(into.ioSurface()->pixelFormat());
    const auto device = deviceCache_.device(registryID);
    if (!device) {
        return;
    }
    const auto item = deviceCache_.itemFor(registryID, format);
    if (!item) {
        return;
    }
    const auto queue = item->nextFreeCommandQueue();
    if (!queue) {
        return; // all five frames of this GPU and format are busy: this one is not drawn
    }
    const QueueLoan loan(deviceCache_, queue);
    const auto texture = into.metalTextureForDevice(*device);
    if (!texture) {
        return;
    }
    const auto buffer = queue->commandBuffer();
    if (!buffer) {
        return;
    }
    buffer->enqueue();
    platform::RenderPassDescriptor pass;
    pass.colorAttachments[0] = {texture, platform::LoadAction::clear, platform::StoreAction::store,
                                platform::ClearColor{0, 0, 0, 0}};
    const auto encoder = buffer->renderCommandEncoder(pass);
    if (!encoder) {
        return;
    }

    const std::optional<RenderState> state =
        pluginState ? RenderState::decode(*pluginState) : std::nullopt;
    const auto pipelineItem = state ? deviceCache_.itemFor(registryID, format) : nullptr;
    if (pipelineItem) {
        encoder->setRenderPipelineState(pipelineItem->pipelineState());
        Frame frame{*device, *encoder, static_cast<float>(texture->width()),
                    static_cast<float>(texture->height()), into.imageOrigin()};
        if (probes_.takeImageOriginProbe()) {
            const auto raw = static_cast<unsigned long>(frame.origin);
            logger_->debug("#264 PROBE imageOrigin: raw={} originGrowsUpward={} (expected true "
                           "\u2014 Motion-hosted BOTTOM_LEFT)",
                           raw, raw == 0);
        }
        if (state->isStatus) {
            drawStatus(frame, *state);
        } else {
            drawElements(frame, *state);
        }
    }
    encoder->endEncoding();
    buffer->commit();
    buffer->waitUntilScheduled();
} catch (const std::exception &error) {
    logger_->error("Overlay frame not drawn: {}", error.what());
}

void OverlayRenderer::drawStatus(Frame &frame, const RenderState &state) {
    const auto text =
        textRenderer_.render(state.metadata.sourceClipName, TextRenderer::statusElementID(),
                             statusParams(), frame.device);
    if (text) {
        frame.drawQuad(*text, OverlayGeometry::statusCorner(frame.width, frame.height, text->width,
                                                            text->height));
    }
}

void OverlayRenderer::drawElements(Frame &frame, const RenderState &state) {
    const OverlayGeometry::Rect visible =
        OverlayGeometry::visiblePicture(frame.width, frame.height, state.visiblePictureAspectRatio);
    for (const BurnInElement &element : state.elements) {
        if (!element.isEnabled) {
            continue;
        }
        const std::optional<std::string> value = BurnInText::resolve(
            element, state.metadata, state.showStackedLayers, state.stackedLayersV1OnTop);
        if (!value) {
            continue;
        }
        const auto text =
            textRenderer_.render(*value, element.id, elementParams(element), frame.device);
        if (!text) {
            continue;
        }
        frame.drawQuad(*text, OverlayGeometry::elementCorner(visible, element.posX, element.posY,
                                                             text->width, text->height,
                                                             state.constrainToVisiblePicture));
    }
}

} // namespace tandrel
