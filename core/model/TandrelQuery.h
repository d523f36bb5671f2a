#pragma once

#include "core/support/Json.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tandrel {

// The query record of the core library's protocol vocabulary: a position on a project's
// timeline at the project's rate. Nothing in the system attaches a unit to either number; they
// travel as given.
struct TandrelQuery {
    int64_t timelinePosition = 0;
    double projectRate = 0;
    std::optional<std::string> projectName = {};

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("timelinePosition", self.timelinePosition);
        visit("projectRate", self.projectRate);
        visit("projectName", self.projectName);
    }
};

void to_json(Json &json, const TandrelQuery &query);
void from_json(const Json &json, TandrelQuery &query);

} // namespace tandrel
