#pragma once

#include "platform/gpu/Texture.h"

#include <array>
#include <memory>

namespace platform {

// What a pass does with the target's contents before drawing: keep them (load, or dontCare,
// which keeps them too in the compositor) or fill the target with the clear colour.
enum class LoadAction { dontCare, load, clear };
// The compositor writes into the target as it draws, so both actions keep what was drawn.
enum class StoreAction { dontCare, store };

// Components as in the target's format: pre-multiplied, 0 to 1 for unorm formats.
struct ClearColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
};

struct RenderPassColorAttachmentDescriptor {
    std::shared_ptr<Texture> texture;
    LoadAction loadAction = LoadAction::dontCare;
    StoreAction storeAction = StoreAction::dontCare;
    ClearColor clearColor;
};

struct RenderPassDescriptor {
    std::array<RenderPassColorAttachmentDescriptor, 1> colorAttachments;
};

} // namespace platform
