#pragma once

#include "host/query/TimelineChoice.h"

#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// What the sidebar of a main window shows, from the state object's libraries and timelines
// and the window's own wish to see the full library list while a timeline is served.
struct SidebarLayout {
    enum class Main {
        // No library is watched: the invitation to add one.
        emptyState,
        // A timeline is served and the user has not asked for the lists: its compact card.
        autoDetected,
        // The libraries bar and the timeline list.
        libraryList,
    };

    Main main = Main::emptyState;
    // The served timeline, while some library offers it.
    std::optional<TimelineChoice> activeTimeline;
    // Under the lists, while a served timeline could be shown as its card again.
    bool showsHideLibraryList = false;
    // The project start timecode field: while a timeline id is active, offered or not.
    bool showsProjectStartTC = false;
    // The card says "burning in": while the served timeline's snapshot is written. Only the
    // card tells it, so only with the card is it set.
    bool cardSaysBurningIn = false;

    friend bool operator==(const SidebarLayout &, const SidebarLayout &) = default;
};

// The first timeline whose id is the active id (exact text comparison).
std::optional<TimelineChoice>
activeTimelineChoice(const std::vector<TimelineChoice> &timelines,
                     const std::optional<std::string> &activeTimelineID);

SidebarLayout sidebarLayout(bool hasWatchedLibraries, const std::vector<TimelineChoice> &timelines,
                            const std::optional<std::string> &activeTimelineID,
                            bool showManualLibraryPicker, bool snapshotWritten = false);

} // namespace tandrel
