#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The one-line texts the effect draws in place of the burn-in.
struct StatusText {
    // No snapshot file has been loaded, or the file disappeared.
    static constexpr std::string_view startHost = "Embrik: start Host app + select a timeline";
    // The playhead is between clips, outside a timeline whose start is known, or on a
    // generator or title clip the preset hides.
    static constexpr std::string_view gap = "Embrik: gap (no clip at playhead)";

    // The timeline rate maps to no supported rate.
    static std::string unsupportedRate(uint64_t num, uint64_t den);
    // The snapshot has no entries.
    static std::string noClips(std::string_view timelineName);
    // The timeline's start is not known yet and no candidate places the playhead inside it.
    static std::string playheadDoesNotFit(std::string_view timecode);

    // The snapshot file, or a folder it is in, is not the user's alone ("\"…/Tandrel\" is
    // refused: it belongs to another user (nobody)"), so it is not read.
    static std::string refused(std::string_view why);

    // The text of a frame without a record: the start text without a snapshot, else the
    // reason the lookup gave, else the gap text.
    static std::string choose(bool snapshotLoaded, const std::optional<std::string> &reason);
};

} // namespace tandrel
