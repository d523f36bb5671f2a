#include "platform/fxplug/SimulatedEditor.h"

namespace platform {

SimulatedEditor::SimulatedEditor(std::optional<Timeline> timeline, bool withProjectAPI) {
    if (timeline) {
        timing_.emplace(*timeline);
    }
    if (withProjectAPI) {
        project_.emplace();
    }
}

FxAPIObject *SimulatedEditor::apiForProtocol(std::string_view protocolName) {
    if (protocolName == FxTimingAPI_v4::protocolName && timing_) {
        return &*timing_;
    }
    if (protocolName == FxProjectAPI_v2::protocolName && project_) {
        return &*project_;
    }
    return nullptr;
}

} // namespace platform
