#include "plugin/TandrelRenderer.h"

#include "core/support/Log.h"
#include "platform/fxplug/FxProjectAPI_v2.h"
#include "platform/fxplug/FxTimingAPI_v4.h"
#include "plugin/MetalDeviceCache.h"

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace tandrel {

namespace {

// The readable name of an object's class.
std::string typeName(const platform::FxAPIObject &object) {
    const char *mangled = typeid(object).name();
    int status = 0;
    char *demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && demangled != nullptr ? demangled : mangled;
    std::free(demangled);
    return name;
}

} // namespace

TandrelRenderer::TandrelRenderer(platform::PROAPIAccessing *apiManager)
    : TandrelRenderer(apiManager, SnapshotProvider::shared()) {}

TandrelRenderer::TandrelRenderer(platform::PROAPIAccessing *apiManager,
                                 SnapshotProvider &snapshotProvider)
    : apiManager_(apiManager), snapshotProvider_(snapshotProvider),
      logger_(logger("com.ostrevale.tandrel.plugin", "render")),
      overlay_(MetalDeviceCache::shared(), textRenderer_, probes_) {}

bool TandrelRenderer::addParameters(platform::Error *) {
    return true;
}

bool TandrelRenderer::properties(platform::FxProperties *properties, platform::Error *) {
    if (properties != nullptr) {
        *properties = {{"MayRemapTime", false},
                       {"PixelTransformSupport", 3L},
                       {"VariesWhenParamsAreStatic", true}};
    }
    return true;
}

bool TandrelRenderer::pluginState(platform::FxData *pluginState, platform::CMTime renderTime,
                                  platform::FxQuality, platform::Error *) {
    std::vector<uint8_t> state = encodePluginState(renderTime);
    if (pluginState != nullptr) {
        *pluginState = std::move(state);
    }
    return true;
}

bool TandrelRenderer::destinationImageRect(platform::FxRect *destinationImageRect,
                                           const std::vector<const platform::FxImageTile *> &,
                                           const platform::FxImageTile &, const platform::FxData *,
                                           platform::CMTime, platform::Error *) {
    if (destinationImageRect != nullptr) {
        *destinationImageRect = platform::kFxRect_Infinite;
    }
    return true;
}

bool TandrelRenderer::sourceTileRect(platform::FxRect *sourceTileRect, unsigned int,
                                     const std::vector<const platform::FxImageTile *> &,
                                     platform::FxRect, const platform::FxImageTile &,
                                     const platform::FxData *, platform::CMTime,
                                     platform::Error *) {
    if (sourceTileRect != nullptr) {
        *sourceTileRect = platform::kFxRect_Empty; // the input image is never read
    }
    return true;
}

bool TandrelRenderer::renderDestinationImage(const platform::FxImageTile &destinationImage,
                                             const std::vector<const platform::FxImageTile *> &,
                                             const platform::FxData *pluginState, platform::CMTime,
                                             platform::Error *) {
    overlay_.renderFrame(destinationImage, pluginState);
    return true;
}

std::vector<uint8_t> TandrelRenderer::encodePluginState(platform::CMTime renderTime) {
    try {
        probeDocumentID();
        const TimelinePosition position = timelinePosition(renderTime);
        const SnapshotProvider::Answer answer = snapshotProvider_.metadata(
            position.value, position.timescale, position.rateNum, position.rateDen);
        RenderState state =
            RenderState::forPreset(answer.snapshot ? &answer.snapshot->displayConfig : nullptr);
        if (answer.metadata) {
            state.showRecord(*answer.metadata);
        } else {
            state.showStatus(answer.statusText(), position.rateNum, position.rateDen);
        }
        return state.encoded();
    } catch (const std::exception &error) {
        // Memory refused, say: the render call then draws nothing.
        logger_->error("Plug-in state not built: {}", error.what());
        return {};
    }
}

TandrelRenderer::TimelinePosition TandrelRenderer::timelinePosition(platform::CMTime renderTime) {
    TimelinePosition position;
    auto *timing = apiManager_ ? platform::apiFor<platform::FxTimingAPI_v4>(*apiManager_) : nullptr;
    if (timing == nullptr) {
        return position;
    }
    const unsigned int num = timing->timelineFpsNumeratorForEffect(this);
    const unsigned int den = timing->timelineFpsDenominatorForEffect(this);
    if (num != 0 && den != 0) {
        position.rateNum = num;
        position.rateDen = den;
    }
    platform::CMTime timelineTime = platform::CMTime::make(0, 1);
    timing->timelineTime(&timelineTime, renderTime);
    if (timelineTime.timescale != 0 && timelineTime.isValid()) {
        position.value = timelineTime.value;
        position.timescale = timelineTime.timescale;
    }
    return position;
}

void TandrelRenderer::probeDocumentID() {
    if (!probes_.takeDocumentIDProbe()) {
        return;
    }
    platform::FxAPIObject *object =
        apiManager_ ? apiManager_->apiForProtocol(platform::FxProjectAPI_v2::protocolName)
                    : nullptr;
    if (object == nullptr) {
        logger_->debug("#269 PROBE api(for: FxProjectAPI_v2.self) returned nil \u2014 host does "
                       "not vend this API here");
        return;
    }
    auto *project = dynamic_cast<platform::FxProjectAPI_v2 *>(object);
    if (project == nullptr) {
        logger_->debug("#269 PROBE api(for:) returned an object but cast to FxProjectAPI_v2 "
                       "failed: {}",
                       typeName(*object));
        return;
    }
    uint64_t documentID = 0;
    platform::Error error;
    if (project->documentID(&documentID, &error)) {
        logger_->debug("#269 PROBE documentID: ok=true value={}", documentID);
    } else {
        logger_->debug("#269 PROBE documentID: ok=false error={}", error.description);
    }
}

} // namespace tandrel
