#include "core/resolver/ConnectedItemsByTime.h"

#include <algorithm>
#include <cmath>

namespace tandrel {

namespace {

double endOf(const ConnectedItemResolver::ConnectedItem &item) {
    return item.timelineStart + item.duration;
}

} // namespace

ConnectedItemsByTime::ConnectedItemsByTime(
    const std::vector<ConnectedItemResolver::ConnectedItem> &items)
    : items_(items) {
    for (size_t i = 0; i < items.size(); ++i) {
        if (!std::isnan(items[i].timelineStart) && !std::isnan(endOf(items[i]))) {
            byStart_.push_back(i);
        }
    }
    std::stable_sort(byStart_.begin(), byStart_.end(), [&](size_t a, size_t b) {
        return items_[a].timelineStart < items_[b].timelineStart;
    });
    if (byStart_.empty()) {
        return;
    }
    latestEnd_.resize(4 * byStart_.size());
    // Filled bottom-up by a walk of the same shape as the queries'.
    const auto fill = [&](auto &self, size_t node, size_t from, size_t to) -> double {
        if (to - from == 1) {
            return latestEnd_[node] = endOf(items_[byStart_[from]]);
        }
        const size_t middle = from + (to - from) / 2;
        return latestEnd_[node] = std::max(self(self, 2 * node + 1, from, middle),
                                           self(self, 2 * node + 2, middle, to));
    };
    fill(fill, 0, 0, byStart_.size());
}

void ConnectedItemsByTime::collect(size_t node, size_t from, size_t to, size_t before, double start,
                                   std::vector<size_t> &found) const {
    // Nothing of this range starts early enough, or ends late enough.
    if (from >= before || !(latestEnd_[node] > start)) {
        return;
    }
    if (to - from == 1) {
        found.push_back(byStart_[from]);
        return;
    }
    const size_t middle = from + (to - from) / 2;
    collect(2 * node + 1, from, middle, before, start, found);
    collect(2 * node + 2, middle, to, before, start, found);
}

std::vector<const ConnectedItemResolver::ConnectedItem *>
ConnectedItemsByTime::overlapping(double start, double end) const {
    std::vector<size_t> found;
    if (!byStart_.empty()) {
        const auto before = std::partition_point(byStart_.begin(), byStart_.end(), [&](size_t i) {
            return items_[i].timelineStart < end;
        });
        collect(0, 0, byStart_.size(), static_cast<size_t>(before - byStart_.begin()), start,
                found);
    }
    std::sort(found.begin(), found.end());
    std::vector<const ConnectedItemResolver::ConnectedItem *> items;
    items.reserve(found.size());
    for (size_t i : found) {
        items.push_back(&items_[i]);
    }
    return items;
}

} // namespace tandrel
