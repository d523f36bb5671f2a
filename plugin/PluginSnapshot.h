#pragma once

#include "core/support/Json.h"
#include "plugin/PluginDisplayConfig.h"
#include "plugin/PluginSnapshotEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The snapshot document as the plug-in reads it. Every member is required (schemaVersion,
// libraryName and updatedAt only for the document to read: the plug-in uses none of them).
// A document that fails to read, or that leaves SnapshotLimits anywhere, is rejected whole.
struct PluginSnapshot {
    int64_t schemaVersion = 0;
    // Compared to notice a change of timeline.
    std::string timelineID = {};
    std::string timelineName = {};
    std::string libraryName = {};
    // The configured project start timecode, a start-frame candidate.
    std::string timelineStartTimecode = {};
    // Seconds since 1970.
    double updatedAt = 0;
    // In timeline order, not overlapping.
    std::vector<PluginSnapshotEntry> entries = {};
    PluginDisplayConfig displayConfig = {};

    // The document of a snapshot file's text. Fails with DecodingError for text that is not
    // JSON, a document of the wrong shape, or a value outside SnapshotLimits.
    static PluginSnapshot decode(std::string_view text);

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

void to_json(Json &json, const PluginSnapshot &snapshot);
void from_json(const Json &json, PluginSnapshot &snapshot);

} // namespace tandrel
