#pragma once

#include "host/query/TimelineChoice.h"

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tandrel {

// The timelines of one event of one library: a card of the timeline list.
struct TimelineGroup {
    std::string eventName;
    std::string library;
    // The library, U+0002, the event: two events of one name in two libraries are two cards.
    std::string groupKey;
    std::vector<TimelineChoice> timelines;

    friend bool operator==(const TimelineGroup &, const TimelineGroup &) = default;
};

// What a row of the timeline list shows.
struct TimelineRowContent {
    TimelineChoice timeline;
    // The timeline chosen to be served: the accent dot, the strong name, the selected chip.
    bool isActive = false;
    // The chosen timeline, while its snapshot is written: "burning in". A write that failed
    // (the folder refused, a full disk) leaves the choice and takes the claim away.
    bool isBurningIn = false;
    // While two or more libraries are watched.
    std::optional<std::string> libraryLine;
    // While another timeline of the card has the same name: where in the event it lives.
    std::optional<std::string> sourcePath;
    // "burning in" while burning in; else its edits, when it has any.
    std::optional<std::string> trailingLabel;

    friend bool operator==(const TimelineRowContent &, const TimelineRowContent &) = default;
};

// What a card of the timeline list shows.
struct TimelineCardContent {
    std::string groupKey;
    std::string eventName;
    // While two or more libraries are watched.
    std::optional<std::string> libraryLine;
    bool isExpanded = false;
    // Shown at the end of the header while the card is closed.
    std::string timelineCount;
    // Only while the card is open.
    std::vector<TimelineRowContent> rows;

    friend bool operator==(const TimelineCardContent &, const TimelineCardContent &) = default;
};

// The rules of the timeline list: grouping by event and library, the set of open cards as the
// user defaults keep it, duplicate names within a card, and the texts of each row.
struct TimelineListContent {
    static constexpr char groupKeySeparator = '\x02';
    static constexpr char expandedEventsSeparator = '\x01';
    static constexpr const char *burningInText = "burning in";

    // The cards in the order their first timelines come; rows keep the list's order.
    static std::vector<TimelineGroup> groupedByEvent(const std::vector<TimelineChoice> &timelines);
    static std::string groupKey(const TimelineChoice &timeline);

    // The open cards' keys, from their stored form; empty pieces (separators side by side, at
    // the start or at the end) are no keys.
    static std::set<std::string> expandedEvents(const std::string &stored);
    // The stored form with `key` opened or closed: every key, also those of cards that are gone,
    // in code-point order, joined by U+0001.
    static std::string toggledExpanded(const std::string &stored, const std::string &key);

    // Names that two or more of the timelines have (exact comparison).
    static std::set<std::string> duplicatedNames(const std::vector<TimelineChoice> &timelines);
    // The event path after "<event> / ", or "Event" when the path does not start so.
    static std::string sourcePath(const TimelineChoice &timeline);
    // "burning in" while its snapshot is served; "<n> edits" for 1 or more edits; else nothing.
    static std::optional<std::string> trailingLabel(const TimelineChoice &timeline,
                                                    bool isBurningIn);

    // The whole list: every card, open or closed as `expandedEventsStored` says; the active
    // timeline burns in while `snapshotWritten` (the state object's word for it).
    static std::vector<TimelineCardContent>
    cards(const std::vector<TimelineChoice> &timelines,
          const std::optional<std::string> &activeTimelineID, bool snapshotWritten,
          size_t watchedLibraryCount, const std::string &expandedEventsStored);
};

} // namespace tandrel
