#pragma once

#include "core/support/Json.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tandrel {

// One video layer stacked over the primary clip.
struct StackedLayerInfo {
    // The primary storyline counts as lane 1.
    int64_t videoLaneNumber = 0;
    std::optional<std::string> reelName = {};
    std::optional<std::string> sceneShot = {};
    std::optional<std::string> sourceFileName = {};
    std::optional<std::string> sourceTimecode = {};
    std::optional<int64_t> sourceFrameNumber = {};
    // Seconds.
    std::optional<double> layerTimelineStart = {};
    std::optional<double> correctedSourceStart = {};
    std::optional<int64_t> sourceFpsNum = {};
    std::optional<int64_t> sourceFpsDen = {};
    // A timecode rate text ("29.97d").
    std::optional<std::string> sourceRateString = {};

    friend bool operator==(const StackedLayerInfo &, const StackedLayerInfo &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("videoLaneNumber", self.videoLaneNumber);
        visit("reelName", self.reelName);
        visit("sceneShot", self.sceneShot);
        visit("sourceFileName", self.sourceFileName);
        visit("sourceTimecode", self.sourceTimecode);
        visit("sourceFrameNumber", self.sourceFrameNumber);
        visit("layerTimelineStart", self.layerTimelineStart);
        visit("correctedSourceStart", self.correctedSourceStart);
        visit("sourceFpsNum", self.sourceFpsNum);
        visit("sourceFpsDen", self.sourceFpsDen);
        visit("sourceRateString", self.sourceRateString);
    }
};

void to_json(Json &json, const StackedLayerInfo &layer);
void from_json(const Json &json, StackedLayerInfo &layer);

} // namespace tandrel
