#pragma once

#include "core/snapshot/RationalTime.h"
#include "core/snapshot/SnapshotTimeMapKeypoint.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The members of one stretch [tlStart, tlEnd) of the timeline over which the clip, its timing
// and the items connected to it stay the same, in their JSON order. The host's entry and the
// plug-in's share them and differ in their metadata record.
template <typename Metadata> struct SnapshotEntryRecord {
    RationalTime tlStart = {};
    RationalTime tlEnd = {};
    // The absolute source frame on screen at tlStart (source start timecode plus offset).
    int64_t srcStartFrame = 0;
    // Signed: negative when the clip plays reversed; exactly 1 at normal speed.
    double srcSpeed = 0;
    // The source rate as its timecode rate text ("29.97d").
    std::string srcRate = {};
    int64_t srcFpsNum = 0;
    int64_t srcFpsDen = 0;
    // The retime curve of a variable-speed clip.
    std::optional<std::vector<SnapshotTimeMapKeypoint>> srcTimeMapKeypoints = {};
    // True when the clip's rate was not determined and 24 fps stood in for it.
    std::optional<bool> srcRateUnresolved = {};
    Metadata metadata = {};

    friend bool operator==(const SnapshotEntryRecord &, const SnapshotEntryRecord &) = default;

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

} // namespace tandrel
