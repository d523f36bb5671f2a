#pragma once

#include "core/database/CollectionSource.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/resolver/ScannedMarker.h"
#include "core/resolver/TimelineResolver.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// Lists every marker of a timeline with its position: those of the spine clips and those of
// the enabled clips connected to them, entry by entry (a clip's own markers before those of
// its connected clips), unsorted. Works over the resolver's structure-only list; reads each
// entry's markers from the event database the entry came from. Not thread-safe.
struct TimelineMarkerScanner {
    // Keys tried in this order for the state of a to-do marker.
    static constexpr std::array<std::string_view, 6> completionKeys{
        "isCompleted", "completed", "todoCompleted", "markerCompleted", "checked", "isChecked"};

    // `db` is the timeline's own event database (the resolver's). Reads through the
    // resolver's read models.
    static std::vector<ScannedMarker> scan(int64_t timelineID, FCPDatabaseConnection &db,
                                           TimelineResolver &resolver);

    // The markers directly below one clip's "anchoredItems": placed from the clip's place on
    // the timeline and its own start.
    static std::vector<ScannedMarker> markers(int64_t anchoredTo, const CollectionSource &db,
                                              double containerTimelineStart,
                                              double containerSourceStart,
                                              const std::optional<std::string> &roleUID,
                                              const std::optional<std::string> &containingClipName);
    // The start of the clip's own "clippedRange".
    static std::optional<double> rawSourceStart(int64_t of, const CollectionSource &db);
};

} // namespace tandrel
