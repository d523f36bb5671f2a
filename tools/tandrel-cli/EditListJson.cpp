#include "tools/tandrel-cli/EditListJson.h"

namespace tandrel::cli {

namespace {

template <typename T> void putOptional(Json &json, const char *key, const std::optional<T> &value) {
    if (value) {
        json[key] = *value;
    }
}

Json segmentJson(const EditEntry::DisplaySegment &segment) {
    Json json;
    json["start"] = segment.start;
    json["end"] = segment.end;
    json["stackedVideoClips"] = segment.stackedVideoClips;
    json["activeRoleClips"] = Json::object();
    for (const auto &[role, clip] : segment.activeRoleClips) {
        json["activeRoleClips"][role] = clip;
    }
    json["stackedLayers"] = segment.stackedLayers;
    return json;
}

Json entryJson(const EditEntry &entry,
               const std::function<std::string(const std::string &)> &relativePath) {
    Json json;
    json["collectionPK"] = entry.collectionPK;
    json["database"] = relativePath(entry.databasePath);
    json["clipName"] = entry.clipName;
    json["clipType"] = entry.clipType;
    json["timelineIn"] = entry.timelineIn;
    json["timelineOut"] = entry.timelineOut;
    json["sourceIn"] = entry.sourceIn;
    json["sourceStartTC"] = entry.sourceStartTC;
    putOptional(json, "assetName", entry.assetName);
    putOptional(json, "mediaIdentifier", entry.mediaIdentifier);
    putOptional(json, "reelName", entry.reelName);
    putOptional(json, "scene", entry.scene);
    putOptional(json, "shot", entry.shot);
    putOptional(json, "angle", entry.angle);
    putOptional(json, "notes", entry.notes);
    if (entry.resolution) {
        json["resolution"] = {{"width", entry.resolution->width},
                              {"height", entry.resolution->height}};
    }
    if (entry.frameRate) {
        json["frameRate"] = entry.frameRate->timecodeRateString();
    }
    json["isSyncClip"] = entry.isSyncClip;
    json["isCompoundClip"] = entry.isCompoundClip;
    putOptional(json, "videoAngle", entry.videoAngle);
    putOptional(json, "audioAngles", entry.audioAngles);
    putOptional(json, "speedRate", entry.speedRate);
    json["isReversed"] = entry.isReversed;
    if (entry.timeMapKeypoints) {
        json["timeMapKeypoints"] = Json::array();
        for (const TimeMapKeypoint &keypoint : *entry.timeMapKeypoints) {
            json["timeMapKeypoints"].push_back(
                {{"timelineSeconds", keypoint.timelineSeconds},
                 {"sourceSeconds", keypoint.sourceSeconds},
                 {"inputTangentValue", keypoint.inputTangentValue},
                 {"outputTangentValue", keypoint.outputTangentValue}});
        }
    }
    putOptional(json, "isFreezeFrame", entry.isFreezeFrame);
    putOptional(json, "hasStabilization", entry.hasStabilization);
    putOptional(json, "subTimelinePK", entry.subTimelinePK);
    putOptional(json, "positionX", entry.positionX);
    putOptional(json, "positionY", entry.positionY);
    putOptional(json, "scaleX", entry.scaleX);
    putOptional(json, "scaleY", entry.scaleY);
    putOptional(json, "rotation", entry.rotation);
    json["markers"] = entry.markers;
    json["displaySegments"] = Json::array();
    for (const auto &segment : entry.displaySegments) {
        json["displaySegments"].push_back(segmentJson(segment));
    }
    return json;
}

} // namespace

Json editListJson(const EditDecisionList &list,
                  const std::function<std::string(const std::string &)> &relativePath) {
    Json json;
    json["entryCount"] = list.count();
    json["duration"] = list.duration();
    json["entries"] = Json::array();
    for (const EditEntry &entry : list.entries()) {
        json["entries"].push_back(entryJson(entry, relativePath));
    }
    return json;
}

} // namespace tandrel::cli
