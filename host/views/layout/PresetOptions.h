#pragma once

#include "host/views/layout/ActivePreset.h"

#include <array>
#include <optional>
#include <string_view>

namespace tandrel {

// The three-way choice of a stacked-layer order, stored as an optional Bool: the default
// order is absent, V1 on top true, V1 on bottom false.
class StackOrderChoice {
public:
    enum Case : unsigned char { defaultOrder, v1OnTop, v1OnBottom };

    constexpr StackOrderChoice(Case value) : value_(value) {}
    constexpr operator Case() const { return value_; }

    static constexpr std::array<StackOrderChoice, 3> allCases() {
        return {defaultOrder, v1OnTop, v1OnBottom};
    }
    static StackOrderChoice from(std::optional<bool> v1OnTop);
    std::optional<bool> stored() const;
    // The preset picker's texts: "Default", "V1 on top", "V1 on bottom".
    std::string_view title() const;

private:
    Case value_;
};

// The five display options of the active preset as its "Settings" rows read and write them.
// An absent switch reads as off; a switch writes true or false, never absent, so a switch
// turned on and off again stores false. Each write is one assignment of the preset list;
// without an active preset the rows read the defaults and writes are dropped.
class PresetOptions {
public:
    static constexpr const char *visiblePictureTitle = "Visible Picture";
    static constexpr const char *visiblePictureHelp =
        "a visual reference line in the Position Preview — positioning stays free unless "
        "\"Constrain\" below is on";
    static constexpr const char *constrainTitle = "Constrain to visible picture";
    static constexpr const char *constrainHelp =
        "off by default — lets you deliberately place titles in the letterbox/pillarbox bars";
    static constexpr const char *stackedLayersTitle = "Show stacked video layers (V2, V3, …)";
    static constexpr const char *stackedLayersHelp =
        "adds Source TC/Frame/Reel/Scene-Shot/Source File for every stacked layer, directly "
        "below";
    static constexpr const char *stackOrderTitle = "Stack order";
    static constexpr const char *stackOrderHelp =
        "only affects the Stacked Layers — Reel/File and — Slate/TC composite elements";
    static constexpr const char *hideOnGeneratorsTitle = "Hide on generator/filler clips";
    static constexpr const char *hideOnGeneratorsHelp =
        "off by default — when on, hides all burn-in elements while the playhead is over a "
        "title/generator placeholder (e.g. a black FILLER slate) with no real source clip";

    explicit PresetOptions(AppState &state) : active_(state) {}

    std::optional<double> visiblePictureAspectRatio() const;
    bool constrainToVisiblePicture() const;
    bool showStackedLayers() const;
    StackOrderChoice stackedLayerOrder() const;
    bool hideOnGeneratorClips() const;

    void setVisiblePictureAspectRatio(std::optional<double> ratio);
    void setConstrainToVisiblePicture(bool on);
    void setShowStackedLayers(bool on);
    void setStackedLayerOrder(StackOrderChoice choice);
    void setHideOnGeneratorClips(bool on);

private:
    ActivePreset active_;
};

} // namespace tandrel
