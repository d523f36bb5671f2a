#include "core/resolver/EditDecisionList.h"

#include <algorithm>

namespace tandrel {

EditDecisionList::EditDecisionList(int64_t timelineID, std::vector<EditEntry> entries)
    : timelineID_(timelineID), entries_(std::move(entries)) {
    const auto byStart = [](const EditEntry &a, const EditEntry &b) {
        return a.timelineIn < b.timelineIn;
    };
    // A walk gives its entries in timeline order but for compound contents cut short: the
    // sort, and the buffer as large as the list that it takes, are rarely needed.
    if (!std::is_sorted(entries_.begin(), entries_.end(), byStart)) {
        std::stable_sort(entries_.begin(), entries_.end(), byStart);
    }
}

double EditDecisionList::duration() const {
    return entries_.empty() ? 0 : entries_.back().timelineOut;
}

const EditEntry *EditDecisionList::lookup(double at) const {
    if (entries_.empty()) {
        return nullptr;
    }
    // Signed bounds: the upper one goes below zero when the time lies before every entry.
    int64_t lower = 0;
    int64_t upper = static_cast<int64_t>(entries_.size()) - 1;
    while (lower <= upper) {
        const int64_t middle = lower + (upper - lower) / 2;
        const EditEntry &entry = entries_[static_cast<size_t>(middle)];
        if (at < entry.timelineIn) {
            upper = middle - 1;
        } else if (entry.timelineOut <= at) {
            lower = middle + 1;
        } else {
            return &entry;
        }
    }
    return nullptr;
}

const EditEntry *EditDecisionList::lookup(int64_t frame, FrameRate rate) const {
    const auto rational = rate.rational();
    return lookup(static_cast<double>(frame) /
                  (static_cast<double>(rational.num) / static_cast<double>(rational.den)));
}

std::vector<const EditEntry *> EditDecisionList::lookupRange(double startSeconds,
                                                             double endSeconds) const {
    const auto first =
        std::partition_point(entries_.begin(), entries_.end(), [&](const EditEntry &entry) {
            return entry.timelineOut <= startSeconds;
        });
    std::vector<const EditEntry *> found;
    for (auto it = first; it != entries_.end() && it->timelineIn < endSeconds; ++it) {
        if (it->timelineOut > startSeconds) {
            found.push_back(&*it);
        }
    }
    return found;
}

} // namespace tandrel
