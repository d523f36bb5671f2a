#pragma once

#include "core/model/ActiveRoleClip.h"
#include "core/model/ClipCategory.h"
#include "core/model/MarkerInfo.h"
#include "core/model/StackedLayerInfo.h"
#include "core/support/Json.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// Everything the burn-in can show about one stretch of a timeline. Its JSON form travels in
// every snapshot entry: the four plain members are required, every optional member is left
// out when absent, and an empty list or map is still a value that is written.
struct FCPMetadata {
    std::string sourceClipName = {};
    std::optional<std::string> sourceFileName = {};
    std::optional<std::string> mediaIdentifier = {};
    // May be empty when the reader computes it for each frame.
    std::string sourceTimecode = {};
    std::optional<int64_t> sourceFrameNumber = {};
    // May be empty when the reader computes it for each frame.
    std::string projectTimecode = {};
    // Frames per second of the rate in force, as the exact quotient (23.976023976023978).
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
    // Timecode text.
    std::optional<std::string> clipDuration = {};
    std::optional<ClipCategory> clipType = {};
    // Pixels.
    std::optional<double> resolutionWidth = {};
    std::optional<double> resolutionHeight = {};
    // The transform in the units the library stores it in.
    std::optional<double> positionX = {};
    std::optional<double> positionY = {};
    std::optional<double> scaleX = {};
    std::optional<double> scaleY = {};
    std::optional<double> rotation = {};
    // 1 is normal speed.
    std::optional<double> speedRate = {};
    std::optional<bool> isReversed = {};
    std::optional<bool> isFreezeFrame = {};
    std::optional<bool> isSpeedRamp = {};
    std::optional<std::vector<std::string>> appliedEffects = {};
    std::optional<bool> hasStabilization = {};
    std::optional<bool> hasRollingShutterFix = {};
    std::optional<std::vector<MarkerInfo>> markers = {};
    std::optional<std::vector<std::string>> stackedVideoClips = {};
    // By role identifier.
    std::optional<std::map<std::string, ActiveRoleClip>> activeRoleClips = {};
    std::optional<std::vector<StackedLayerInfo>> stackedLayers = {};

    // The record for a frame with no clip: "—" as clip name and source timecode, project
    // timecode "00:00:00:00", 24 fps, nothing else.
    static const FCPMetadata &empty();

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

void to_json(Json &json, const FCPMetadata &metadata);
void from_json(const Json &json, FCPMetadata &metadata);

} // namespace tandrel
