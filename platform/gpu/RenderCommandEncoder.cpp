#include "platform/gpu/RenderCommandEncoder.h"

#include "platform/gpu/CommandBuffer.h"

#include <cstring>

namespace platform {

void RenderCommandEncoder::setRenderPipelineState(
    std::shared_ptr<const RenderPipelineState> state) {
    pipeline_ = std::move(state);
}

void RenderCommandEncoder::setVertexBytes(const void *bytes, std::size_t length, int index) {
    if (ended_) {
        return;
    }
    if (index != 0 || length > maxVertexBytes || (bytes == nullptr && length > 0)) {
        buffer_->refuse("vertex bytes must go to index 0, at most 4096 of them");
        return;
    }
    vertices_.resize(length / sizeof(detail::ClipVertex));
    if (!vertices_.empty()) {
        std::memcpy(vertices_.data(), bytes, vertices_.size() * sizeof(detail::ClipVertex));
    }
}

void RenderCommandEncoder::setFragmentTexture(std::shared_ptr<const Texture> texture, int index) {
    if (ended_) {
        return;
    }
    if (index != 0) {
        buffer_->refuse("the fragment function samples texture index 0 only");
        return;
    }
    texture_ = std::move(texture);
}

void RenderCommandEncoder::drawPrimitives(PrimitiveType type, std::size_t vertexStart,
                                          std::size_t vertexCount) {
    if (ended_) {
        return;
    }
    if (!pipeline_ || pipeline_->colorAttachment().pixelFormat != pass_.target->pixelFormat()) {
        buffer_->refuse("draw without a pipeline for the target's pixel format");
        return;
    }
    if (!texture_ || !includes(texture_->usage(), TextureUsage::shaderRead)) {
        buffer_->refuse("draw without a shader-readable fragment texture");
        return;
    }
    if (vertexStart > vertices_.size() || vertexCount > vertices_.size() - vertexStart) {
        buffer_->refuse("draw reads vertices beyond the bytes set");
        return;
    }
    const auto first = vertices_.begin() + static_cast<std::ptrdiff_t>(vertexStart);
    pass_.draws.push_back(
        {pipeline_, texture_, type, {first, first + static_cast<std::ptrdiff_t>(vertexCount)}});
}

void RenderCommandEncoder::endEncoding() {
    if (ended_) {
        return;
    }
    ended_ = true;
    buffer_->finishPass(std::move(pass_));
}

} // namespace platform
