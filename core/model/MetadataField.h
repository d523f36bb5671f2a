#pragma once

#include "core/model/RawEnum.h"

namespace tandrel {

struct MetadataFieldCases {
    enum Case : unsigned char {
        sourceTC,
        projectTC,
        clipName,
        sourceFile,
        reel,
        sceneShot,
        speed,
        notes,
        angle,
        resolution,
        marker,
        resize,
        stackedVideo,
        roleText,
        custom,
        markerName,
        markerNote,
        markerNameAndNote,
        sourceFrame,
        stackedLayerReel,
        stackedLayerSlate,
        stabilization,
        position,
    };
    static constexpr std::array<std::string_view, 23> rawValues{
        "sourceTC",
        "projectTC",
        "clipName",
        "sourceFile",
        "reel",
        "sceneShot",
        "speed",
        "notes",
        "angle",
        "resolution",
        "marker",
        "resize",
        "stackedVideo",
        "roleText",
        "custom",
        "markerName",
        "markerNote",
        "markerNameAndNote",
        "sourceFrame",
        "stackedLayerReel",
        "stackedLayerSlate",
        "stabilization",
        "position",
    };
};

// The kinds of text a burn-in element can show, in the order of the field menu.
class MetadataField : public RawEnum<MetadataField, MetadataFieldCases> {
public:
    using RawEnum::RawEnum;

    std::string_view displayName() const;
    // The label a new element gets; empty means the value shows without a prefix.
    std::string_view defaultLabel() const;
};

} // namespace tandrel
