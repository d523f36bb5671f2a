#include "host/views/main/TimelineListContent.h"

#include "core/support/TextSplit.h"

#include <map>

namespace tandrel {

std::string TimelineListContent::groupKey(const TimelineChoice &timeline) {
    return timeline.library + groupKeySeparator + timeline.eventName;
}

std::vector<TimelineGroup>
TimelineListContent::groupedByEvent(const std::vector<TimelineChoice> &timelines) {
    std::vector<TimelineGroup> groups;
    std::map<std::string, size_t> indexByKey;
    for (const TimelineChoice &timeline : timelines) {
        std::string key = groupKey(timeline);
        auto [found, added] = indexByKey.try_emplace(key, groups.size());
        if (added) {
            groups.push_back({timeline.eventName, timeline.library, std::move(key), {}});
        }
        groups[found->second].timelines.push_back(timeline);
    }
    return groups;
}

std::set<std::string> TimelineListContent::expandedEvents(const std::string &stored) {
    std::set<std::string> keys;
    for (const std::string_view key :
         splitNonEmpty(stored, std::string_view(&expandedEventsSeparator, 1))) {
        keys.emplace(key);
    }
    return keys;
}

std::string TimelineListContent::toggledExpanded(const std::string &stored,
                                                 const std::string &key) {
    std::set<std::string> keys = expandedEvents(stored);
    if (keys.erase(key) == 0) {
        keys.insert(key);
    }
    // A set of UTF-8 strings runs in code-point order: byte order is code-point order there.
    std::string joined;
    for (const std::string &open : keys) {
        if (!joined.empty()) {
            joined += expandedEventsSeparator;
        }
        joined += open;
    }
    return joined;
}

std::set<std::string>
TimelineListContent::duplicatedNames(const std::vector<TimelineChoice> &timelines) {
    std::map<std::string, int> counts;
    for (const TimelineChoice &timeline : timelines) {
        ++counts[timeline.name];
    }
    std::set<std::string> duplicated;
    for (const auto &[name, count] : counts) {
        if (count >= 2) {
            duplicated.insert(name);
        }
    }
    return duplicated;
}

std::string TimelineListContent::sourcePath(const TimelineChoice &timeline) {
    const std::string prefix = timeline.eventName + " / ";
    if (timeline.eventPath.starts_with(prefix)) {
        return timeline.eventPath.substr(prefix.size());
    }
    return "Event";
}

std::optional<std::string> TimelineListContent::trailingLabel(const TimelineChoice &timeline,
                                                              bool isBurningIn) {
    if (isBurningIn) {
        return burningInText;
    }
    if (timeline.editCount >= 1) {
        return std::to_string(timeline.editCount) + " edits";
    }
    return std::nullopt;
}

std::vector<TimelineCardContent>
TimelineListContent::cards(const std::vector<TimelineChoice> &timelines,
                           const std::optional<std::string> &activeTimelineID, bool snapshotWritten,
                           size_t watchedLibraryCount, const std::string &expandedEventsStored) {
    const bool namesLibraries = watchedLibraryCount >= 2;
    const std::set<std::string> expanded = expandedEvents(expandedEventsStored);
    std::vector<TimelineCardContent> cards;
    for (const TimelineGroup &group : groupedByEvent(timelines)) {
        TimelineCardContent card{group.groupKey,
                                 group.eventName,
                                 namesLibraries ? std::optional(group.library) : std::nullopt,
                                 expanded.contains(group.groupKey),
                                 std::to_string(group.timelines.size()),
                                 {}};
        if (card.isExpanded) {
            const std::set<std::string> duplicated = duplicatedNames(group.timelines);
            for (const TimelineChoice &timeline : group.timelines) {
                const bool isActive = activeTimelineID && *activeTimelineID == timeline.id;
                const bool isBurningIn = isActive && snapshotWritten;
                card.rows.push_back(
                    {timeline, isActive, isBurningIn,
                     namesLibraries ? std::optional(timeline.library) : std::nullopt,
                     duplicated.contains(timeline.name) ? std::optional(sourcePath(timeline))
                                                        : std::nullopt,
                     trailingLabel(timeline, isBurningIn)});
            }
        }
        cards.push_back(std::move(card));
    }
    return cards;
}

} // namespace tandrel
