#include "tools/tandrel-fxhost/SimulatedEditor.h"

namespace tandrel::fxhost {

SimulatedEditor::SimulatedEditor(std::optional<Timeline> timeline, bool withProjectAPI) {
    if (timeline) {
        timing_.emplace(*timeline);
    }
    if (withProjectAPI) {
        project_.emplace();
    }
}

platform::FxAPIObject *SimulatedEditor::apiForProtocol(std::string_view protocolName) {
    if (protocolName == platform::FxTimingAPI_v4::protocolName && timing_) {
        return &*timing_;
    }
    if (protocolName == platform::FxProjectAPI_v2::protocolName && project_) {
        return &*project_;
    }
    return nullptr;
}

} // namespace tandrel::fxhost
