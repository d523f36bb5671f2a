#include "host/views/main/SidebarLayout.h"

namespace tandrel {

std::optional<TimelineChoice>
activeTimelineChoice(const std::vector<TimelineChoice> &timelines,
                     const std::optional<std::string> &activeTimelineID) {
    if (!activeTimelineID) {
        return std::nullopt;
    }
    for (const TimelineChoice &timeline : timelines) {
        if (timeline.id == *activeTimelineID) {
            return timeline;
        }
    }
    return std::nullopt;
}

SidebarLayout sidebarLayout(bool hasWatchedLibraries, const std::vector<TimelineChoice> &timelines,
                            const std::optional<std::string> &activeTimelineID,
                            bool showManualLibraryPicker, bool snapshotWritten) {
    SidebarLayout layout;
    layout.activeTimeline = activeTimelineChoice(timelines, activeTimelineID);
    if (!hasWatchedLibraries) {
        layout.main = SidebarLayout::Main::emptyState;
    } else if (layout.activeTimeline && !showManualLibraryPicker) {
        layout.main = SidebarLayout::Main::autoDetected;
        layout.cardSaysBurningIn = snapshotWritten;
    } else {
        layout.main = SidebarLayout::Main::libraryList;
        layout.showsHideLibraryList = layout.activeTimeline.has_value();
    }
    // The id itself decides, not whether a library offers it.
    layout.showsProjectStartTC = activeTimelineID.has_value();
    return layout;
}

} // namespace tandrel
