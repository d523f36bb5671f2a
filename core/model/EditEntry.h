#pragma once

#include "core/model/ActiveRoleClip.h"
#include "core/model/ClipCategory.h"
#include "core/model/FrameRate.h"
#include "core/model/MarkerInfo.h"
#include "core/model/Size.h"
#include "core/model/StackedLayerInfo.h"
#include "core/model/TimeMapKeypoint.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// One resolved item of a timeline (a clip, gap, generator or title): its place on the
// timeline and in its source media, rate, speed, transform, markers and metadata. Entries live
// only in memory. Times are seconds unless a frame count is named; an entry covers
// [timelineIn, timelineOut).
struct EditEntry {
    // A stretch of an entry over which the clips stacked above it and the clips that carry
    // each role stay the same; [start, end) in timeline seconds.
    struct DisplaySegment {
        double start = 0;
        double end = 0;
        std::vector<std::string> stackedVideoClips = {};
        // By role identifier.
        std::map<std::string, ActiveRoleClip> activeRoleClips = {};
        std::vector<StackedLayerInfo> stackedLayers = {};
    };

    // A stretch of timeline seconds to cut an entry to.
    struct Window {
        double start = 0;
        double end = 0;
    };

    // Row key of the item's object in its event database.
    int64_t collectionPK = 0;
    std::string clipName = {};
    ClipCategory clipType = ClipCategory::simple;
    double timelineIn = 0;
    double timelineOut = 0;
    // Start of the used part of the source, in source seconds.
    double sourceIn = 0;
    // The source's start timecode as a frame count at the source rate.
    int64_t sourceStartTC = 0;
    std::optional<std::string> assetName = {};
    std::optional<std::string> mediaIdentifier = {};
    std::optional<std::string> reelName = {};
    std::optional<std::string> scene = {};
    std::optional<std::string> shot = {};
    std::optional<std::string> angle = {};
    std::optional<std::string> notes = {};
    std::optional<Size> resolution = {};
    // The source rate.
    std::optional<FrameRate> frameRate = {};
    bool isSyncClip = false;
    bool isCompoundClip = false;
    // Active angles of a multicam item.
    std::optional<std::string> videoAngle = {};
    std::optional<std::vector<std::string>> audioAngles = {};
    // Constant speed as a factor (2 is double speed); absent means 1.
    std::optional<double> speedRate = {};
    bool isReversed = false;
    // The curve of a variable-speed retime. Each keypoint's `timelineSeconds` is a time on the
    // timeline (the same axis as `timelineIn`), so cutting the entry leaves the curve where it
    // is; its `sourceSeconds` is the media time the curve shows there.
    std::optional<std::vector<TimeMapKeypoint>> timeMapKeypoints = {};
    std::optional<bool> isFreezeFrame = {};
    std::optional<bool> hasStabilization = {};
    // Row key of the inner sequence of an item that holds one.
    std::optional<int64_t> subTimelinePK = {};
    std::optional<double> positionX = {};
    std::optional<double> positionY = {};
    std::optional<double> scaleX = {};
    std::optional<double> scaleY = {};
    std::optional<double> rotation = {};
    std::vector<MarkerInfo> markers = {};
    // Inside [timelineIn, timelineOut), ascending by start; may be empty.
    std::vector<DisplaySegment> displaySegments = {};
    // The event database that `collectionPK` belongs to: the timeline's own, or another one
    // for an item inside a compound clip whose sequence lives in another event.
    std::string databasePath = {};

    // The part of the entry inside the window, with its source side moved to match, or nothing
    // when no more than 1/240 s of it is left. A retimed entry keeps its source start and its
    // keypoints (they lie on the timeline, not relative to the entry). Display segments are
    // copied unchanged.
    std::optional<EditEntry> restricted(Window toWindow) const;
};

} // namespace tandrel
