#pragma once

#include "core/snapshot/RationalTime.h"
#include "core/snapshot/SnapshotTimeMapKeypoint.h"
#include "core/support/Json.h"
#include "plugin/TandrelMetadata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// One timeline span [tlStart, tlEnd) of the snapshot as the plug-in reads it: the host's
// entry with the plug-in's metadata record. Everything but the keypoints and the
// unresolved-rate flag is required, and reading enforces SnapshotLimits on the times, rates,
// speed, start frame and keypoints.
struct PluginSnapshotEntry {
    RationalTime tlStart = {};
    RationalTime tlEnd = {};
    // The source frame at tlStart.
    int64_t srcStartFrame = 0;
    // Signed; exactly 1 at normal speed.
    double srcSpeed = 0;
    // A timecode rate text ("29.97d").
    std::string srcRate = {};
    int64_t srcFpsNum = 0;
    int64_t srcFpsDen = 0;
    std::optional<std::vector<SnapshotTimeMapKeypoint>> srcTimeMapKeypoints = {};
    std::optional<bool> srcRateUnresolved = {};
    TandrelMetadata metadata = {};

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

void to_json(Json &json, const PluginSnapshotEntry &entry);
void from_json(const Json &json, PluginSnapshotEntry &entry);

} // namespace tandrel
