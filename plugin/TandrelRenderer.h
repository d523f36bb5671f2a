#pragma once

#include "platform/fxplug/FxTileableEffect.h"
#include "platform/fxplug/PROAPIAccessing.h"
#include "plugin/OverlayRenderer.h"
#include "plugin/ProbeFlags.h"
#include "plugin/RenderState.h"
#include "plugin/SnapshotProvider.h"
#include "plugin/TextRenderer.h"

#include <spdlog/logger.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tandrel {

// The burn-in effect as the editor sees it: no parameters, no input image read. For each frame
// the state call gathers the active preset and the frame's metadata record (or a status text)
// into a small RenderState, and the render call draws that state over a transparent tile.
// Registered as "TandrelPluginRenderer". Every entry point answers success: a frame that
// cannot be drawn shows a status text or stays transparent, and problems go to the log.
// The host may call the entry points from many threads at once.
class TandrelRenderer final : public platform::FxTileableEffect {
public:
    using RenderState = tandrel::RenderState;

    // The name the effect is made by.
    static constexpr const char *className = "TandrelPluginRenderer";

    // The host's rate and time when its timing interface says nothing useful.
    static constexpr uint64_t fallbackRateNum = 24;
    static constexpr uint64_t fallbackRateDen = 1;

    // An effect for the host behind `apiManager` (null allowed: a host without interfaces),
    // over the process's snapshot provider and device cache.
    explicit TandrelRenderer(platform::PROAPIAccessing *apiManager);
    // The same over another provider (tests).
    TandrelRenderer(platform::PROAPIAccessing *apiManager, SnapshotProvider &snapshotProvider);

    bool addParameters(platform::Error *error) override;
    bool properties(platform::FxProperties *properties, platform::Error *error) override;
    bool pluginState(platform::FxData *pluginState, platform::CMTime renderTime,
                     platform::FxQuality quality, platform::Error *error) override;
    bool destinationImageRect(platform::FxRect *destinationImageRect,
                              const std::vector<const platform::FxImageTile *> &sourceImages,
                              const platform::FxImageTile &destinationImage,
                              const platform::FxData *pluginState, platform::CMTime renderTime,
                              platform::Error *error) override;
    bool sourceTileRect(platform::FxRect *sourceTileRect, unsigned int sourceImageIndex,
                        const std::vector<const platform::FxImageTile *> &sourceImages,
                        platform::FxRect destinationTileRect,
                        const platform::FxImageTile &destinationImage,
                        const platform::FxData *pluginState, platform::CMTime renderTime,
                        platform::Error *error) override;
    bool renderDestinationImage(const platform::FxImageTile &destinationImage,
                                const std::vector<const platform::FxImageTile *> &sourceImages,
                                const platform::FxData *pluginState, platform::CMTime renderTime,
                                platform::Error *error) override;

    // The JSON of the frame's RenderState at the host's render time; empty when it cannot be
    // encoded.
    std::vector<uint8_t> encodePluginState(platform::CMTime renderTime);

private:
    // The timeline's rate and the render time on the timeline, as the host's timing interface
    // gives them (24/1 and 0/1 when it gives nothing useful).
    struct TimelinePosition {
        uint64_t rateNum = fallbackRateNum;
        uint64_t rateDen = fallbackRateDen;
        int64_t value = 0;
        int32_t timescale = 1;
    };
    TimelinePosition timelinePosition(platform::CMTime renderTime);
    void probeDocumentID();

    platform::PROAPIAccessing *apiManager_;
    SnapshotProvider &snapshotProvider_;
    TextRenderer textRenderer_;
    std::shared_ptr<spdlog::logger> logger_;
    ProbeFlags probes_;
    OverlayRenderer overlay_;
};

} // namespace tandrel
