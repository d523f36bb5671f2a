#include "host/views/layout/PresetOptions.h"

namespace tandrel {

StackOrderChoice StackOrderChoice::from(std::optional<bool> v1OnTop) {
    if (!v1OnTop) {
        return defaultOrder;
    }
    return *v1OnTop ? StackOrderChoice::v1OnTop : v1OnBottom;
}

std::optional<bool> StackOrderChoice::stored() const {
    switch (value_) {
    case v1OnTop:
        return true;
    case v1OnBottom:
        return false;
    case defaultOrder:
        return std::nullopt;
    }
    return std::nullopt;
}

std::string_view StackOrderChoice::title() const {
    switch (value_) {
    case defaultOrder:
        return "Default";
    case v1OnTop:
        return "V1 on top";
    case v1OnBottom:
        return "V1 on bottom";
    }
    return {};
}

std::optional<double> PresetOptions::visiblePictureAspectRatio() const {
    return active_.preset().visiblePictureAspectRatio;
}

bool PresetOptions::constrainToVisiblePicture() const {
    return active_.preset().constrainToVisiblePicture.value_or(false);
}

bool PresetOptions::showStackedLayers() const {
    return active_.preset().showStackedLayers.value_or(false);
}

StackOrderChoice PresetOptions::stackedLayerOrder() const {
    return StackOrderChoice::from(active_.preset().stackedLayersV1OnTop);
}

bool PresetOptions::hideOnGeneratorClips() const {
    return active_.preset().hideOnGeneratorClips.value_or(false);
}

void PresetOptions::setVisiblePictureAspectRatio(std::optional<double> ratio) {
    active_.update([ratio](DisplayConfig &preset) { preset.visiblePictureAspectRatio = ratio; });
}

void PresetOptions::setConstrainToVisiblePicture(bool on) {
    active_.update([on](DisplayConfig &preset) { preset.constrainToVisiblePicture = on; });
}

void PresetOptions::setShowStackedLayers(bool on) {
    active_.update([on](DisplayConfig &preset) { preset.showStackedLayers = on; });
}

void PresetOptions::setStackedLayerOrder(StackOrderChoice choice) {
    active_.update(
        [choice](DisplayConfig &preset) { preset.stackedLayersV1OnTop = choice.stored(); });
}

void PresetOptions::setHideOnGeneratorClips(bool on) {
    active_.update([on](DisplayConfig &preset) { preset.hideOnGeneratorClips = on; });
}

} // namespace tandrel
