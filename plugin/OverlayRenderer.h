#pragma once

#include "core/model/BurnInElement.h"
#include "platform/fxplug/FxImageTile.h"
#include "platform/fxplug/FxTileableEffect.h"
#include "plugin/MetalDeviceCache.h"
#include "plugin/ProbeFlags.h"
#include "plugin/TextRenderer.h"

#include <spdlog/logger.h>

#include <memory>

namespace tandrel {

struct RenderState;

// Draws one frame of burn-in into the tile a host hands to the effect's render call: clears
// the tile to transparent, then draws the state's status text, or each enabled element's text
// as one textured quad inside the preset's visible picture. An effect instance owns one, over
// the process's device cache and the instance's own text renderer and probe flags. Safe to
// call from many threads at once.
class OverlayRenderer {
public:
    OverlayRenderer(MetalDeviceCache &deviceCache, TextRenderer &textRenderer, ProbeFlags &probes);

    // Draws the state (the JSON of a RenderState; null when the host has none). Nothing
    // happens to the tile when its GPU, surface, pipeline or a free command queue is missing;
    // once drawing starts the tile is at least cleared, and a state that is absent or does
    // not decode leaves it transparent. Never throws.
    void renderFrame(const platform::FxImageTile &into, const platform::FxData *pluginState);

    // How the status text is drawn, and how an element's text is (its own look, 8 pixels of
    // margin).
    static TextRenderer::DisplayParams statusParams();
    static TextRenderer::DisplayParams elementParams(const BurnInElement &element);

private:
    struct Frame;
    void drawStatus(Frame &frame, const RenderState &state);
    void drawElements(Frame &frame, const RenderState &state);

    MetalDeviceCache &deviceCache_;
    TextRenderer &textRenderer_;
    ProbeFlags &probes_;
    std::shared_ptr<spdlog::logger> logger_;
};

} // namespace tandrel
