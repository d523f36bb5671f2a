#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The members of the snapshot document, in their JSON order: the document through which the
// host hands the active timeline and the active preset to the plug-in. The host's form and the
// plug-in's share them and differ in their entries and preset records. Every member but the
// drop-frame flag is required; a document that fails to read is rejected whole.
template <typename Entry, typename Preset> struct SnapshotDocument {
    static constexpr int64_t currentSchemaVersion = 8;

    int64_t schemaVersion = currentSchemaVersion;
    // Identity of the timeline; the plug-in compares it to notice a change of timeline.
    std::string timelineID = {};
    std::string timelineName = {};
    std::string libraryName = {};
    // SMPTE text of the project start timecode in effect ("00:00:00:00").
    std::string timelineStartTimecode = {};
    // Whether the timeline counts drop-frame timecode, as its library states it; absent when the
    // library states nothing. Readers that lack it (older plug-ins) skip the key; readers that
    // have it take it over a ";" in the start timecode, which an empty start cannot carry.
    std::optional<bool> timelineDropFrame = {};
    // Seconds since 1970, with fractions.
    double updatedAt = 0;
    // In timeline order, not overlapping.
    std::vector<Entry> entries = {};
    Preset displayConfig = {};

    friend bool operator==(const SnapshotDocument &, const SnapshotDocument &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("schemaVersion", self.schemaVersion);
        visit("timelineID", self.timelineID);
        visit("timelineName", self.timelineName);
        visit("libraryName", self.libraryName);
        visit("timelineStartTimecode", self.timelineStartTimecode);
        visit("timelineDropFrame", self.timelineDropFrame);
        visit("updatedAt", self.updatedAt);
        visit("entries", self.entries);
        visit("displayConfig", self.displayConfig);
    }
};

} // namespace tandrel
