#pragma once

#include <optional>

namespace tandrel {

// The display options of a burn-in preset, each absent unless the preset sets it. They are
// members of the preset's JSON object; everything that reads or writes a preset, in whatever
// form, codes them through forEachMember.
struct DisplayOptions {
    // Width ÷ height of the visible picture area inside the frame.
    std::optional<double> visiblePictureAspectRatio = {};
    std::optional<bool> showStackedLayers = {};
    // Whether elements are confined to the visible picture area.
    std::optional<bool> constrainToVisiblePicture = {};
    std::optional<bool> stackedLayersV1OnTop = {};
    std::optional<bool> hideOnGeneratorClips = {};

    friend bool operator==(const DisplayOptions &, const DisplayOptions &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("visiblePictureAspectRatio", self.visiblePictureAspectRatio);
        visit("showStackedLayers", self.showStackedLayers);
        visit("constrainToVisiblePicture", self.constrainToVisiblePicture);
        visit("stackedLayersV1OnTop", self.stackedLayersV1OnTop);
        visit("hideOnGeneratorClips", self.hideOnGeneratorClips);
    }
};

} // namespace tandrel
