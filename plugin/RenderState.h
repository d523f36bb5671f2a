#pragma once

#include "core/model/BurnInElement.h"
#include "core/support/Json.h"
#include "plugin/PluginDisplayConfig.h"
#include "plugin/TandrelMetadata.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tandrel {

// Everything one frame's drawing needs, and the only thing that passes from the effect's
// state call to its render call, as JSON: the active preset's elements and options and the
// frame's record, or a status text carried as the record's clip name. The effect class names
// it TandrelRenderer::RenderState.
struct RenderState {
    // In preset order.
    std::vector<BurnInElement> elements = {};
    TandrelMetadata metadata = {};
    // Draw metadata.sourceClipName as a status text instead of the elements.
    bool isStatus = false;
    // Width ÷ height of the visible picture.
    std::optional<double> visiblePictureAspectRatio = {};
    bool showStackedLayers = false;
    bool constrainToVisiblePicture = false;
    std::optional<bool> stackedLayersV1OnTop = {};

    // The preset's elements and options, its absent switches taken as off and its V1-on-top
    // choice passed on as it is; without a preset (no snapshot loaded) no elements and every
    // option off or absent. The record stays empty until showRecord or showStatus.
    static RenderState forPreset(const PluginDisplayConfig *preset);

    // Draws the elements over this record.
    void showRecord(TandrelMetadata record);
    // Draws `text` instead of the elements; the record carries the timeline rate num ÷ den.
    void showStatus(std::string text, uint64_t rateNum, uint64_t rateDen);

    // The state's JSON; empty data when it cannot be encoded (a number that is not finite),
    // which the render call draws as a transparent frame.
    std::vector<uint8_t> encoded() const;
    // Nothing for data that is not a state's JSON.
    static std::optional<RenderState> decode(std::span<const uint8_t> data);

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("elements", self.elements);
        visit("metadata", self.metadata);
        visit("isStatus", self.isStatus);
        visit("visiblePictureAspectRatio", self.visiblePictureAspectRatio);
        visit("showStackedLayers", self.showStackedLayers);
        visit("constrainToVisiblePicture", self.constrainToVisiblePicture);
        visit("stackedLayersV1OnTop", self.stackedLayersV1OnTop);
    }
};

void to_json(Json &json, const RenderState &state);
void from_json(const Json &json, RenderState &state);

} // namespace tandrel
