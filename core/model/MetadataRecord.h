#pragma once

#include "core/model/ActiveRoleClip.h"
#include "core/model/StackedLayerInfo.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The members of the per-segment metadata record, in their JSON order. The host's form
// (FCPMetadata) and the plug-in's (TandrelMetadata) share them and differ only in how strictly
// they read the clip's kind and its markers' kinds. The four plain members are required, every
// optional member is left out when absent, and an empty list or map is still a value that is
// written.
template <typename ClipType, typename Marker> struct MetadataRecord {
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
    std::optional<ClipType> clipType = {};
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
    std::optional<std::vector<Marker>> markers = {};
    std::optional<std::vector<std::string>> stackedVideoClips = {};
    // By role identifier.
    std::optional<std::map<std::string, ActiveRoleClip>> activeRoleClips = {};
    std::optional<std::vector<StackedLayerInfo>> stackedLayers = {};

    friend bool operator==(const MetadataRecord &, const MetadataRecord &) = default;

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

} // namespace tandrel
