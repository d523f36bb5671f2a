#pragma once

#include "core/model/DisplayConfig.h"
#include "core/snapshot/SnapshotEntry.h"
#include "core/support/Json.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel {

// The document through which the host hands the active timeline and the active preset to the
// plug-in. Every member is required; a document that fails to read is rejected whole.
struct TandrelSnapshot {
    static constexpr int64_t currentSchemaVersion = 8;

    int64_t schemaVersion = currentSchemaVersion;
    std::string timelineID = {};
    std::string timelineName = {};
    std::string libraryName = {};
    // SMPTE text of the project start timecode in effect ("00:00:00:00").
    std::string timelineStartTimecode = {};
    // Seconds since 1970, with fractions.
    double updatedAt = 0;
    // In timeline order.
    std::vector<SnapshotEntry> entries = {};
    DisplayConfig displayConfig = {};

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("schemaVersion", self.schemaVersion);
        visit("timelineID", self.timelineID);
        visit("timelineName", self.timelineName);
        visit("libraryName", self.libraryName);
        visit("timelineStartTimecode", self.timelineStartTimecode);
        visit("updatedAt", self.updatedAt);
        visit("entries", self.entries);
        visit("displayConfig", self.displayConfig);
    }
};

void to_json(Json &json, const TandrelSnapshot &snapshot);
void from_json(const Json &json, TandrelSnapshot &snapshot);

} // namespace tandrel
