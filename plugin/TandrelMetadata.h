#pragma once

#include "core/support/Json.h"
#include "plugin/PluginActiveRoleClip.h"
#include "plugin/PluginMarkerInfo.h"
#include "plugin/PluginStackedLayerInfo.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The per-segment metadata record as the plug-in reads it from a snapshot entry and passes it
// on, per frame, in its render state. Same keys, order and optional members as the host's
// record (FCPMetadata), read the same way: the four plain members are required, the others
// may be missing or null. It differs in what it tolerates: `clipType` is any text (only
// "generator" and "title" mean something here) and a marker's type is any text too.
//
// Reading also checks that the timing fields of every stacked layer keep SnapshotLimits, so
// that the frame arithmetic done on a layer cannot overflow.
struct TandrelMetadata {
    std::string sourceClipName = {};
    std::optional<std::string> sourceFileName = {};
    std::optional<std::string> mediaIdentifier = {};
    std::string sourceTimecode = {};
    std::optional<int64_t> sourceFrameNumber = {};
    std::string projectTimecode = {};
    double frameRate = 0;
    std::optional<std::string> reelName = {};
    std::optional<std::string> cameraName = {};
    std::optional<std::string> scene = {};
    std::optional<std::string> shot = {};
    std::optional<std::string> take = {};
    std::optional<std::string> angle = {};
    std::optional<std::string> notes = {};
    std::optional<std::string> videoRole = {};
    std::optional<std::vector<std::string>> audioRoles = {};
    std::optional<std::string> clipDuration = {};
    // Kept exactly as the snapshot holds it.
    std::optional<std::string> clipType = {};
    std::optional<double> resolutionWidth = {};
    std::optional<double> resolutionHeight = {};
    std::optional<double> positionX = {};
    std::optional<double> positionY = {};
    std::optional<double> scaleX = {};
    std::optional<double> scaleY = {};
    std::optional<double> rotation = {};
    std::optional<double> speedRate = {};
    std::optional<bool> isReversed = {};
    std::optional<bool> isFreezeFrame = {};
    std::optional<bool> isSpeedRamp = {};
    std::optional<std::vector<std::string>> appliedEffects = {};
    std::optional<bool> hasStabilization = {};
    std::optional<bool> hasRollingShutterFix = {};
    std::optional<std::vector<PluginMarkerInfo>> markers = {};
    std::optional<std::vector<std::string>> stackedVideoClips = {};
    // By role identifier.
    std::optional<std::map<std::string, PluginActiveRoleClip>> activeRoleClips = {};
    std::optional<std::vector<PluginStackedLayerInfo>> stackedLayers = {};

    // A clip name (or source timecode) of exactly this text means there is no clip.
    static constexpr std::string_view noClipName = "\u2014";

    // The record a status text travels in: the text as clip name, empty timecodes, the
    // timeline's frames per second, nothing else.
    static TandrelMetadata status(std::string text, double frameRate);

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("sourceClipName", self.sourceClipName);
        visit("sourceFileName", self.sourceFileName);
        visit("mediaIdentifier", self.mediaIdentifier);
        visit("sourceTimecode", self.sourceTimecode);
        visit("sourceFrameNumber", self.sourceFrameNumber);
        visit("projectTimecode", self.projectTimecode);
        visit("frameRate", self.frameRate);
        visit("reelName", self.reelName);
        visit("cameraName", self.cameraName);
        visit("scene", self.scene);
        visit("shot", self.shot);
        visit("take", self.take);
        visit("angle", self.angle);
        visit("notes", self.notes);
        visit("videoRole", self.videoRole);
        visit("audioRoles", self.audioRoles);
        visit("clipDuration", self.clipDuration);
        visit("clipType", self.clipType);
        visit("resolutionWidth", self.resolutionWidth);
        visit("resolutionHeight", self.resolutionHeight);
        visit("positionX", self.positionX);
        visit("positionY", self.positionY);
        visit("scaleX", self.scaleX);
        visit("scaleY", self.scaleY);
        visit("rotation", self.rotation);
        visit("speedRate", self.speedRate);
        visit("isReversed", self.isReversed);
        visit("isFreezeFrame", self.isFreezeFrame);
        visit("isSpeedRamp", self.isSpeedRamp);
        visit("appliedEffects", self.appliedEffects);
        visit("hasStabilization", self.hasStabilization);
        visit("hasRollingShutterFix", self.hasRollingShutterFix);
        visit("markers", self.markers);
        visit("stackedVideoClips", self.stackedVideoClips);
        visit("activeRoleClips", self.activeRoleClips);
        visit("stackedLayers", self.stackedLayers);
    }
};

void to_json(Json &json, const TandrelMetadata &metadata);
void from_json(const Json &json, TandrelMetadata &metadata);

} // namespace tandrel
