#pragma once

#include "core/support/Json.h"

#include <string>

namespace tandrel {

// The clip that carries a role at a point of the timeline.
struct ActiveRoleClip {
    std::string roleName = {};
    std::string mediaFilename = {};

    friend bool operator==(const ActiveRoleClip &, const ActiveRoleClip &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("roleName", self.roleName);
        visit("mediaFilename", self.mediaFilename);
    }
};

void to_json(Json &json, const ActiveRoleClip &clip);
void from_json(const Json &json, ActiveRoleClip &clip);

} // namespace tandrel
