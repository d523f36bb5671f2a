#pragma once

#include "core/model/FCPMetadata.h"
#include "core/snapshot/RationalTime.h"
#include "core/snapshot/SnapshotTimeMapKeypoint.h"
#include "core/support/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// One stretch [tlStart, tlEnd) of the timeline over which the clip, its timing and the items
// connected to it stay the same.
struct SnapshotEntry {
    RationalTime tlStart = {};
    RationalTime tlEnd = {};
    // The absolute source frame on screen at tlStart (source start timecode plus offset).
    int64_t srcStartFrame = 0;
    // Signed: negative when the clip plays reversed.
    double srcSpeed = 0;
    // The source rate as its timecode rate text ("29.97d").
    std::string srcRate = {};
    int64_t srcFpsNum = 0;
    int64_t srcFpsDen = 0;
    // The retime curve of a variable-speed clip.
    std::optional<std::vector<SnapshotTimeMapKeypoint>> srcTimeMapKeypoints = {};
    // True when the clip's rate was not determined and 24 fps stood in for it.
    std::optional<bool> srcRateUnresolved = {};
    FCPMetadata metadata = {};

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("tlStart", self.tlStart);
        visit("tlEnd", self.tlEnd);
        visit("srcStartFrame", self.srcStartFrame);
        visit("srcSpeed", self.srcSpeed);
        visit("srcRate", self.srcRate);
        visit("srcFpsNum", self.srcFpsNum);
        visit("srcFpsDen", self.srcFpsDen);
        visit("srcTimeMapKeypoints", self.srcTimeMapKeypoints);
        visit("srcRateUnresolved", self.srcRateUnresolved);
        visit("metadata", self.metadata);
    }
};

void to_json(Json &json, const SnapshotEntry &entry);
void from_json(const Json &json, SnapshotEntry &entry);

} // namespace tandrel
