#pragma once

#include "core/support/Json.h"

namespace tandrel {

// One point of a snapshot entry's retime curve: seconds from the entry's own start on the
// timeline, and the source second shown there.
struct SnapshotTimeMapKeypoint {
    double timelineSeconds = 0;
    double sourceSeconds = 0;

    friend bool operator==(const SnapshotTimeMapKeypoint &,
                           const SnapshotTimeMapKeypoint &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("timelineSeconds", self.timelineSeconds);
        visit("sourceSeconds", self.sourceSeconds);
    }
};

void to_json(Json &json, const SnapshotTimeMapKeypoint &keypoint);
void from_json(const Json &json, SnapshotTimeMapKeypoint &keypoint);

} // namespace tandrel
