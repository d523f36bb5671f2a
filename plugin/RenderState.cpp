#include "plugin/RenderState.h"

#include "core/support/JsonReader.h"
#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "core/support/JsonWriter.h"

#include <string_view>

namespace tandrel {

RenderState RenderState::forPreset(const PluginDisplayConfig *preset) {
    RenderState state;
    if (preset != nullptr) {
        state.elements = preset->elements;
        state.visiblePictureAspectRatio = preset->visiblePictureAspectRatio;
        state.showStackedLayers = preset->showStackedLayers.value_or(false);
        state.constrainToVisiblePicture = preset->constrainToVisiblePicture.value_or(false);
        state.stackedLayersV1OnTop = preset->stackedLayersV1OnTop;
    }
    return state;
}

void RenderState::showRecord(TandrelMetadata record) {
    metadata = std::move(record);
    isStatus = false;
}

void RenderState::showStatus(std::string text, uint64_t rateNum, uint64_t rateDen) {
    metadata = TandrelMetadata::status(std::move(text),
                                       static_cast<double>(rateNum) / static_cast<double>(rateDen));
    isStatus = true;
}

std::vector<uint8_t> RenderState::encoded() const {
    try {
        const std::string text = encodeJsonText(Json(*this));
        return {text.begin(), text.end()};
    } catch (const EncodingError &) {
        return {};
    }
}

std::optional<RenderState> RenderState::decode(std::span<const uint8_t> data) {
    try {
        return decodeJsonValue<RenderState>(parseJsonText(
            std::string_view(reinterpret_cast<const char *>(data.data()), data.size())));
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

void to_json(Json &json, const RenderState &state) {
    json = JsonWriter::record(state);
}

void from_json(const Json &json, RenderState &state) {
    RenderState::forEachMember(state, JsonReader(json, "RenderState"));
}

} // namespace tandrel
