#pragma once

// The compositor behind command buffers: what an encoder records and how a committed pass
// turns into pixels. Internal to the library.

#include "platform/gpu/RenderPassDescriptor.h"
#include "platform/gpu/RenderPipelineState.h"
#include "platform/gpu/Texture.h"

#include <memory>
#include <vector>

namespace platform {

enum class PrimitiveType { triangle, triangleStrip };

namespace detail {

// The vertex record the vertex stage reads: clip-space position, then texture coordinates.
struct ClipVertex {
    float x;
    float y;
    float u;
    float v;
};
static_assert(sizeof(ClipVertex) == 16);

struct DrawCall {
    std::shared_ptr<const RenderPipelineState> pipeline;
    std::shared_ptr<const Texture> texture;
    PrimitiveType primitive;
    std::vector<ClipVertex> vertices;
};

struct RecordedPass {
    std::shared_ptr<Texture> target;
    LoadAction loadAction;
    ClearColor clearColor;
    std::vector<DrawCall> draws;
};

// The compositor reads and writes texture memory directly.
struct TextureAccess {
    static std::byte *row(const Texture &texture, int y) { return texture.row(y); }
};

void clear(Texture &target, const ClearColor &color);
void draw(Texture &target, const DrawCall &call);

inline void execute(const RecordedPass &pass) {
    if (pass.loadAction == LoadAction::clear) {
        clear(*pass.target, pass.clearColor);
    }
    for (const DrawCall &call : pass.draws) {
        draw(*pass.target, call);
    }
}

} // namespace detail
} // namespace platform
