#pragma once

#include "core/model/EditEntry.h"
#include "core/model/FrameRate.h"

#include <cstdint>
#include <vector>

namespace tandrel {

// The resolved timeline of one project: its edit entries sorted by timeline start. Immutable
// once built, so one list is shared by the resolver's cache and every reader (held through
// std::shared_ptr<const EditDecisionList>), also after a reload has dropped the resolver.
class EditDecisionList {
public:
    // Sorts the entries by `timelineIn`, keeping the walk order of equal starts.
    EditDecisionList(int64_t timelineID, std::vector<EditEntry> entries);

    // The timeline's collection key.
    int64_t timelineID() const { return timelineID_; }
    const std::vector<EditEntry> &entries() const { return entries_; }
    size_t count() const { return entries_.size(); }
    // `timelineOut` of the last entry in sort order; 0 without entries.
    double duration() const;

    // The entry that covers the time [timelineIn, timelineOut), or null.
    const EditEntry *lookup(double at) const;
    // The entry at frame `frame` of a timeline running at `rate`, or null.
    const EditEntry *lookup(int64_t frame, FrameRate rate) const;
    // The entries that reach into [startSeconds, endSeconds), in order.
    std::vector<const EditEntry *> lookupRange(double startSeconds, double endSeconds) const;

private:
    int64_t timelineID_;
    std::vector<EditEntry> entries_;
};

} // namespace tandrel
