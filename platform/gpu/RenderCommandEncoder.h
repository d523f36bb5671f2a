#pragma once

#include "platform/gpu/Compositor.h"

#include <cstddef>
#include <memory>

namespace platform {

class CommandBuffer;

// Records one render pass into its command buffer. Nothing is drawn until the buffer is
// committed; a pass whose encoder never ends is left out.
class RenderCommandEncoder {
public:
    static constexpr std::size_t maxVertexBytes = 4096;

    void setRenderPipelineState(std::shared_ptr<const RenderPipelineState> state);
    // Copies `length` bytes of vertex records for buffer index 0 (at most maxVertexBytes).
    void setVertexBytes(const void *bytes, std::size_t length, int index);
    // The texture the fragment function samples (index 0).
    void setFragmentTexture(std::shared_ptr<const Texture> texture, int index);
    // Draws with the state set so far. A draw without a pipeline for the target's format,
    // without a shader-readable texture, or with vertices beyond the bytes set is left out and
    // noted as the command buffer's error.
    void drawPrimitives(PrimitiveType type, std::size_t vertexStart, std::size_t vertexCount);
    void endEncoding();

private:
    friend class CommandBuffer;

    RenderCommandEncoder(std::shared_ptr<CommandBuffer> buffer, detail::RecordedPass pass)
        : buffer_(std::move(buffer)), pass_(std::move(pass)) {}

    std::shared_ptr<CommandBuffer> buffer_;
    detail::RecordedPass pass_;
    bool ended_ = false;
    std::shared_ptr<const RenderPipelineState> pipeline_;
    std::shared_ptr<const Texture> texture_;
    std::vector<detail::ClipVertex> vertices_;
};

} // namespace platform
